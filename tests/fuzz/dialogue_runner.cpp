// Drives each whole program through random dialogues, one process per run in
// a fresh temporary directory: plausible answers mixed with odd ones (nulls,
// slashes, repeat counts, exponent forms, huge and tiny numbers, bad tokens,
// odd file names, an early end of input). Every run must end with status 0
// (63 after a field overflow) or through the failure path with its
// diagnostic, never by a signal or a hang, and leave only whole records in
// its files.
//
//   dialogue_runner [--program NAME|all] [--runs N] [--seed S] [--bin DIR]
//                   [--only K] [--budget BYTES] [--timeout S]
//
// --only K replays run K of the given seed (as printed with a finding).
// --budget caps every file a run writes (default 1 MiB): a run that asks for
// millions of points ends at the cap with "File too large" through the
// failure path, its file still holding only whole records.
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "e2e/scenario.h"
#include "radome_programs.h"

namespace {

struct Options {
  std::vector<std::string> programs;  // every registered program with a dialogue below
  long runs = 1000;
  std::uint64_t seed = 1;
  std::string bin = PROGRAMS_DIR;
  long only = -1;
  long long budget = 1 << 20;
  int timeout = 120;
};

class Dice {
 public:
  explicit Dice(std::uint64_t seed) : g_(seed) {}
  std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(g_); }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(g_) < p; }
  long between(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(g_); }
  template <class T>
  const T& pick(const std::vector<T>& v) {
    return v[below(v.size())];
  }

 private:
  std::mt19937_64 g_;
};

std::uint64_t mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::uint64_t run_seed(std::uint64_t seed, const std::string& program, long run) {
  std::uint64_t h = mix(seed);
  for (char c : program) h = mix(h ^ static_cast<unsigned char>(c));
  return mix(h ^ static_cast<std::uint64_t>(run));
}

// ---------------------------------------------------------------------------
// Answers.

enum class Kind { real, integer };

const std::vector<std::string> kExponentForms = {
    "1.5E3", "1.5D-3", "2e1", "1.5+3", "1E", "-1.5Q2", ".5", "5.", "+1.5e+1", "-.25d0", "7-1", "1e0", "30.", "0.1E2"};
const std::vector<std::string> kExtremes = {"3e38",     "-3.4E38",        "3.4028235E38", "3.4028236E38", "1E39",
                                            "-1e39",    "1E-50",          "1e-45",        "1.4e-45",      "-0.0",
                                            "1e-38",    "2147483647",     "2147483648",   "-2147483648",  "-2147483649",
                                            "1E9",      "1E10",           "1e308",        "1e309",        "1E99999",
                                            "0.0000000000000000000000000000000000000000000001",
                                            "123456789012345678901234567890123456789012345678901234567890"};
const std::vector<std::string> kBadTokens = {"abc", "1..5", "--5", "E5", "1E5E2", "+", ".", "1x", "'3'", "\"q\"",
                                             "(1,2)", ")", "1-2", "1*2*3", "0*5", "99999999999*1", "*5", "1e+",
                                             "T", "F", ".true.", "fals", "+-1", "1.5.", "0x10", "1,5"};

std::string plain(Dice& d, Kind kind, long lo, long hi) {
  const long v = d.between(lo, hi);
  if (kind == Kind::integer || d.chance(0.5)) return std::to_string(v);
  return std::to_string(v) + "." + std::to_string(d.between(0, 99));
}

// One value token for an item: mostly plausible, sometimes odd.
std::string value(Dice& d, Kind kind, long lo, long hi) {
  switch (d.below(32)) {
    case 0:
    case 1:
    case 2:
      return d.pick(kExponentForms);
    case 3:
      return d.pick(kExtremes);
    case 4:
      return d.pick(kBadTokens);
    default:
      return plain(d, kind, lo, hi);
  }
}

