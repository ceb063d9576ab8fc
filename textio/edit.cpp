#include "textio/edit.h"

#include <bit>
#include <cstdlib>
#include <cstring>

namespace textio {
namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kPow10[20] = {
    1ull,
    10ull,
    100ull,
    1000ull,
    10000ull,
    100000ull,
    1000000ull,
    10000000ull,
    100000000ull,
    1000000000ull,
    10000000000ull,
    100000000000ull,
    1000000000000ull,
    10000000000000ull,
    100000000000000ull,
    1000000000000000ull,
    10000000000000000ull,
    100000000000000000ull,
    1000000000000000000ull,
    10000000000000000000ull,
};

constexpr int bit_width128(u128 x) {
  int n = 0;
  while (x != 0) {
    x >>= 1;
    ++n;
  }
  return n;
}

// Powers of five that fit in 128 bits, with their bit widths.
struct Pow5Table {
  u128 value[56];
  unsigned char bits[56];
};

constexpr Pow5Table make_pow5() {
  Pow5Table t{};
  u128 p = 1;
  for (int i = 0; i < 56; ++i) {
    t.value[i] = p;
    t.bits[i] = static_cast<unsigned char>(bit_width128(p));
    p *= 5;
  }
  return t;
}

constexpr Pow5Table kPow5 = make_pow5();

// Powers of ten from 1e-46 to 1e39 as doubles, to settle floor(log10(v)) of a
// float with one comparison. A float never lies strictly between 10^j and the
// double nearest to it, so the comparison is exact; the digit count is
// checked afterwards all the same.
constexpr int kPow10DoubleBias = 46;
constexpr double kPow10Double[] = {
    1e-46, 1e-45, 1e-44, 1e-43, 1e-42, 1e-41, 1e-40, 1e-39, 1e-38, 1e-37, 1e-36, 1e-35, 1e-34, 1e-33, 1e-32,
    1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17,
    1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,
    1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,
    1e29,  1e30,  1e31,  1e32,  1e33,  1e34,  1e35,  1e36,  1e37,  1e38,  1e39,
};

// Two decimal digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Two digits at a time from the right, in 32-bit arithmetic once the value
// fits 32 bits.
void write_digits32(std::uint32_t v, int n, char* out) {
  char* p = out + n;
  while (p - out >= 2) {
    const std::uint32_t pair = v % 100;
    v /= 100;
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * pair, 2);
  }
  if (p != out) *--p = static_cast<char>('0' + v);
}

// The n digits of v < 10^n.
void write_digits(std::uint64_t v, int n, char* out) {
  if (n > 8) {
    write_digits32(static_cast<std::uint32_t>(v % 100000000), 8, out + n - 8);
    v /= 100000000;
    n -= 8;
  }
  write_digits32(static_cast<std::uint32_t>(v), n, out);
}

// Powers of five below 2^63, for the common case in 64-bit arithmetic.
constexpr int kMaxPow5In64 = 27;
struct Pow5Table64 {
  std::uint64_t value[kMaxPow5In64 + 1];
  unsigned char bits[kMaxPow5In64 + 1];
};
constexpr Pow5Table64 make_pow5_64() {
  Pow5Table64 t{};
  std::uint64_t p = 1;
  for (int i = 0; i <= kMaxPow5In64; ++i) {
    t.value[i] = p;
    t.bits[i] = static_cast<unsigned char>(bit_width128(p));
    p *= 5;
  }
  return t;
}
constexpr Pow5Table64 kPow5In64 = make_pow5_64();

// num / 2^sh, rounded half to even.
std::uint64_t round_shift(u128 num, int sh) {
  if (sh == 0) return static_cast<std::uint64_t>(num);
  if (sh >= 128) return 0;  // callers keep num below 2^127, so below one half
  u128 q = num >> sh;
  u128 rem = num - (q << sh);
  u128 half = u128{1} << (sh - 1);
  if (rem > half || (rem == half && (q & 1) != 0)) ++q;
  return static_cast<std::uint64_t>(q);
}

// num / den, rounded half to even; den < 2^127.
std::uint64_t round_div(u128 num, u128 den) {
  u128 q, rem;
  if ((num >> 64) == 0 && (den >> 64) == 0) {
    auto n64 = static_cast<std::uint64_t>(num), d64 = static_cast<std::uint64_t>(den);
    q = n64 / d64;
    rem = n64 % d64;
  } else {
    q = num / den;
    rem = num % den;
  }
  u128 twice = rem << 1;
  if (twice > den || (twice == den && (q & 1) != 0)) ++q;
  return static_cast<std::uint64_t>(q);
}

