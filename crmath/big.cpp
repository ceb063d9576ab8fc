#include "crmath/big.h"

#include <bit>
#include <limits>

namespace crmath::detail {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

int limbs(int n) { return n + kIntLimbs; }

// Bits [lo, lo + 32) of a, zero outside it.
std::uint32_t bits32(const Big& a, int n, int lo) {
  const int total = limbs(n);
  std::uint64_t v = 0;
  for (int k = 1; k >= 0; --k) {
    const int index = (lo >= 0 ? lo / 32 : -((-lo + 31) / 32)) + k;
    v <<= 32;
    if (index >= 0 && index < total) v |= a.w[index];
  }
  const int shift = lo - 32 * (lo >= 0 ? lo / 32 : -((-lo + 31) / 32));
  return static_cast<std::uint32_t>(v >> shift);
}

int top_bit(const Big& a, int n) {  // position of the highest set bit, -1 for zero
  for (int i = limbs(n) - 1; i >= 0; --i) {
    if (a.w[i] != 0) return 32 * i + 31 - std::countl_zero(a.w[i]);
  }
  return -1;
}

bool bit_at(const Big& a, int n, int pos) {
  if (pos < 0 || pos >= 32 * limbs(n)) return false;
  return (a.w[pos / 32] >> (pos % 32)) & 1u;
}

// Clears every bit at or above pos.
void clear_from(Big& a, int n, int pos) {
  for (int i = 0; i < limbs(n); ++i) {
    if (32 * i >= pos) {
      a.w[i] = 0;
    } else if (32 * i + 32 > pos) {
      a.w[i] &= (std::uint32_t{1} << (pos - 32 * i)) - 1;
    }
  }
}

void set_bit(Big& a, int pos) { a.w[pos / 32] |= std::uint32_t{1} << (pos % 32); }

}  // namespace

void big_zero(Big& a, int n) {
  for (int i = 0; i < limbs(n); ++i) a.w[i] = 0;
}

void big_set_int(Big& a, int n, std::int64_t v) {
  big_zero(a, n);
  const auto u = static_cast<std::uint64_t>(v < 0 ? -v : v);
  a.w[n] = static_cast<std::uint32_t>(u);
  a.w[n + 1] = static_cast<std::uint32_t>(u >> 32);
  if (v < 0) big_negate(a, n);
}

void big_set_fraction(Big& a, int n, const std::uint32_t* words) {
  for (int i = 0; i < n; ++i) a.w[n - 1 - i] = words[i];
}

bool big_is_zero(const Big& a, int n) {
  for (int i = 0; i < limbs(n); ++i) {
    if (a.w[i] != 0) return false;
  }
  return true;
}

bool big_is_negative(const Big& a, int n) { return (a.w[limbs(n) - 1] >> 31) != 0; }

void big_negate(Big& a, int n) {
  std::uint64_t carry = 1;
  for (int i = 0; i < limbs(n); ++i) {
    const std::uint64_t s = static_cast<std::uint64_t>(~a.w[i]) + carry;
    a.w[i] = static_cast<std::uint32_t>(s);
    carry = s >> 32;
  }
}

void big_add(Big& a, const Big& b, int n) {
  std::uint64_t carry = 0;
  for (int i = 0; i < limbs(n); ++i) {
    const std::uint64_t s = std::uint64_t{a.w[i]} + b.w[i] + carry;
    a.w[i] = static_cast<std::uint32_t>(s);
    carry = s >> 32;
  }
}

void big_sub(Big& a, const Big& b, int n) {
  std::uint64_t borrow = 0;
  for (int i = 0; i < limbs(n); ++i) {
    const std::uint64_t d = std::uint64_t{a.w[i]} - b.w[i] - borrow;
    a.w[i] = static_cast<std::uint32_t>(d);
    borrow = (d >> 32) != 0 ? 1 : 0;
  }
}

int big_compare(const Big& a, const Big& b, int n) {
  for (int i = limbs(n) - 1; i >= 0; --i) {
    if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
  }
  return 0;
}

