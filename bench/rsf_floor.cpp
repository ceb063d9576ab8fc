// rsf_floor: the least a reader of a .rsf file can do: read the file through
// one buffer, cut its records and parse every number with std::from_chars,
// nothing else. radomeview's time on the same file is set against it.
//
//   rsf_floor FILE     (prints the count of numbers and their sum)
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::FILE* f = std::fopen(argv[1], "rb");
  if (!f) return 2;
  std::vector<char> buffer(1 << 14);
  std::size_t have = 0;
  long long numbers = 0;
  double sum = 0;
  for (;;) {
    const std::size_t got = std::fread(buffer.data() + have, 1, buffer.size() - have, f);
    have += got;
    std::size_t from = 0;
    for (;;) {
      const char* start = buffer.data() + from;
      const void* lf = std::memchr(start, '\n', have - from);
      if (!lf && got != 0) break;
      const char* end = lf ? static_cast<const char*>(lf) : buffer.data() + have;
      for (const char* p = start; p < end;) {
        while (p < end && (*p == ' ' || *p == '\r')) ++p;
        if (p >= end) break;
        double v;
        const auto r = std::from_chars(p, end, v);
        if (r.ec == std::errc()) {
          ++numbers;
          sum += v;
        }
        p = r.ptr == p ? p + 1 : r.ptr;
        while (p < end && *p != ' ' && *p != '\r') ++p;
      }
      from = static_cast<std::size_t>(end - buffer.data()) + (lf ? 1 : 0);
      if (!lf) break;
    }
    std::memmove(buffer.data(), buffer.data() + from, have - from);
    have -= from;
    if (got == 0) break;
  }
  std::fclose(f);
  std::printf("%lld numbers, sum %.17g\n", numbers, sum);
  return 0;
}
