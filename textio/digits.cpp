#include "textio/digits.h"

#include <bit>
#include <cstdlib>

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
static_assert(kPow10[kMaxDigits] < (std::uint64_t{1} << 63), "the digits of one conversion fit 63 bits");

constexpr int bit_width128(u128 x) {
  int n = 0;
  while (x != 0) {
    x >>= 1;
    ++n;
  }
  return n;
}

// Powers of five that fit in 128 bits, with their bit widths. Those below
// 2^64 serve the 64-bit path too.
constexpr int kPow5Count = 56;
struct Pow5Table {
  u128 value[kPow5Count];
  unsigned char bits[kPow5Count];
};

constexpr Pow5Table make_pow5() {
  Pow5Table t{};
  u128 p = 1;
  for (int i = 0; i < kPow5Count; ++i) {
    t.value[i] = p;
    t.bits[i] = static_cast<unsigned char>(bit_width128(p));
    p *= 5;
  }
  return t;
}

constexpr Pow5Table kPow5 = make_pow5();

// The first of them again as 64-bit words beside their widths, for the path
// most fields take: one base address and half the stride keep it shortest.
constexpr int kPow5In64Count = 28;  // 5^27 < 2^63
struct Pow5Table64 {
  std::uint64_t value[kPow5In64Count];
  unsigned char bits[kPow5In64Count];
};
constexpr Pow5Table64 low_words_of_pow5() {
  Pow5Table64 t{};
  for (int i = 0; i < kPow5In64Count; ++i) {
    t.value[i] = static_cast<std::uint64_t>(kPow5.value[i]);
    t.bits[i] = kPow5.bits[i];
  }
  return t;
}
constexpr Pow5Table64 kPow5In64 = low_words_of_pow5();
static_assert(kPow5.bits[kPow5In64Count - 1] <= 63 && kPow5.bits[kPow5In64Count] > 63);

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

// The one rounding rule of every path below: the truncated quotient q goes up
// by one when the part dropped is above one half, or exactly one half and q odd.
template <class U>
constexpr U half_to_even(U q, bool above_half, bool exactly_half) {
  return q + ((above_half || (exactly_half && (q & 1) != 0)) ? 1 : 0);
}

// num / 2^sh rounded, 0 < sh < bits of U.
template <class U>
U shift_rounded(U num, int sh) {
  const U q = num >> sh;
  const U rem = num & ((U{1} << sh) - 1);
  const U half = U{1} << (sh - 1);
  return half_to_even(q, rem > half, rem == half);
}

// num / den rounded; den < 2^127.
std::uint64_t divide_rounded(u128 num, u128 den) {
  u128 q, rem;
  if ((num >> 64) == 0 && (den >> 64) == 0) {
    auto n64 = static_cast<std::uint64_t>(num), d64 = static_cast<std::uint64_t>(den);
    q = n64 / d64;
    rem = n64 % d64;
  } else {
    q = num / den;
    rem = num % den;
  }
  const u128 twice = rem << 1;
  return static_cast<std::uint64_t>(half_to_even(q, twice > den, twice == den));
}

// The rare case that overflows 128 bits: tiny values asked for many digits,
// m times a large power of five, shifted right. Plain 32-bit limbs.
std::uint64_t scaled_wide(std::uint32_t m, int s, int t) {
  constexpr int kLimbs = 12;
  // The smallest float (about 1.4e-45) at kMaxDigits digits needs t up to
  // 46 + kMaxDigits, and 5^t has fewer than 3t bits.
  static_assert(kLimbs * 32 >= 24 + 3 * (46 + kMaxDigits), "the limbs hold m * 5^t");
  std::uint32_t limb[kLimbs] = {m};
  int len = 1;
  for (int r = t; r > 0; r -= 13) {
    const auto factor = static_cast<std::uint32_t>(kPow5.value[r >= 13 ? 13 : r]);  // 5^13 < 2^32
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
  const bool half = bit(sh - 1) != 0;
  bool sticky = false;
  for (int pos = 0; pos < sh - 1 && !sticky; ++pos) sticky = bit(pos) != 0;
  return half_to_even(q, half && sticky, half && !sticky);
}

// m * 2^s * 5^t rounded to an integer (known to be below 2^64).
inline std::uint64_t scaled_rounded(std::uint32_t m, int s, int t) {
  const int mb = std::bit_width(m);
  // Most fields of everyday values: the product fits 64 bits.
  if (t >= 0 && t < kPow5In64Count && mb + kPow5In64.bits[t] <= 63) {
    const std::uint64_t num = std::uint64_t{m} * kPow5In64.value[t];
    if (s >= 0) return num << s;
    if (-s >= 64) return 0;  // below one half: num < 2^63
    return shift_rounded(num, -s);
  }
  if (t >= 0) {
    if (t >= kPow5Count || mb + kPow5.bits[t] > 127) return scaled_wide(m, s, t);
    const u128 num = u128{m} * kPow5.value[t];
    if (s >= 0) return static_cast<std::uint64_t>(num << s);
    if (-s >= 128) return 0;  // num < 2^127, so below one half
    return static_cast<std::uint64_t>(shift_rounded(num, -s));
  }
  // Large values: the exact quotient of two integers that fit 128 bits.
  u128 num = m;
  u128 den = kPow5.value[-t];
  if (s >= 0) {
    num <<= s;
  } else {
    den <<= -s;
  }
  return divide_rounded(num, den);
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
  std::uint64_t digits = scaled_rounded(m, e2 - q, -q);
  if (digits >= kPow10[n]) {
    if (digits != kPow10[n]) {  // not a carry: the exponent was one short
      ++q;
      digits = scaled_rounded(m, e2 - q, -q);
    }
    if (digits >= kPow10[n]) {  // rounding carried into a new leading digit
      digits = kPow10[n - 1];
      ++q;
    }
  } else if (digits < kPow10[n - 1]) {  // the exponent was one too many
    --q;
    digits = scaled_rounded(m, e2 - q, -q);
    if (digits >= kPow10[n]) {
      digits = kPow10[n - 1];
      ++q;
    }
  }
  write_digits(digits, n, out);
  return q + n;
}

}  // namespace textio
