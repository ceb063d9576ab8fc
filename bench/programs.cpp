// program_bench: whole-program timing of dishsurface and domeprofile against
// the record floor, and their peak resident memory.
//
// Each case is run once for reference (its console stream and output file
// kept), the floor is checked to reproduce both byte for byte, then program
// and floor are run in alternating order, each as a whole process started
// here, their output files compared with the reference after every run. The
// wall time of a run is from fork to the end of wait4 (bench/spawn.h); the
// floor's own loading of the reference bytes, which it measures and reports,
// is taken off its wall time and its CPU time. Memory is ru_maxrss of each
// child as wait4 returns it.
//
// This process keeps its own memory small: a forked child starts with a copy
// of our resident pages, and they would count in its peak until exec.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "spawn.h"

#ifndef PROGRAMS_DIR
#define PROGRAMS_DIR ""
#endif
#ifndef FLOOR_PATH
#define FLOOR_PATH ""
#endif

namespace {

using bench::die;
using bench::Run;
using bench::Spawn;

// A run of the floor, with what it reports about itself on descriptor 3.
struct FloorRun : Run {
  long long load_ns = 0;
  long long load_cpu_us = 0;
  long writes = 0;
};

FloorRun spawn_floor(const Spawn& s) {
  FloorRun r;
  static_cast<Run&>(r) = bench::spawn(s);
  if (std::sscanf(r.report.c_str(), "load_ns=%lld load_cpu_us=%lld writes=%ld", &r.load_ns, &r.load_cpu_us,
                  &r.writes) == 3) {
    r.wall -= static_cast<double>(r.load_ns) / 1e9;
  } else if (r.status == 0) {
    die("the floor sent no report");
  }
  return r;
}

std::string read_small(const std::string& path) {
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0 && text.size() < 65536) text.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  return text;
}

long long file_size(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Byte comparison in small chunks, so the comparison does not grow us.
bool same_bytes(const std::string& a, const std::string& b) {
  static char ba[1 << 16], bb[1 << 16];
  if (file_size(a) < 0 || file_size(a) != file_size(b)) return false;
  const int fa = ::open(a.c_str(), O_RDONLY | O_CLOEXEC);
  const int fb = ::open(b.c_str(), O_RDONLY | O_CLOEXEC);
  bool same = fa >= 0 && fb >= 0;
  while (same) {
    const ssize_t na = ::read(fa, ba, sizeof ba);
    ssize_t nb = 0;
    while (nb < na) {
      const ssize_t k = ::read(fb, bb + nb, static_cast<std::size_t>(na - nb));
      if (k <= 0) break;
      nb += k;
    }
    if (na <= 0) break;
    same = nb == na && std::memcmp(ba, bb, static_cast<std::size_t>(na)) == 0;
  }
  if (fa >= 0) ::close(fa);
  if (fb >= 0) ::close(fb);
  return same;
}

long count_crlf(const std::string& path) {
  static char buf[1 << 16];
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  long count = 0;
  char prev = 0;
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) {
    for (ssize_t j = 0; j < n; ++j) {
      if (buf[j] == '\n' && prev == '\r') ++count;
      prev = buf[j];
    }
  }
  ::close(fd);
  return count;
}

