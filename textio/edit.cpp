#include "textio/edit.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "textio/digits.h"
#include "textio/format.h"

namespace textio {
namespace {

static_assert(kMaxEFraction + 1 <= kMaxDigits, "Ew.d with scale 1 asks for d + 1 significant digits");

bool fill_stars(char* out, int w) {
  std::memset(out, '*', static_cast<std::size_t>(w));
  return false;
}

// NaN and infinity: a blank, then the text, left-aligned.
bool edit_special(char* out, int w, const char* text) {
  int len = static_cast<int>(std::strlen(text));
  if (1 + len > w) return fill_stars(out, w);
  out[0] = ' ';
  std::memcpy(out + 1, text, static_cast<std::size_t>(len));
  std::memset(out + 1 + len, ' ', static_cast<std::size_t>(w - 1 - len));
  return true;
}

bool edit_nonfinite(char* out, int w, std::uint32_t bits) {
  if ((bits & 0x007FFFFFu) != 0) return edit_special(out, w, "NaN");
  return edit_special(out, w, (bits >> 31) != 0 ? "-Infinity" : "Infinity");
}

}  // namespace

bool edit_e(char* out, float x, int w, int d, int k) {
  const auto bits = std::bit_cast<std::uint32_t>(x);
  if ((bits & 0x7F800000u) == 0x7F800000u) return edit_nonfinite(out, w, bits);

  const bool zero = (bits & 0x7FFFFFFFu) == 0;
  const bool negative = !zero && (bits >> 31) != 0;
  // With scale 1 the first digit stands before the point: one more
  // significant digit and an exponent one less. A zero ignores the scale.
  const bool scaled = k == 1 && !zero;
  char digits[kMaxDigits];
  int exponent = 0;
  if (zero) {
    std::memset(digits, '0', static_cast<std::size_t>(d));
  } else {
    exponent = decimal_digits(std::abs(x), scaled ? d + 1 : d, digits) - (scaled ? 1 : 0);
  }

  bool lead_zero = !scaled;  // "0." before the digits, where there is room for it
  int len = (negative ? 1 : 0) + 2 + d + 4;
  if (len > w && lead_zero) {
    lead_zero = false;
    --len;
  }
  if (len > w) return fill_stars(out, w);

  char* p = out;
  std::memset(p, ' ', static_cast<std::size_t>(w - len));
  p += w - len;
  if (negative) *p++ = '-';
  if (scaled) {
    *p++ = digits[0];
    *p++ = '.';
    std::memcpy(p, digits + 1, static_cast<std::size_t>(d));
  } else {
    if (lead_zero) *p++ = '0';
    *p++ = '.';
    std::memcpy(p, digits, static_cast<std::size_t>(d));
  }
  p += d;
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  write_two_digits(p, exponent < 0 ? -exponent : exponent);  // below 100 for 32-bit floats
  return true;
}

bool edit_i(char* out, std::int32_t v, int w) {
  std::uint32_t magnitude = v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
  char tmp[11];
  int n = 0;
  do {
    tmp[10 - n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const int need = n + (v < 0 ? 1 : 0);
  if (need > w) return fill_stars(out, w);
  std::memset(out, ' ', static_cast<std::size_t>(w - need));
  if (v < 0) out[w - need] = '-';
  std::memcpy(out + (w - n), tmp + 11 - n, static_cast<std::size_t>(n));
  return true;
}

void edit_a(char* out, const char* text, int len, int w) {
  if (w >= len) {
    std::memset(out, ' ', static_cast<std::size_t>(w - len));
    std::memcpy(out + (w - len), text, static_cast<std::size_t>(len));
  } else {
    std::memcpy(out, text, static_cast<std::size_t>(w));
  }
}

void edit_list_float(char* out, float x) {
  constexpr int w = kListFloatWidth;
  const auto bits = std::bit_cast<std::uint32_t>(x);
  if ((bits & 0x7F800000u) == 0x7F800000u) {
    edit_nonfinite(out, w, bits);
    return;
  }
  if ((bits & 0x7FFFFFFFu) == 0) {
    std::memcpy(out, "  0.0000000E+00", w);
    return;
  }
  char digits[kMaxDigits];
  const int e = decimal_digits(std::abs(x), 7, digits);
  if (e < 0 || e > 7) {  // rounded value below 0.1 or at least 10000000
    edit_e(out, x, w, 7, 1);
    return;
  }
  // Fixed form: e digits before the point (a single 0 when e is 0), the rest
  // after it, right-justified in 11 columns, then 4 blanks.
  char body[11];
  int len = 0;
  if ((bits >> 31) != 0) body[len++] = '-';
  if (e == 0) body[len++] = '0';
  std::memcpy(body + len, digits, static_cast<std::size_t>(e));
  len += e;
  body[len++] = '.';
  std::memcpy(body + len, digits + e, static_cast<std::size_t>(7 - e));
  len += 7 - e;
  std::memset(out, ' ', static_cast<std::size_t>(w));
  std::memcpy(out + (11 - len), body, static_cast<std::size_t>(len));
}

}  // namespace textio
