// Formatted and free-form write statements of the programs over arbitrary
// floats and integers, to a file unit and to the console, with prompts left
// pending and continued. Each file statement must add exactly its records.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "textio/console.h"
#include "textio/textio.h"

namespace {

constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
constexpr auto kSurface = textio::format("(2E18.10)");
constexpr auto kHeader = textio::format("(A40,/,3I4)");
constexpr auto kRegion = textio::format("('       ',I2,1P,E12.4,E12.4,E12.4)");
constexpr auto kValue = textio::format("(' SHCR   real_variable',/,'(',/,'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kName1 = textio::format("(' SHTH',I1,'   real_variable')");
constexpr auto kSegment = textio::format("(I11,I6,I6,I4,I4,'   -1.0    0.0')");
constexpr auto kLayer =
    textio::format("(' Layer: ',I2,' starting against metal',/,' Enter dielectric constant, Permability, Loss tangent ',$)");
constexpr auto kEcho = textio::format("(/,A70)");
constexpr auto kObject = textio::format("(A20)");
constexpr auto kPrompt = textio::format("(' Enter shroud angle ',$)");

int g_memfd = -1;
std::string g_path;

struct Input {
  const std::uint8_t* p;
  std::size_t left;
  std::uint32_t word() {
    std::uint32_t w = 0;
    const std::size_t n = left < 4 ? left : 4;
    std::memcpy(&w, p, n);
    p += n;
    left -= n;
    return w;
  }
  float real() { return std::bit_cast<float>(word()); }
  std::int32_t integer() { return static_cast<std::int32_t>(word()); }
};

}  // namespace

// Run with -close_fd_mask=2 to keep the overflow reports out of the log.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);  // the console
  g_memfd = memfd_create("records", 0);
  g_path = "/proc/self/fd/" + std::to_string(g_memfd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ftruncate(g_memfd, 0);
  textio::open_file(40, textio::FileName<70>(g_path), "UNKNOWN");
  Input in{data, size};
  const textio::Text<40> label("label");
  textio::Text<70> name;
  textio::Text<20> object;
  long expected = 0;  // bytes the file statements add
  while (in.left > 0) {
    const std::uint8_t op = *in.p++;
    --in.left;
    const int unit = (op & 0x80) ? 6 : 40;
    const long before = expected;
    switch (op & 0x0F) {
      case 0: textio::write_formatted<kPoint>(unit, in.real(), in.real()); expected += 30; break;
      case 1: textio::write_formatted<kSurface>(unit, in.real(), in.real()); expected += 38; break;
      case 2:
        textio::write_formatted<kHeader>(unit, label, in.integer(), in.integer(), in.integer());
        expected += 56;
        break;
      case 3:
        textio::write_formatted<kRegion>(unit, in.integer(), in.real(), in.real(), in.real());
        expected += 47;
        break;
      case 4: textio::write_formatted<kValue>(unit, in.real()); expected += 23 + 3 + 35 + 3 + 2; break;
      case 5: textio::write_formatted<kName1>(unit, in.integer()); expected += 24; break;
      case 6:
        textio::write_formatted<kSegment>(unit, in.integer(), in.integer(), in.integer(), in.integer(), in.integer());
        expected += 47;
        break;
      case 7: textio::write_formatted<kLayer>(6, in.integer()); continue;
      case 8: textio::write_formatted<kPrompt>(6); continue;
      case 9:
        std::memcpy(name.c, in.p, in.left < 70 ? in.left : 70);
        textio::write_formatted<kEcho>(unit, name);
        expected += 2 + 72;
        break;
      case 10:
        std::memcpy(object.c, in.p, in.left < 20 ? in.left : 20);
        textio::write_formatted<kObject>(unit, object);
        expected += 22;
        break;
      case 11: textio::write_list(unit, in.integer()); expected += 14; break;
      case 12: textio::write_list(unit, in.real(), in.real(), in.real()); expected += 47; break;
      case 13: textio::write_list(unit, "pi", in.real()); expected += 20; break;
      default: textio::console_state.show_pending_prompt(); continue;
    }
    if (unit == 6) expected = before;
  }
  textio::close_file(40);
  struct stat st;
  if (fstat(g_memfd, &st) != 0 || (expected > 0 && st.st_size != expected)) __builtin_trap();
  return 0;
}