// One free-form statement of n items: separators, nulls, slashes, repeat
// counts, values split over lines, trailing junk.
std::vector<std::string> statement(Dice& d, const std::vector<Kind>& kinds, long lo, long hi) {
  std::vector<std::string> lines(1);
  const std::vector<std::string> separators = {" ", ",", " , ", "\t", "  ", ", "};
  for (std::size_t j = 0; j < kinds.size(); ++j) {
    std::string& line = lines.back();
    if (j > 0) line += d.pick(separators);
    switch (d.below(40)) {
      case 0:
        line += ",";  // a null value
        break;
      case 1:
        line += "/";
        return lines;
      case 2: {
        const std::size_t r = 1 + d.below(kinds.size() + 1);
        line += std::to_string(r) + "*" + (d.chance(0.3) ? "" : value(d, kinds[j], lo, hi));
        j += r - 1;
        break;
      }
      case 3:
        lines.emplace_back();  // the statement goes on on the next line
        lines.back() += value(d, kinds[j], lo, hi);
        break;
      case 4:
        lines.emplace_back();  // an empty line, passed over
        lines.push_back(value(d, kinds[j], lo, hi));
        break;
      default:
        line += value(d, kinds[j], lo, hi);
    }
  }
  if (d.chance(0.1)) lines.back() += d.pick(std::vector<std::string>{" junk", " 1 2 3", ",,", " /", "\t*"});
  if (d.chance(0.05)) lines.insert(lines.begin(), d.chance(0.5) ? "" : "   ");
  return lines;
}

// A file name for an output unit: mostly plain, sometimes a device, a
// directory, a missing directory, blank (asked again on the console) or too
// long for its field. Never a path outside the run's directory but two
// harmless devices. The null device takes any amount without reaching the
// budget, so it is offered only where the output is small by nature.
std::string file_name(Dice& d, const std::string& plain_name, bool small_output) {
  static const std::vector<std::string> odd = {
      "",         "   ",       "CON",        "con.txt",    "CONIN$",     "CONOUT$",    "/dev/full",
      "sub",      "nodir/x",   "old.dat",    "LPT1",       "  lead.out", "tab\tname",  "sp ace.out",
      "a-very-long-file-name-that-does-not-fit-in-forty-characters-and-goes-on-and-on.out"};
  static const std::vector<std::string> null_devices = {"NUL", "nul.dat", "/dev/null"};
  if (d.chance(0.75)) return plain_name;
  return small_output && d.chance(0.2) ? d.pick(null_devices) : d.pick(odd);
}

std::string text_answer(Dice& d) {
  static const std::vector<std::string> texts = {
      "DISH",   "  leading blanks", "label with 'quotes' and, commas / slash", "", "\t tab",
      "x", "\xE9t\xE9 \xFF bytes", std::string("nul\0inside", 10),
      "a label far longer than forty characters, to be cut at the field"};
  return d.pick(texts);
}

struct Dialogue {
  std::vector<std::string> console;  // lines for standard input
  std::vector<std::string> args;
  std::map<std::string, std::string> before;
  std::vector<std::string> dirs{"sub"};
  std::string answer_file;              // linermesh in file mode
  std::vector<std::string> file_lines;  // the answers it holds
  bool answers_missing = false;         // the answer file does not exist
};

void add(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
}

Dialogue dishsurface(Dice& d) {
  Dialogue g;
  add(g.console, {file_name(d, "out.rsf", false)});
  add(g.console, statement(d, {Kind::real, Kind::real}, -50, 500));
  // Start, stop and step, mostly giving a few dozen points.
  add(g.console, statement(d, {Kind::real, Kind::real, Kind::real}, -20, 200));
  add(g.console, statement(d, {Kind::real}, -1, 1));
  add(g.console, {text_answer(d)});
  return g;
}

