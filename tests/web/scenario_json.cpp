// scenario_json PLATFORM CASE...: the scenarios as one JSON array, for the
// runner that drives the programs in a browser (tests/web/browser.mjs), so
// that the case files have one reader. Bytes are JSON strings of code points
// 0 to 255, one per byte. "plain" says that the run needs nothing but its
// arguments, standard input and files present before it.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "e2e/scenario.h"

namespace {

std::string quoted(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04X", c);
      out += b;
    }
  }
  return out + "\"";
}

std::string object(const std::map<std::string, std::string>& files) {
  std::string out = "{";
  for (const auto& [name, bytes] : files) {
    if (out.size() > 1) out += ',';
    out += quoted(name);
    out += ':';
    out += quoted(bytes);
  }
  return out + "}";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: scenario_json PLATFORM CASE...\n", stderr);
    return 2;
  }
  std::string out = "[";
  try {
    for (int i = 2; i < argc; ++i) {
      const e2e::Scenario sc = e2e::load_scenario(argv[i], argv[1]);
      const proc::Request& rq = sc.run;
      const bool plain = rq.stdin_path.empty() && rq.stdout_path.empty() && rq.user < 0 && rq.limits.empty() &&
                         rq.modes.empty() && rq.dirs.empty() && rq.symlinks.empty();
      std::string args;
      for (const std::string& a : rq.args) {
        if (!args.empty()) args += ',';
        args += quoted(a);
      }
      out += std::string(i > 2 ? ",\n" : "\n") + "{\"path\":" + quoted(sc.path) + ",\"program\":" + quoted(sc.program) +
             ",\"args\":[" + args + "],\"stdin\":" + quoted(rq.stdin_bytes) + ",\"before\":" + object(rq.before) +
             ",\"plain\":" + (plain ? "true" : "false") + ",\"skip\":" + quoted(sc.skip_reason) +
             ",\"stdout\":" + quoted(sc.expected_stdout) + ",\"stderr\":" + quoted(sc.expected_stderr) +
             ",\"status\":" + std::to_string(static_cast<unsigned>(sc.expected_status)) +
             ",\"after\":" + object(sc.after) + "}";
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scenario_json: %s\n", e.what());
    return 1;
  }
  out += "\n]\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
