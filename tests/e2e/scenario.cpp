#include "e2e/scenario.h"

#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace e2e {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits a directive line into words; a double-quoted word is unescaped.
std::vector<std::string> split_words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    std::string word;
    if (line[i] == '"') {
      ++i;
      for (;;) {
        if (i >= line.size()) throw std::runtime_error("unterminated string");
        char c = line[i++];
        if (c == '"') break;
        if (c != '\\') {
          word += c;
          continue;
        }
        if (i >= line.size()) throw std::runtime_error("dangling escape");
        char e = line[i++];
        switch (e) {
          case 'n': word += '\n'; break;
          case 'r': word += '\r'; break;
          case 't': word += '\t'; break;
          case 'f': word += '\f'; break;
          case '0': word += '\0'; break;
          case '\\': word += '\\'; break;
          case '"': word += '"'; break;
          case 'x': {
            int hi = i < line.size() ? hex_value(line[i]) : -1;
            int lo = i + 1 < line.size() ? hex_value(line[i + 1]) : -1;
            if (hi < 0 || lo < 0) throw std::runtime_error("bad \\x escape");
            word += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
          }
          default:
            throw std::runtime_error(std::string("unknown escape \\") + e);
        }
      }
      words.push_back(word);
      continue;
    }
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    words.push_back(word);
  }
  return words;
}

// An exit status, decimal or 0x hexadecimal, all 32 bits kept.
int to_status(const std::string& s) {
  std::size_t used = 0;
  const unsigned long long v = std::stoull(s, &used, 0);
  if (used != s.size() || v > 0xFFFFFFFFull) throw std::runtime_error("not a status: " + s);
  return static_cast<int>(static_cast<std::uint32_t>(v));
}

int to_int(const std::string& s, int base = 10) {
  std::size_t used = 0;
  int v = std::stoi(s, &used, base);
  if (used != s.size()) throw std::runtime_error("not a number: " + s);
  return v;
}

// A count with an optional K, M or G suffix (powers of 1024).
long long to_amount(const std::string& s) {
  std::size_t used = 0;
  long long v = std::stoll(s, &used, 10);
  const std::string suffix = s.substr(used);
  if (suffix == "K") return v << 10;
  if (suffix == "M") return v << 20;
  if (suffix == "G") return v << 30;
  if (!suffix.empty()) throw std::runtime_error("not an amount: " + s);
  return v;
}

int resource_of(const std::string& name) {
  if (name == "nofile") return RLIMIT_NOFILE;
  if (name == "as") return RLIMIT_AS;
  if (name == "fsize") return RLIMIT_FSIZE;
  throw std::runtime_error("unknown limit '" + name + "' (nofile, as, fsize)");
}

}  // namespace

Target target_from_environment() {
  Target t;
  if (const char* p = std::getenv("E2E_PLATFORM"); p != nullptr && *p != '\0') t.platform = p;
  if (const char* l = std::getenv("E2E_LAUNCHER")) {
    std::istringstream words(l);
    for (std::string w; words >> w;) t.launcher.push_back(w);
  }
  if (t.platform == "windows") t.suffix = ".exe";
  if (t.platform == "wasi") t.suffix = ".wasm";
  return t;
}