Dialogue domeprofile(Dice& d) {
  Dialogue g;
  const long curve = d.chance(0.9) ? d.between(1, 4) : d.between(-2, 7);
  add(g.console, d.chance(0.9) ? std::vector<std::string>{std::to_string(curve)} : statement(d, {Kind::integer}, -2, 7));
  add(g.console, {file_name(d, "out.dat", false)});
  if (curve < 4) {
    add(g.console, statement(d, {Kind::real}, -10, 10));
    if (curve == 1) add(g.console, statement(d, {Kind::real}, 0, 50));
    if (curve == 2) add(g.console, statement(d, {Kind::real}, -5, 50));
    if (curve == 3) add(g.console, statement(d, {Kind::real, Kind::real}, 0, 20));
    add(g.console, statement(d, {Kind::real, Kind::real, Kind::integer}, -180, 360));
  } else if (curve == 4) {
    add(g.console, statement(d, {Kind::real, Kind::real}, -10, 10));
    add(g.console, statement(d, {Kind::real, Kind::real}, -10, 30));
    add(g.console, statement(d, {Kind::integer}, -2, 60));
    add(g.console, statement(d, {Kind::real}, 0, 1));
    add(g.console, statement(d, {Kind::real}, -2, 4));
  }
  return g;
}

Dialogue linermesh(Dice& d) {
  Dialogue g;
  const bool file_mode = d.chance(0.4);
  add(g.console, {file_mode ? "1" : d.pick(std::vector<std::string>{"0", "2", "-1", " 0 ", "3*0"})});
  std::vector<std::string>* answers = &g.console;
  if (file_mode) {
    static const std::vector<std::string> odd = {"CONIN$", "CON", "NUL", "sub", "", "missing.ans"};
    g.answer_file = d.chance(0.85) ? "answers.txt" : d.pick(odd);
    g.console.push_back(g.answer_file);
    // From the console itself: the answers follow on standard input.
    if (g.answer_file != "CONIN$") answers = &g.file_lines;
    g.answers_missing = g.answer_file == "missing.ans";
    if (g.answer_file.empty()) {
      g.answer_file = "answers.txt";  // asked again on the console
      g.console.push_back(g.answer_file);
    }
  }
  add(*answers, {file_name(d, "out.tor", true)});
  const long layers = d.chance(0.9) ? d.between(0, 4) : d.pick(std::vector<long>{99, 100, -1, 1000});
  add(*answers, d.chance(0.9) ? std::vector<std::string>{std::to_string(layers)} : statement(d, {Kind::integer}, 0, 5));
  for (long i = 0; i < std::min(layers, 5L); ++i) {
    add(*answers, statement(d, {Kind::real, Kind::real, Kind::real}, 0, 10));
    add(*answers, statement(d, {Kind::real}, 0, 2));
  }
  add(*answers, statement(d, {Kind::real}, -10, 190));
  add(*answers, statement(d, {Kind::real}, 0, 100));
  add(*answers, statement(d, {Kind::real, Kind::real}, -50, 50));
  add(*answers, statement(d, {Kind::integer}, d.chance(0.9) ? 1 : -1, d.chance(0.9) ? 5 : 8));
  add(*answers, {text_answer(d)});
  add(*answers, statement(d, {Kind::integer, Kind::integer}, 0, 2));
  return g;
}

// The dialogue of each program; a registered program without one is named
// in the summary and not run.
const std::map<std::string, Dialogue (*)(Dice&)> kDialogues = {
    {"dishsurface", dishsurface},
    {"domeprofile", domeprofile},
    {"linermesh", linermesh},
};

// The lines as bytes: LF or CR LF, now and then an end-of-input line, a cut
// at a random place (an early end of input), a last line without its LF.
std::string bytes_of(Dice& d, std::vector<std::string> lines) {
  if (d.chance(0.05) && !lines.empty()) lines.insert(lines.begin() + d.below(lines.size()), "\x1A");
  if (d.chance(0.15) && !lines.empty()) lines.resize(d.below(lines.size()));
  const std::string end = d.chance(0.2) ? "\r\n" : "\n";
  std::string out;
  for (const std::string& l : lines) out += l + end;
  if (d.chance(0.1) && !out.empty()) out.resize(out.size() - (d.chance(0.5) ? 1 : 1 + d.below(out.size())));
  return out;
}

