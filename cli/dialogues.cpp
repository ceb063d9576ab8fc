// dialogues: every program's dialogue as one JSON document on standard
// output, the data the web page builds its forms from:
//
//   {"programs":[{"name":..., "banner":..., "examples":[...], "answer_file":...,
//     "steps":[{"id":..., "prompt":..., "holds":..., "when":{"id":..., "in":[...]}},
//              {"repeat":ID, "when":..., "steps":[...]}, ...]}, ...]}
//
// "when" has "in" or "not_in" (a list of answers) or "at_most" (one answer);
// a banner, a when and an answer file appear only where there is one.
#include "cli/dialogues.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using cli::Step;
using cli::When;

// Appends a JSON string: quotes, backslashes and control characters escaped,
// every other byte as it is (the texts are UTF-8).
void quoted(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

// Appends `"key":` after a comma, or after nothing at the start of an object.
void key(std::string& out, std::string_view name) {
  if (out.back() != '{') out += ',';
  quoted(out, name);
  out += ':';
}

void text_member(std::string& out, std::string_view name, std::string_view value) {
  key(out, name);
  quoted(out, value);
}

void when_member(std::string& out, const When& w) {
  if (w.test == When::Test::always) return;
  key(out, "when");
  out += '{';
  text_member(out, "id", w.id);
  if (w.test == When::Test::at_most) {
    key(out, "at_most");
    out += std::to_string(w.values[0]);
  } else {
    key(out, w.test == When::Test::in ? "in" : "not_in");
    out += '[';
    for (int j = 0; j < w.count; ++j) {
      if (j > 0) out += ',';
      out += std::to_string(w.values[static_cast<std::size_t>(j)]);
    }
    out += ']';
  }
  out += '}';
}

void program(std::string& out, const cli::Dialogue& d) {
  out += '{';
  text_member(out, "name", d.name);
  if (!d.banner.empty()) text_member(out, "banner", d.banner);
  key(out, "examples");
  out += '[';
  for (const std::string_view e : d.examples) {
    if (out.back() != '[') out += ',';
    quoted(out, e);
  }
  out += ']';
  if (!d.answer_file.empty()) text_member(out, "answer_file", d.answer_file);
  key(out, "steps");
  out += '[';
  std::string_view loop;  // the loop the step before was in
  for (const Step& step : d.steps) {
    if (step.repeat != loop && !loop.empty()) out += "]}";
    out += out.back() == '[' ? "\n  " : ",\n  ";
    if (step.repeat != loop && !step.repeat.empty()) {
      out += '{';
      text_member(out, "repeat", step.repeat);
      when_member(out, step.when);
      key(out, "steps");
      out += "[\n    ";
    } else if (!step.repeat.empty()) {
      out += "  ";
    }
    out += '{';
    text_member(out, "id", step.id);
    text_member(out, "prompt", step.prompt);
    text_member(out, "holds", step.holds);
    when_member(out, step.when);
    out += '}';
    loop = step.repeat;
  }
  if (!loop.empty()) out += "]}";
  out += "]}";
}

}  // namespace

int main() {
  std::string out = "{\"programs\":[";
  for (const cli::Dialogue* d : cli::kDialogues) {
    if (d != cli::kDialogues[0]) out += ",\n";
    program(out, *d);
  }
  out += "]}\n";
  // Output that did not arrive is no success.
  return std::fputs(out.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}