// Other work on the machine shows in the wall times; this says how much.
std::string load_average() {
  std::string s = read_small("/proc/loadavg");
  std::size_t end = 0;
  for (int field = 0; field < 3 && end != std::string::npos; ++field) end = s.find(' ', end + (field ? 1 : 0));
  return end == std::string::npos ? s : s.substr(0, end);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

struct Case {
  const char* program;
  const char* what;
  bool echoed;             // each point is echoed on the console before its file record
  long header_records;     // file records before the points
  double ratio_target;
  std::string (*answers)(const std::string& path, long points);
};

// Diameters 0 to points-1 in steps of 1: the count is trunc(points-1 + 1.4).
std::string dish_answers(const std::string& path, long points) {
  return path + "\n1000 0\n0 " + std::to_string(points - 1) + " 1\n1\nBENCH PARABOLA 1000\n";
}

// A full circle of radius 10 about the origin.
std::string dome_answers(const std::string& path, long points) {
  return "1\n" + path + "\n0\n10\n0 360 " + std::to_string(points) + "\n";
}

// A count of 10000 or more overflows dishsurface's 4-column count field: the
// field is asterisks, every record is still written, and the run ends with
// the output conversion status 63.
bool status_ok(const Case& c, long points, int status, const std::string& err) {
  if (std::strcmp(c.program, "dishsurface") == 0 && points >= 10000) {
    return status == 63 && err.find("(63)") != std::string::npos;
  }
  return status == 0 && err.empty();
}

struct Options {
  std::string bin = PROGRAMS_DIR;
  std::string floor = FLOOR_PATH;
  long points = 1000000;
  long small_points = 1000;
  int runs = 7;
  bool keep = false;
};

struct Outcome {
  double program = 0, floor = 0, ratio = 0;
  long rss_kib = 0, rss_small_kib = 0;
  bool ok = true;
};

Outcome run_case(const Options& o, const Case& c, const std::string& work) {
  Outcome res;
  const std::string program = o.bin + "/" + c.program;
  const std::string out = work + "/" + c.program + ".out";
  const std::string ref = work + "/" + c.program + ".ref";
  const std::string con = work + "/" + c.program + ".con";
  const std::string flo = work + "/" + c.program + ".flo";
  const std::string flocon = work + "/" + c.program + ".flocon";
  const std::string err = work + "/" + c.program + ".err";
  const std::string answers = c.answers(out, o.points);

  auto program_run = [&](const std::string& stdout_path, long points) {
    Spawn s;
    s.argv = {program};
    s.answers = c.answers(out, points);
    s.stdout_path = stdout_path;
    s.stderr_path = err;
    ::unlink(out.c_str());
    const Run r = bench::spawn(s);
    const std::string diag = read_small(err);
    if (!status_ok(c, points, r.status, diag)) {
      die(std::string(c.program) + " ended with status " + std::to_string(r.status) + ": " + diag);
    }
    return r;
  };
  auto floor_run = [&](const std::string& stdout_path) {
    Spawn s;
    s.argv = {o.floor, con, ref, flo, c.echoed ? "1" : "0", "3"};
    s.answers = answers;  // not read; the same kind of standard input as the program
    s.stdout_path = stdout_path;
    s.stderr_path = err;
    s.report = true;
    ::unlink(flo.c_str());
    const FloorRun r = spawn_floor(s);
    if (r.status != 0) die("the floor failed: " + read_small(err));
    return r;
  };

  // Reference run: its console stream and file are what the floor replays.
  program_run(con, o.points);
  if (::rename(out.c_str(), ref.c_str()) != 0) die("no output file from " + program);
  const long records = count_crlf(ref);
  if (records != o.points + c.header_records) {
    die(std::string(c.program) + " wrote " + std::to_string(records) + " records, expected " +
        std::to_string(o.points + c.header_records));
  }

  // The floor reproduces both streams exactly.
  const FloorRun check = floor_run(flocon);
  if (!same_bytes(flo, ref)) die("the floor's file differs from the program's");
  if (!same_bytes(flocon, con)) die("the floor's console stream differs from the program's");
  ::unlink(flocon.c_str());

  const std::string load_before = load_average();
  std::vector<double> pw, pu, ps, pc, fw, fu, fs, fc, load;
  for (int i = 0; i < o.runs; ++i) {
    // Alternate which goes first, so neither always follows the other.
    for (int k = 0; k < 2; ++k) {
      if ((i + k) % 2 == 0) {
        const Run r = program_run("/dev/null", o.points);
        if (!same_bytes(out, ref)) die(std::string(c.program) + " wrote a different file on a timed run");
        pw.push_back(r.wall);
        pu.push_back(r.user);
        ps.push_back(r.sys);
        pc.push_back(r.user + r.sys);
        res.rss_kib = std::max(res.rss_kib, r.maxrss_kib);
      } else {
        const FloorRun r = floor_run("/dev/null");
        if (!same_bytes(flo, ref)) die("the floor wrote a different file on a timed run");
        fw.push_back(r.wall);
        fu.push_back(r.user);
        fs.push_back(r.sys);
        fc.push_back(r.user + r.sys - static_cast<double>(r.load_cpu_us) / 1e6);
        load.push_back(static_cast<double>(r.load_ns) / 1e6);
      }
    }
  }
  ::unlink(out.c_str());
  ::unlink(flo.c_str());

  // The same program at a small count: its peak should not move.
  for (int i = 0; i < 3; ++i) {
    res.rss_small_kib = std::max(res.rss_small_kib, program_run("/dev/null", o.small_points).maxrss_kib);
  }
  ::unlink(out.c_str());

  res.program = median(pw);
  res.floor = median(fw);
  res.ratio = res.program / res.floor;
  const long per_point_writes = c.echoed ? 2 : 1;
  const double cpu_ratio = median(pc) / median(fc);
  std::printf("%s: %s\n", c.program, c.what);
  std::printf("  load average before the timed runs %s, after %s\n", load_before.c_str(), load_average().c_str());
  std::printf("  file %lld bytes, %ld records; console %lld bytes; the floor makes %ld write calls (%ld per point)\n",
              file_size(ref), records, file_size(con), check.writes, per_point_writes);
  std::printf("  %-8s %9s %9s %9s %9s\n", "", "median s", "user s", "sys s", "cpu s");
  std::printf("  %-8s %9.3f %9.3f %9.3f %9.3f   runs:", "program", res.program, median(pu), median(ps), median(pc));
  for (double t : pw) std::printf(" %.3f", t);
  std::printf("\n");
  std::printf("  %-8s %9.3f %9.3f %9.3f %9.3f   runs:", "floor", res.floor, median(fu), median(fs), median(fc));
  for (double t : fw) std::printf(" %.3f", t);
  std::printf("\n");
  std::printf("  (the floor's loading of its reference, %.1f ms median, is taken off its median and cpu figures;"
              " user and sys include it)\n",
              median(load));
  // Run i of the program and run i of the floor are next to each other in
  // time; their ratio cancels a load that drifts over the whole run.
  std::vector<double> paired;
  for (std::size_t i = 0; i < pw.size(); ++i) paired.push_back(pw[i] / fw[i]);
  std::printf("  ratio program/floor: %.3f (median wall times)   target <= %.2f: %s\n", res.ratio, c.ratio_target,
              res.ratio <= c.ratio_target ? "met" : "MISSED");
  std::printf("  cross-checks: median of paired wall ratios %.3f, fastest runs %.3f, median cpu times %.3f\n",
              median(paired), *std::min_element(pw.begin(), pw.end()) / *std::min_element(fw.begin(), fw.end()),
              cpu_ratio);
  std::printf("  per point: program %.0f ns, floor %.0f ns (wall)\n", res.program / o.points * 1e9,
              res.floor / o.points * 1e9);
  std::printf("  peak RSS: %ld KiB at %ld points, %ld KiB at %ld points   target < 4096 KiB: %s\n", res.rss_kib,
              o.points, res.rss_small_kib, o.small_points, res.rss_kib < 4096 ? "met" : "MISSED");
  std::printf("\n");
  std::fflush(stdout);
  return res;
}

// The resident memory a child has between fork and exec: its copy of this
// process. The peak that wait4 reports for a child is at least this, so a
// program's figure means something only well above it.
long fork_copy_kib() {
  int p[2];
  if (::pipe2(p, O_CLOEXEC) != 0) die("pipe failed");
  const pid_t pid = ::fork();
  if (pid < 0) die("fork failed");
  if (pid == 0) {
    long kib = -1;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atol(line + 6);
      }
      std::fclose(f);
    }
    const ssize_t ignored = ::write(p[1], &kib, sizeof kib);
    (void)ignored;
    ::_exit(0);
  }
  ::close(p[1]);
  long kib = -1;
  if (::read(p[0], &kib, sizeof kib) != sizeof kib) kib = -1;
  ::close(p[0]);
  int status;
  ::waitpid(pid, &status, 0);
  return kib;
}

