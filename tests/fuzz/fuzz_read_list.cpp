// Free-form read statements over arbitrary bytes: the first byte chooses one
// to three items and their kinds, the rest are the lines.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "textio/scan.h"

namespace {

// Lines as the unit would give them: split at LF, one CR before it dropped,
// a line of the single byte 0x1A or no byte at all is the end of the input.
class BytesLines final : public textio::LineSource {
 public:
  explicit BytesLines(std::string_view bytes) : rest_(bytes) {}
  int next(std::string_view* line) override {
    if (rest_.empty()) return 24;
    const auto lf = rest_.find('\n');
    std::string_view l = rest_.substr(0, lf);
    rest_ = lf == std::string_view::npos ? std::string_view() : rest_.substr(lf + 1);
    if (lf != std::string_view::npos && !l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l == "\x1A") return 24;
    *line = l;
    return 0;
  }

 private:
  std::string_view rest_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int count = 1 + data[0] % 3;
  std::int32_t ints[3] = {11, 22, 33};
  float floats[3] = {1.5f, 2.5f, 3.5f};
  textio::InItem items[3];
  for (int j = 0; j < count; ++j) {
    const bool real = (data[0] >> (2 + j)) & 1;
    items[j] = real ? textio::InItem{textio::ItemKind::real, &floats[j]}
                    : textio::InItem{textio::ItemKind::integer, &ints[j]};
  }
  BytesLines lines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const int status = textio::read_list_from(lines, items, count);
  if (status != 0 && status != 24 && status != 59 && status != 64) __builtin_trap();
  return 0;
}