void big_mul(Big& out, const Big& a, const Big& b, int n) {
  const int total = limbs(n);
  Big x = a, y = b;
  const bool negative = big_is_negative(x, n) != big_is_negative(y, n);
  if (big_is_negative(x, n)) big_negate(x, n);
  if (big_is_negative(y, n)) big_negate(y, n);
  // Full product, then the limbs from n up: the product's scale is 2^-64n.
  std::uint32_t p[2 * kMaxLimbs] = {};
  for (int i = 0; i < total; ++i) {
    if (x.w[i] == 0) continue;
    std::uint64_t carry = 0;
    for (int j = 0; j < total; ++j) {
      const std::uint64_t t = std::uint64_t{x.w[i]} * y.w[j] + p[i + j] + carry;
      p[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    for (int k = i + total; carry != 0 && k < 2 * total; ++k) {
      const std::uint64_t t = std::uint64_t{p[k]} + carry;
      p[k] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
  }
  for (int i = 0; i < total; ++i) out.w[i] = p[i + n];
  if (negative) big_negate(out, n);
}

void big_mul_small(Big& a, std::uint32_t k, int n) {
  const bool negative = big_is_negative(a, n);
  if (negative) big_negate(a, n);
  std::uint64_t carry = 0;
  for (int i = 0; i < limbs(n); ++i) {
    const std::uint64_t t = std::uint64_t{a.w[i]} * k + carry;
    a.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (negative) big_negate(a, n);
}

void big_div_small(Big& a, std::uint32_t k, int n) {
  const bool negative = big_is_negative(a, n);
  if (negative) big_negate(a, n);
  std::uint64_t rem = 0;
  for (int i = limbs(n) - 1; i >= 0; --i) {
    const std::uint64_t cur = (rem << 32) | a.w[i];
    a.w[i] = static_cast<std::uint32_t>(cur / k);
    rem = cur % k;
  }
  if (negative) big_negate(a, n);
}

void big_shift_left(Big& a, int bits, int n) {
  const int total = limbs(n);
  const int whole = bits / 32, part = bits % 32;
  for (int i = total - 1; i >= 0; --i) {
    const int src = i - whole;
    std::uint64_t v = src >= 0 ? std::uint64_t{a.w[src]} << part : 0;
    if (part != 0 && src - 1 >= 0) v |= a.w[src - 1] >> (32 - part);
    a.w[i] = static_cast<std::uint32_t>(v);
  }
}

void big_shift_right(Big& a, int bits, int n) {
  const bool negative = big_is_negative(a, n);
  if (negative) big_negate(a, n);
  const int total = limbs(n);
  for (int i = 0; i < total; ++i) a.w[i] = bits32(a, n, 32 * i + bits);
  if (negative) big_negate(a, n);
}

double big_to_double(const Big& a, int n) {
  Big m = a;
  const bool negative = big_is_negative(m, n);
  if (negative) big_negate(m, n);
  const int top = top_bit(m, n);
  if (top < 0) return 0;
  // The top 64 bits, as an integer times 2^(top - 63 - 32n).
  const std::uint64_t hi = (std::uint64_t{bits32(m, n, top - 31)} << 32) | bits32(m, n, top - 63);
  double v = static_cast<double>(hi >> 11);  // exact, 53 bits
  int e = top - 52 - 32 * n;
  while (e > 0) { v *= 2; --e; }
  while (e < 0) { v *= 0.5; ++e; }
  return negative ? -v : v;
}

bool big_round(const Big& v, int n, int scale, int err_log2, bool negative, double* out) {
  const int top = top_bit(v, n);  // weight 2^(top - 32n) in v's units
  const int exponent = top - 32 * n + scale;
  int keep = exponent >= -1022 ? 53 : exponent + 1075;
  if (exponent > 1023) {
    *out = negative ? -kInfinity : kInfinity;
    return true;
  }
  if (keep < 0) {  // below 2^-1076: rounds to zero, whatever the error
    *out = negative ? -0.0 : 0.0;
    return true;
  }
  // M: the kept bits; the rounding bit at position cut - 1.
  const int cut = top - keep + 1;
  std::uint64_t m = 0;
  for (int pos = top; pos >= cut; --pos) m = (m << 1) | (bit_at(v, n, pos) ? 1u : 0u);
  bool decided = false;
  bool up = false;
  const int err_pos = err_log2 + 32 * n < 0 ? 0 : err_log2 + 32 * n;
  if (cut - 1 < 0 || cut - 1 <= err_pos) {
    up = bit_at(v, n, cut - 1);
  } else {
    Big tail = v;
    clear_from(tail, n, cut);
    Big half{};
    big_zero(half, n);
    set_bit(half, cut - 1);
    up = big_compare(tail, half, n) > 0;
    Big diff = up ? tail : half;
    big_sub(diff, up ? half : tail, n);
    Big err{};
    big_zero(err, n);
    set_bit(err, err_pos);
    decided = big_compare(diff, err, n) > 0;
  }
  if (up) ++m;
  // m * 2^(exponent - keep + 1)
  std::uint64_t bits;
  if (keep == 53 || exponent >= -1022) {
    int e = exponent;
    if (m == (std::uint64_t{1} << 53)) {
      m >>= 1;
      ++e;
    }
    if (e > 1023) {
      *out = negative ? -kInfinity : kInfinity;
      return decided;
    }
    bits = (static_cast<std::uint64_t>(e + 1023) << 52) | (m & 0xFFFFFFFFFFFFFull);
  } else {
    bits = m;  // subnormal; a carry into bit 52 makes 2^-1022, as it should
  }
  if (negative) bits |= std::uint64_t{1} << 63;
  *out = std::bit_cast<double>(bits);
  return decided;
}

double round_exact(std::uint64_t m, int scale, bool negative) {
  if (m == 0) return negative ? -0.0 : 0.0;
  const int top = 63 - std::countl_zero(m);
  const int exponent = top + scale;
  if (exponent > 1023) return negative ? -kInfinity : kInfinity;
  const int keep = exponent >= -1022 ? 53 : exponent + 1075;
  if (keep < 0) return negative ? -0.0 : 0.0;
  const int cut = top - keep + 1;  // bits below cut are dropped
  std::uint64_t kept = cut > 0 ? m >> cut : m << -cut;
  if (cut > 0) {
    const std::uint64_t rest = m & ((std::uint64_t{1} << cut) - 1);
    const std::uint64_t half = std::uint64_t{1} << (cut - 1);
    if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  }
  std::uint64_t bits;
  if (exponent >= -1022) {
    int e = exponent;
    if (kept == (std::uint64_t{1} << 53)) {
      kept >>= 1;
      ++e;
    }
    if (e > 1023) return negative ? -kInfinity : kInfinity;
    bits = (static_cast<std::uint64_t>(e + 1023) << 52) | (kept & 0xFFFFFFFFFFFFFull);
  } else {
    bits = kept;
  }
  if (negative) bits |= std::uint64_t{1} << 63;
  return std::bit_cast<double>(bits);
}

}  // namespace crmath::detail