// ---------------------------------------------------------------------------
// Judging a run.

struct Verdict {
  std::string finding;  // empty when the run ended as designed
  std::set<int> messages;
  bool at_budget = false;
};

const std::map<int, std::string> kTemplates = {
    {22, "input record too long"},       {24, "end-of-file during read"},
    {30, "open failure"},                {38, "error during write"},
    {39, "error during read"},           {41, "insufficient virtual memory"},
    {42, "no such device"},              {43, "file name specification error"},
    {47, "write to READONLY file"},      {59, "list-directed I/O syntax error"},
    {63, "output conversion error"},     {64, "input conversion error"},
    {600, "access not allowed"},         {601, "file already exists"},
    {602, "file not found"},             {603, "too many open files"},
};
// Failures that carry the platform's own text on a line before them.
const std::set<int> kWithPlatformText = {30, 38, 39};
const std::set<int> kUnits = {5, 6, 40, 43, 50};

std::vector<std::string> lines_of(const std::string& s) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < s.size()) {
    const std::size_t lf = s.find('\n', at);
    if (lf == std::string::npos) {
      out.push_back(s.substr(at));  // no line end: caught below
      out.back() += "\x01";
      break;
    }
    out.push_back(s.substr(at, lf - at));
    at = lf + 1;
  }
  return out;
}

// The length of an optionally signed decimal integer at `at`, 0 if none.
std::size_t integer_at(const std::string& s, std::size_t at) {
  std::size_t end = at < s.size() && s[at] == '-' ? at + 1 : at;
  const std::size_t digits = end;
  while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
  return end > digits ? end - at : 0;
}

// What linermesh says of an answer it cannot hold.
bool rejected_answer(const std::string& what) {
  for (const auto& [before, after] : {std::pair<std::string, std::string>{"number of absorber layers ", " is above 99"},
                                      std::pair<std::string, std::string>{"unit code ", " is not one of 1 to 5"}}) {
    if (what.rfind(before, 0) != 0) continue;
    const std::size_t n = integer_at(what, before.size());
    if (n > 0 && what.compare(before.size() + n, std::string::npos, after) == 0) return true;
  }
  return false;
}

// Checks one diagnostic line, "textio: SEVERITY (N): TEXT" with the text of
// message N and its unit and file filled in; returns N, or -1.
int diagnostic(const std::string& line, bool severe) {
  const std::string head = severe ? "textio: severe (" : "textio: error (";
  if (line.rfind(head, 0) != 0) return -1;
  const std::size_t digits = integer_at(line, head.size());
  if (digits == 0 || digits > 6 || line.compare(head.size() + digits, 3, "): ") != 0) return -1;
  const int number = std::stoi(line.substr(head.size(), digits));
  if ((number == 63) == severe) return -1;
  auto t = kTemplates.find(number);
  if (t == kTemplates.end()) return -1;
  const std::string text = line.substr(head.size() + digits + 3);
  if (number == 41 || number >= 600) return text == t->second ? number : -1;
  const std::size_t unit = text.find(", unit ");
  if (unit == std::string::npos) return -1;
  const std::string what = text.substr(0, unit);
  if (what != t->second && !(number == 64 && rejected_answer(what))) return -1;
  const std::size_t n = integer_at(text, unit + 7);
  if (n == 0 || n > 6 || kUnits.count(std::stoi(text.substr(unit + 7, n))) == 0) return -1;
  const std::size_t file = unit + 7 + n;
  return text.compare(file, 7, ", file ") == 0 && text.size() > file + 7 ? number : -1;
}

Verdict found(std::string what) {
  Verdict v;
  v.finding = std::move(what);
  return v;
}