Scenario load_scenario(const std::string& path, const std::string& platform) {
  Scenario sc;
  std::optional<std::string> platform_stderr;  // the target platform's own expectations
  std::optional<int> platform_status;
  sc.path = path;
  const std::string dir = fs::path(path).parent_path().string();
  std::istringstream text(read_file(path));
  std::string line;
  int number = 0;
  while (std::getline(text, line)) {
    ++number;
    try {
      std::vector<std::string> w = split_words(line);
      if (w.empty()) continue;
      std::string key = w[0];
      auto need = [&](std::size_t n) {
        if (w.size() != n) throw std::runtime_error("'" + key + "' takes " + std::to_string(n - 1) + " word(s)");
      };
      if (const std::size_t at = key.find('@'); at != std::string::npos) {
        const std::string on = key.substr(at + 1);
        key.resize(at);
        if (on != "windows" && on != "posix" && on != "wasi" && on != "browser") throw std::runtime_error("unknown platform '" + on + "'");
        if (key != "stderr" && key != "status" && key != "skip") {
          throw std::runtime_error("only stderr, status and skip depend on the platform");
        }
        need(2);
        if (key == "status") to_status(w[1]);
        if (on != platform) continue;
        if (key == "stderr") {
          // The platform's expectation replaces the other one, wherever it stands.
          if (!platform_stderr) platform_stderr.emplace();
          *platform_stderr += w[1];
        } else if (key == "status") {
          platform_status = to_status(w[1]);
        } else {
          if (w[1].empty()) throw std::runtime_error("skip needs its reason");
          sc.skip_reason = w[1];
        }
        continue;
      }
      if (key == "program") {
        need(2);
        sc.program = w[1];
      } else if (key == "arg") {
        need(2);
        sc.run.args.push_back(w[1]);
      } else if (key == "stdin") {
        need(2);
        sc.run.stdin_bytes += w[1];
      } else if (key == "input") {
        if (w.size() == 3 && w[1] == "device") {
          sc.run.stdin_path = w[2];
        } else {
          need(2);
          if (w[1] == "directory") {
            sc.run.stdin_path = ".";
          } else if (w[1] == "file" || w[1] == "pipe") {
            sc.run.stdin_from_file = w[1] == "file";
          } else {
            throw std::runtime_error("input is file, pipe, directory or device PATH");
          }
        }
      } else if (key == "output") {
        need(3);
        if (w[1] != "device") throw std::runtime_error("output takes device PATH");
        sc.run.stdout_path = w[2];
      } else if (key == "user") {
        need(2);
        sc.run.user = to_int(w[1]);
      } else if (key == "limit") {
        need(3);
        sc.run.limits[resource_of(w[1])] = to_amount(w[2]);
      } else if (key == "before") {
        need(3);
        sc.run.before[w[1]] += w[2];
      } else if (key == "mode") {
        need(3);
        sc.run.modes[w[1]] = to_int(w[2], 8);
      } else if (key == "dir") {
        need(2);
        sc.run.dirs.push_back(w[1]);
      } else if (key == "symlink") {
        need(3);
        sc.run.symlinks.emplace_back(w[1], w[2]);
      } else if (key == "stdout") {
        need(2);
        sc.expected_stdout += w[1];
      } else if (key == "stdout-file") {
        need(2);
        sc.expected_stdout += read_file(dir + "/" + w[1]);
      } else if (key == "stderr") {
        need(2);
        sc.expected_stderr += w[1];
      } else if (key == "status") {
        need(2);
        sc.expected_status = to_status(w[1]);
      } else if (key == "after") {
        need(3);
        sc.after[w[1]] += w[2];
      } else if (key == "after-file") {
        need(3);
        sc.after[w[1]] += read_file(dir + "/" + w[2]);
      } else {
        throw std::runtime_error("unknown directive '" + key + "'");
      }
    } catch (const std::exception& e) {
      throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
    }
  }
  if (sc.program.empty()) throw std::runtime_error(path + ": no program");
  if (platform_stderr) sc.expected_stderr = *platform_stderr;
  if (platform_status) sc.expected_status = *platform_status;
  return sc;
}

proc::Request request_for(const Scenario& sc, const std::string& programs_dir, const Target& target) {
  proc::Request rq = sc.run;
  rq.executable = programs_dir + "/" + sc.program + target.suffix;
  rq.launcher = target.launcher;
  return rq;
}

std::string escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char b[5];
          std::snprintf(b, sizeof b, "\\x%02X", c);
          out += b;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string compare_bytes(const std::string& what, const std::string& expected, const std::string& actual) {
  if (expected == actual) return {};
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at > 60 ? at - 60 : 0;
  std::ostringstream s;
  s << what << " differs at byte " << at << " (expected " << expected.size() << " bytes, got " << actual.size()
    << ")\n  expected: \"" << escaped(expected.substr(from, 160)) << "\"\n  actual:   \""
    << escaped(actual.substr(from, 160)) << "\"\n";
  return s.str();
}

std::string compare_files(const Scenario& sc, const proc::Result& r) {
  std::string diffs;
  for (const auto& [name, bytes] : r.files) {
    auto after = sc.after.find(name);
    auto before = sc.run.before.find(name);
    if (after != sc.after.end()) {
      diffs += compare_bytes("file " + name, after->second, bytes);
    } else if (before != sc.run.before.end()) {
      diffs += compare_bytes("file " + name + " (should be unchanged)", before->second, bytes);
    } else {
      diffs += "unexpected file " + name + ": \"" + escaped(bytes.substr(0, 200)) + "\"\n";
    }
  }
  for (const auto& [name, bytes] : sc.after) {
    if (r.files.count(name) == 0) diffs += "missing file " + name + "\n";
  }
  return diffs;
}

}  // namespace e2e
