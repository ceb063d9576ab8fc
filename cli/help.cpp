#include "cli/help.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cli/version.h"

namespace cli {

void answer_help_or_version(int argc, char** argv, const char* name, const char* help) {
  if (argc != 2) return;
  const bool asks_help = std::strcmp(argv[1], "--help") == 0;
  if (!asks_help && std::strcmp(argv[1], "--version") != 0) return;
  const int written = asks_help ? std::fputs(help, stdout) : std::printf("%s (radome tools) %s\n", name, kVersion);
  // Help that did not arrive is no success.
  if (written < 0 || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "%s: cannot write to standard output\n", name);
    std::exit(1);
  }
  std::exit(0);
}

namespace {

std::string words(std::string_view id) {
  std::string s(id);
  for (char& c : s) {
    if (c == '_') c = ' ';
  }
  return s;
}

std::string heading(const When& when) {
  std::string s = "if " + words(when.id) + " is ";
  if (when.test == When::Test::at_most) return s + std::to_string(when.values[0]) + " or less:";
  if (when.test == When::Test::not_in) s += "not ";
  for (int j = 0; j < when.count; ++j) {
    if (j > 0) s += j + 1 == when.count ? " or " : ", ";
    s += std::to_string(when.values[static_cast<std::size_t>(j)]);
  }
  return s + ":";
}

void line(std::string& out, std::size_t indent, std::string_view text) {
  out.append(indent, ' ').append(text).append("\n");
}

// Appends the words of `text` in lines shorter than kHelpWidth.
void paragraph(std::string& out, std::string_view text) {
  std::size_t column = 0;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t blank = std::min(text.find(' ', from), text.size());
    const std::string_view word = text.substr(from, blank - from);
    if (column > 0 && column + 1 + word.size() >= kHelpWidth) {
      out += '\n';
      column = 0;
    } else if (column > 0) {
      out += ' ';
      ++column;
    }
    out.append(word);
    column += word.size();
    from = blank + 1;
  }
  out += '\n';
}

}  // namespace

std::string help_text(const Dialogue& d) {
  const std::string name(d.name);
  std::string out = "Usage: " + name + " " + std::string(d.arguments) + "\n";
  out += "       " + name + " --help | --version\n";
  out += std::string(d.summary) + " Asks, in order:\n";
  const Step* before = nullptr;
  for (const Step& s : d.steps) {
    const bool asked_always = s.when.test == When::Test::always;
    if (!asked_always && (before == nullptr || before->when != s.when)) line(out, kPromptIndent, heading(s.when));
    if (!s.repeat.empty() && (before == nullptr || before->repeat != s.repeat)) {
      line(out, kPromptIndent + (asked_always ? 0 : kNestIndent), "for each layer, 1 to " + words(s.repeat) + ":");
    }
    const std::size_t indent = prompt_indent(s);
    for (std::size_t from = 0;;) {
      const std::size_t lf = s.prompt.find('\n', from);
      line(out, indent, s.prompt.substr(from, lf == std::string_view::npos ? lf : lf - from));
      if (lf == std::string_view::npos) break;
      from = lf + 1;
    }
    line(out, indent + kHoldsIndent, s.holds);
    before = &s;
  }
  out.append(d.writes).append("\n");
  if (!d.answer_file.empty()) paragraph(out, "An answer file holds " + std::string(d.answer_file) + ".");
  out += "Manual: man " + name + " (man -l doc/" + name + ".1).\n";
  return out;
}

void answer_help_or_version(int argc, char** argv, const Dialogue& dialogue) {
  const std::string name(dialogue.name);
  const bool asks_help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
  answer_help_or_version(argc, argv, name.c_str(), asks_help ? help_text(dialogue).c_str() : "");
}

}  // namespace cli
