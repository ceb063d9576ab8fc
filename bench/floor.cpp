// record_floor: the least a program can do to produce its output as the
// programs must, one write(2) per record and nothing else. It replays the bytes
// of a reference run of the real program (its console stream and its output
// file) to the same kinds of destinations, cut into the same records, so the
// time of the real program can be set against it.
//
//   record_floor CONSOLE_REF FILE_REF OUT_PATH ECHOED [REPORT_FD]
//
// CONSOLE_REF: the program's standard output bytes; they go to our standard
// output. FILE_REF: the program's output file; it goes to OUT_PATH, created
// afresh. ECHOED: 1 when every file record after the first is preceded by
// one console record (the echo of a point), 0 when the console has only the
// dialogue. REPORT_FD: where to write "load_ns=<n> load_cpu_us=<n> writes=<n>",
// the wall and CPU time spent loading and cutting the references (not part of
// the floor) and the number of write calls made.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void die(const char* what, const char* detail) {
  std::fprintf(stderr, "record_floor: %s%s%s\n", what, detail[0] ? ": " : "", detail);
  std::exit(2);
}

long long cpu_us() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return (static_cast<long long>(ru.ru_utime.tv_sec) + ru.ru_stime.tv_sec) * 1000000LL + ru.ru_utime.tv_usec +
         ru.ru_stime.tv_usec;
}

long long now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// The reference mapped and its pages populated now, so the write loop takes
// no page fault; unmapping it at exit frees nothing.
std::string_view map_file(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) die("cannot open", path);
  struct stat st;
  if (::fstat(fd, &st) != 0) die("cannot stat", path);
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  if (size == 0) {
    ::close(fd);
    return {};
  }
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (p == MAP_FAILED) die("cannot map", path);
  ::close(fd);
  return {static_cast<const char*>(p), size};
}

// The lengths of consecutive pieces of a stream, each one write call.
using Cuts = std::vector<std::uint32_t>;

// File records end with CR LF.
Cuts file_records(std::string_view b) {
  Cuts out;
  std::size_t start = 0;
  for (std::size_t j = 0; j + 1 < b.size(); ++j) {
    if (b[j] == '\r' && b[j + 1] == '\n') {
      out.push_back(static_cast<std::uint32_t>(j + 2 - start));
      start = j + 2;
      ++j;
    }
  }
  if (start != b.size()) die("file reference does not end with a whole record", "");
  return out;
}

// What the programs show without a line end: their prompts, all beginning with
// "Enter ". A prompt goes out in one write when the answer is read, so a
// console write ends after each.
constexpr std::string_view kPrompts[] = {
    "Enter output file ",
    "Enter focal length, z offset ",
    "Enter diameter start,stop,step ",
    "Enter +1 forward, -1 reverse reflector ",
    "Enter label ",
    "Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal ",
    "Enter center (focus) along X-axis ",
    "Enter circle radius ",
    "Enter parabola focal length ",
    "Enter ellipse eccentricity, max. radius ",
    "Enter angle start, stop, # ",
    "Enter inner point: Z, R ",
    "Enter outer point: Z, R ",
    "Enter number of radius points ",
    "Enter sinusoidal factor A: (0 - 1) with (1-A) linear ",
    "Enter sinusoidal factor exponent ",
};

// Console records end with CR (their LF goes out at the start of the next
// one); a prompt ends after its text; whatever follows the last of them (the
// line end owed at the end of the run) is one more write.
Cuts console_writes(std::string_view all) {
  Cuts out;
  std::size_t start = 0;
  std::size_t j = 0;
  while (j < all.size()) {
    std::size_t cut = 0;
    if (all[j] == '\r') {
      cut = j + 1;
    } else if (all[j] == 'E' && all.substr(j, 6) == "Enter ") {
      for (std::string_view prompt : kPrompts) {
        if (all.substr(j, prompt.size()) == prompt) {
          cut = j + prompt.size();
          break;
        }
      }
    }
    if (cut != 0) {
      out.push_back(static_cast<std::uint32_t>(cut - start));
      start = j = cut;
    } else {
      ++j;
    }
  }
  if (start < all.size()) out.push_back(static_cast<std::uint32_t>(all.size() - start));
  return out;
}

long g_writes = 0;

// One stream and the cursor into it.
struct Stream {
  int fd;
  const char* at;
  const std::uint32_t* next;

  void put() {
    const char* p = at;
    std::size_t n = *next++;
    at += n;
    while (n > 0) {
      const ssize_t done = ::write(fd, p, n);
      ++g_writes;
      if (done < 0 && errno == EINTR) continue;
      if (done < 0) die("write failed", std::strerror(errno));
      p += done;
      n -= static_cast<std::size_t>(done);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || argc > 6) {
    std::fprintf(stderr, "usage: record_floor CONSOLE_REF FILE_REF OUT_PATH ECHOED [REPORT_FD]\n");
    return 2;
  }
  const long long load_start = now_ns();
  const long long load_cpu_start = cpu_us();
  const std::string_view console = map_file(argv[1]);
  const std::string_view file = map_file(argv[2]);
  const bool echoed = std::strcmp(argv[4], "1") == 0;
  const Cuts con = console_writes(console);
  const Cuts rec = file_records(file);
  const int report_fd = argc == 6 ? std::atoi(argv[5]) : -1;

  // Where each part of the console stream belongs: the dialogue before the
  // first file record, the echoes interleaved with the point records, and the
  // tail after the file is closed (a final line end, if any).
  const std::size_t echoes = echoed && !rec.empty() ? rec.size() - 1 : 0;
  const std::size_t tail = !console.empty() && console.back() == '\n' && !con.empty() && con.back() == 1 ? 1 : 0;
  if (con.size() < echoes + tail) die("console reference has fewer records than echoed points", "");
  const std::size_t head = con.size() - echoes - tail;
  const std::size_t file_head = rec.size() - echoes;
  const long long load_ns = now_ns() - load_start;
  const long long load_cpu = cpu_us() - load_cpu_start;

  Stream out_console{1, console.data(), con.data()};
  for (std::size_t c = 0; c < head; ++c) out_console.put();
  const int out = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) die("cannot create", argv[3]);
  Stream out_file{out, file.data(), rec.data()};
  for (std::size_t r = 0; r < file_head; ++r) out_file.put();
  for (std::size_t r = 0; r < echoes; ++r) {
    out_console.put();
    out_file.put();
  }
  if (::close(out) != 0) die("close failed", argv[3]);
  for (std::size_t c = 0; c < tail; ++c) out_console.put();

  if (report_fd >= 0) {
    char line[128];
    const int n = std::snprintf(line, sizeof line, "load_ns=%lld load_cpu_us=%lld writes=%ld\n", load_ns, load_cpu,
                                g_writes);
    if (::write(report_fd, line, static_cast<std::size_t>(n)) != n) return 2;
  }
  return 0;
}