// The rare case that overflows 128 bits: tiny values asked for many digits,
// m times a large power of five, shifted right. Plain 32-bit limbs.
std::uint64_t round_scaled_wide(std::uint32_t m, int s, int t) {
  constexpr int kLimbs = 12;
  std::uint32_t limb[kLimbs] = {m};
  int len = 1;
  for (int r = t; r > 0; r -= 13) {
    std::uint32_t factor = static_cast<std::uint32_t>(kPow5.value[r >= 13 ? 13 : r]);
    std::uint64_t carry = 0;
    for (int j = 0; j < len; ++j) {
      std::uint64_t p = std::uint64_t{limb[j]} * factor + carry;
      limb[j] = static_cast<std::uint32_t>(p);
      carry = p >> 32;
    }
    if (carry != 0) limb[len++] = static_cast<std::uint32_t>(carry);
  }
  if (s >= 0) std::abort();  // only reached for values far below one
  int sh = -s;
  auto bit = [&](int pos) -> std::uint32_t {
    if (pos < 0 || pos >= len * 32) return 0;
    return (limb[pos / 32] >> (pos % 32)) & 1u;
  };
  std::uint64_t q = 0;
  for (int b = 63; b >= 0; --b) q = (q << 1) | bit(sh + b);
  bool half = bit(sh - 1) != 0;
  bool sticky = false;
  for (int pos = 0; pos < sh - 1 && !sticky; ++pos) sticky = bit(pos) != 0;
  if (half && (sticky || (q & 1) != 0)) ++q;
  return q;
}

// m * 2^s * 5^t rounded half to even to an integer (known to be below 2^64).
inline std::uint64_t round_scaled(std::uint32_t m, int s, int t) {
  const int mb = std::bit_width(m);
  // Most fields of everyday values: the product fits 64 bits.
  if (t >= 0 && t <= kMaxPow5In64 && mb + kPow5In64.bits[t] <= 63) {
    const std::uint64_t num = std::uint64_t{m} * kPow5In64.value[t];
    if (s >= 0) return num << s;
    const int sh = -s;
    if (sh >= 64) return 0;  // below one half: num < 2^63
    const std::uint64_t q = num >> sh;
    const std::uint64_t rem = num & ((std::uint64_t{1} << sh) - 1);
    const std::uint64_t half = std::uint64_t{1} << (sh - 1);
    return q + ((rem > half || (rem == half && (q & 1) != 0)) ? 1 : 0);
  }
  if (t >= 0) {
    if (t > 55 || mb + kPow5.bits[t] > 127) return round_scaled_wide(m, s, t);
    u128 num = u128{m} * kPow5.value[t];
    if (s >= 0) return static_cast<std::uint64_t>(num << s);
    return round_shift(num, -s);
  }
  // Large values: the exact quotient of two integers that fit 128 bits.
  const int u = -t;
  u128 num = m;
  u128 den = kPow5.value[u];
  if (s >= 0) {
    num <<= s;
  } else {
    den <<= -s;
  }
  return round_div(num, den);
}

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

int decimal_digits(float value, int n, char* out) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const std::uint32_t biased = (bits >> 23) & 0xFFu;
  std::uint32_t m = bits & 0x007FFFFFu;
  int e2;
  if (biased == 0) {
    e2 = -149;
  } else {
    m |= 0x00800000u;
    e2 = static_cast<int>(biased) - 150;
  }
  // value lies in [2^hb, 2^(hb+1)), so floor(log10(value)) is k or k + 1.
  const int hb = e2 + std::bit_width(m) - 1;
  int k = (hb * 78913) >> 18;
  if (static_cast<double>(value) >= kPow10Double[k + 1 + kPow10DoubleBias]) ++k;
  int q = k + 1 - n;
  std::uint64_t digits = round_scaled(m, e2 - q, -q);
  if (digits >= kPow10[n]) {
    if (digits != kPow10[n]) {  // not a carry: the exponent was one short
      ++q;
      digits = round_scaled(m, e2 - q, -q);
    }
    if (digits >= kPow10[n]) {  // rounding carried into a new leading digit
      digits = kPow10[n - 1];
      ++q;
    }
  } else if (digits < kPow10[n - 1]) {  // the exponent was one too many
    --q;
    digits = round_scaled(m, e2 - q, -q);
    if (digits >= kPow10[n]) {
      digits = kPow10[n - 1];
      ++q;
    }
  }
  write_digits(digits, n, out);
  return q + n;
}

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
  const int magnitude = exponent < 0 ? -exponent : exponent;  // below 100 for 32-bit floats
  std::memcpy(p, kDigitPairs + 2 * magnitude, 2);
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