[[noreturn]] void usage() {
  std::fprintf(stderr,
               "usage: program_bench [--bin DIR] [--floor PATH] [--points N] [--small N] [--runs N] [--keep]\n"
               "  --bin DIR     where dishsurface and domeprofile are (default: this build's bin/)\n"
               "  --floor PATH  the record_floor program (default: this build's)\n"
               "  --points N    points per run (default 1000000)\n"
               "  --small N     the small count for the memory comparison (default 1000)\n"
               "  --runs N      timed runs of each program and of its floor (default 7)\n"
               "  --keep        keep the work directory in /tmp\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int j = 1; j < argc; ++j) {
    const std::string a = argv[j];
    auto value = [&]() -> std::string {
      if (j + 1 >= argc) usage();
      return argv[++j];
    };
    if (a == "--bin") {
      o.bin = value();
    } else if (a == "--floor") {
      o.floor = value();
    } else if (a == "--points") {
      o.points = std::atol(value().c_str());
    } else if (a == "--small") {
      o.small_points = std::atol(value().c_str());
    } else if (a == "--runs") {
      o.runs = std::atoi(value().c_str());
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      usage();
    }
  }
  // Counts above 2^24 would not be exact in the float answers.
  if (o.points < 2 || o.points > 16777216 || o.small_points < 2 || o.runs < 1) usage();
  if (o.bin.empty() || o.floor.empty()) usage();

  // Short: domeprofile reads its file name into 40 characters.
  char work_template[] = "/tmp/tb-XXXXXX";
  if (::mkdtemp(work_template) == nullptr) die("cannot make a work directory in /tmp");
  const std::string work = work_template;

  char when[64];
  const std::time_t t = std::time(nullptr);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", std::localtime(&t));
  std::printf("Whole-program benchmark, %s: %ld points, %d timed runs each of program and floor, alternating;"
              " files in %s\n\n",
              when, o.points, o.runs, work.c_str());
  std::fflush(stdout);

  const Case cases[] = {
      {"dishsurface", "points file in /tmp, answers piped in, console to /dev/null", false, 2, 1.3, dish_answers},
      {"domeprofile", "circle, points file in /tmp, console echo to /dev/null, answers piped in", true, 1, 1.4,
       dome_answers},
  };
  for (const Case& c : cases) run_case(o, c, work);

  // What this way of measuring sees of a process that does nothing: the
  // floor started without arguments (start-up of the same C++ run-time, then
  // a usage message).
  {
    Spawn s;
    s.argv = {o.floor};
    s.stdout_path = "/dev/null";
    s.stderr_path = "/dev/null";
    long idle = 0;
    for (int i = 0; i < 3; ++i) idle = std::max(idle, bench::spawn(s).maxrss_kib);
    std::printf("baseline: peak RSS of a C++ process that only starts and exits (record_floor without"
                " arguments): %ld KiB\n",
                idle);
    std::printf("baseline: resident copy of this driver in a child before exec (below every figure): %ld KiB\n",
                fork_copy_kib());
  }

  if (!o.keep) {
    const std::string names[] = {"dishsurface", "domeprofile"};
    for (const std::string& n : names) {
      for (const char* ext : {".ref", ".con", ".err", ".out", ".flo", ".flocon"}) {
        ::unlink((work + "/" + n + ext).c_str());
      }
    }
    ::rmdir(work.c_str());
  }
  return 0;
}