Verdict judge(const proc::Result& r, const Dialogue& g, const Options& o) {
  Verdict v;
  if (r.timed_out) return found("no end within " + std::to_string(o.timeout) + " s");
  if (r.signal != 0) return found("ended by signal " + std::to_string(r.signal));
  std::vector<std::string> lines = lines_of(r.err);
  // Field overflows come first; the run goes on after them.
  std::size_t k = 0;
  for (; k < lines.size() && diagnostic(lines[k], false) == 63; ++k) v.messages.insert(63);
  const std::vector<std::string> rest(lines.begin() + static_cast<long>(k), lines.end());
  if (r.status == 0 || r.status == 63) {
    if (!rest.empty() || (r.status == 63) != (k > 0)) return found("status " + std::to_string(r.status) + " with this report");
  } else if (r.status == 3) {
    const bool math = rest.size() == 3 && rest[0].empty() && rest[1] == "run-time error M6201: MATH" &&
                      (rest[2] == "- cos: DOMAIN error" || rest[2] == "- sin: DOMAIN error");
    if (!math) return found("status 3 without the math error report");
    v.messages.insert(6201);
  } else {
    if (rest.empty()) return found("status " + std::to_string(r.status) + " without a diagnostic");
    const int number = diagnostic(rest.back(), true);
    if (number < 0) return found("last line is no diagnostic of the layer");
    if ((number & 0xFF) != r.status) return found("status does not match message " + std::to_string(number));
    const std::size_t expected = kWithPlatformText.count(number) ? 2 : 1;
    if (rest.size() != expected) return found("message " + std::to_string(number) + " with the wrong lines before it");
    if (expected == 2) {
      if (rest[0].rfind("textio: ", 0) != 0 || rest[0].size() <= 8) return found("platform text line malformed");
      v.at_budget = rest[0] == "textio: File too large";
    }
    v.messages.insert(number);
  }
  // Only whole records: a file the run wrote is empty or ends with its CR LF.
  for (const auto& [name, bytes] : r.files) {
    auto b = g.before.find(name);
    if (b != g.before.end() && b->second == bytes) continue;
    if (!bytes.empty() && (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)) {
      v.finding = "file " + name + " ends with a torn record";
      return v;
    }
  }
  return v;
}

// ---------------------------------------------------------------------------

struct Tally {
  long runs = 0;
  std::map<int, long> statuses;
  std::map<int, long> messages;
  long at_budget = 0;
  std::map<std::string, long> findings;
};

int usage() {
  std::cerr << "usage: dialogue_runner [--program NAME|all] [--runs N] [--seed S] [--bin DIR] [--only K]\n"
               "                       [--budget BYTES] [--timeout SECONDS]\n";
  return 2;
}

bool parse(int argc, char** argv, Options& o) {
  for (int j = 1; j < argc; ++j) {
    const std::string a = argv[j];
    auto next = [&]() -> std::string {
      if (j + 1 >= argc) throw std::runtime_error(a + " needs a value");
      return argv[++j];
    };
    if (a == "--program") {
      const std::string p = next();
      if (p != "all") o.programs = {p};
    } else if (a == "--runs") {
      o.runs = std::stol(next());
    } else if (a == "--seed") {
      o.seed = std::stoull(next());
    } else if (a == "--bin") {
      o.bin = std::filesystem::absolute(next()).string();  // each run starts in a directory of its own
    } else if (a == "--only") {
      o.only = std::stol(next());
    } else if (a == "--budget") {
      o.budget = std::stoll(next());
    } else if (a == "--timeout") {
      o.timeout = std::stoi(next());
    } else {
      return false;
    }
  }
  for (const std::string& p : o.programs) {
    if (kDialogues.count(p) == 0) return false;
  }
  return true;
}

void report_finding(const std::string& program, long run, const Options& o, const std::string& what,
                    const proc::Request& rq, const proc::Result& r) {
  std::cout << "\nFINDING " << program << " run " << run << ": " << what << "\n";
  std::cout << "  replay: dialogue_runner --program " << program << " --seed " << o.seed << " --only " << run
            << " --bin " << o.bin << "\n";
  for (const std::string& a : rq.args) std::cout << "  arg \"" << e2e::escaped(a) << "\"\n";
  for (const auto& [name, bytes] : rq.before) std::cout << "  before " << name << " \"" << e2e::escaped(bytes) << "\"\n";
  std::cout << "  stdin \"" << e2e::escaped(rq.stdin_bytes) << "\"\n";
  std::cout << "  status " << r.status << (r.signal ? " (signal)" : "") << "\n";
  std::cout << "  stderr \"" << e2e::escaped(r.err.substr(0, 3000)) << "\"\n";
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  try {
    if (!parse(argc, argv, o)) return usage();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return usage();
  }
  std::vector<std::string> without_dialogue;
  if (o.programs.empty()) {
    for (const RegisteredProgram& p : kRegisteredPrograms) {
      (kDialogues.count(p.name) != 0 ? o.programs : without_dialogue).push_back(p.name);
    }
  }
  std::map<std::string, Tally> tallies;
  long findings = 0;
  for (const std::string& program : o.programs) {
    Tally& t = tallies[program];
    for (long run = o.only >= 0 ? o.only : 0; run < (o.only >= 0 ? o.only + 1 : o.runs); ++run) {
      Dice d(run_seed(o.seed, program, run));
      Dialogue g = kDialogues.at(program)(d);
      if (d.chance(0.1)) g.args.push_back(d.pick(std::vector<std::string>{"arg.out", "   ", std::string(300, 'a')}));
      if (d.chance(0.2)) g.before["old.dat"] = "old line 1\r\nold line 2\r\n";
      if (!g.answer_file.empty() && !g.answers_missing && g.answer_file != "sub") {
        g.before[g.answer_file] = bytes_of(d, g.file_lines);
      }
      proc::Request rq;
      rq.executable = o.bin + "/" + program;
      rq.args = g.args;
      rq.stdin_bytes = bytes_of(d, g.console);
      rq.stdin_from_file = d.chance(0.5);
      rq.before = g.before;
      rq.dirs = g.dirs;
      rq.limits[RLIMIT_FSIZE] = o.budget;
      rq.ignored_signals.push_back(SIGXFSZ);  // the cap is a write error, not a death
      rq.timeout_seconds = o.timeout;
      const proc::Result r = proc::run(rq);
      const Verdict v = judge(r, g, o);
      ++t.runs;
      ++t.statuses[r.status];
      for (int m : v.messages) ++t.messages[m];
      if (v.at_budget) ++t.at_budget;
      if (!v.finding.empty()) {
        ++findings;
        // The first of each kind in full; the rest are counted.
        if (t.findings[v.finding]++ == 0 || o.only >= 0) report_finding(program, run, o, v.finding, rq, r);
      }
      if (t.runs % 1000 == 0) std::cerr << program << ": " << t.runs << " runs\n";
    }
  }

  std::cout << "\ndialogue_runner: seed " << o.seed << ", programs from " << o.bin << "\n";
  for (const auto& [program, t] : tallies) {
    std::cout << program << ": " << t.runs << " runs\n  statuses:";
    for (const auto& [status, n] : t.statuses) std::cout << " " << status << "x" << n;
    std::cout << "\n  messages:";
    for (const auto& [message, n] : t.messages) std::cout << " " << message << "x" << n;
    std::cout << "\n  ended at the file size budget: " << t.at_budget << "\n";
    for (const auto& [what, n] : t.findings) std::cout << "  finding x" << n << ": " << what << "\n";
  }
  for (const std::string& p : without_dialogue) std::cout << p << ": no dialogue here, not run\n";
  std::cout << (findings == 0 ? "no findings\n" : std::to_string(findings) + " runs with findings\n");
  return findings == 0 ? 0 : 1;
}
