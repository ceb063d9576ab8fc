// A slow, exact reference for the output conversions: the full decimal
// expansion of a 32-bit float by schoolbook big-number arithmetic, rounded
// half to even on that exact value, laid out with plain std::string code.
// Nothing here shares code with the layer's fast path.
#pragma once

#include <bit>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace reference {

// value = 0.digits * 10^exponent, digits without leading zeros.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// Big numbers as little-endian base-10^9 limbs.
using Limbs = std::vector<std::uint64_t>;
constexpr std::uint64_t kBase = 1000000000;

inline Limbs limbs_of(std::uint64_t m) {
  Limbs d;
  for (; m != 0; m /= kBase) d.push_back(m % kBase);
  return d;
}

inline void multiply(Limbs& d, std::uint64_t factor) {  // factor below 2^32
  std::uint64_t carry = 0;
  for (std::uint64_t& x : d) {
    std::uint64_t p = x * factor + carry;
    x = p % kBase;
    carry = p / kBase;
  }
  for (; carry != 0; carry /= kBase) d.push_back(carry % kBase);
}

inline std::string decimal_string(const Limbs& d) {
  std::string s = std::to_string(d.back());
  for (auto it = d.rbegin() + 1; it != d.rend(); ++it) {
    std::string part = std::to_string(*it);
    s.append(9 - part.size(), '0');
    s += part;
  }
  return s;
}

// The exact value of a positive finite float.
inline Decimal exact(float v) {
  const auto bits = std::bit_cast<std::uint32_t>(v);
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  std::uint64_t m = bits & 0x7FFFFF;
  int e2 = -149;
  if (biased != 0) {
    m |= 0x800000;
    e2 = biased - 150;
  }
  Limbs d = limbs_of(m);
  Decimal r;
  if (e2 >= 0) {
    for (int j = 0; j < e2; j += 16) multiply(d, std::uint64_t{1} << std::min(16, e2 - j));
    r.digits = decimal_string(d);
    r.exponent = static_cast<int>(r.digits.size());
  } else {
    // m * 2^e2 = m * 5^-e2 / 10^-e2
    for (int j = 0; j < -e2; j += 13) {
      std::uint64_t f = 1;
      for (int t = 0; t < std::min(13, -e2 - j); ++t) f *= 5;
      multiply(d, f);
    }
    r.digits = decimal_string(d);
    r.exponent = static_cast<int>(r.digits.size()) + e2;
  }
  while (r.digits.size() > 1 && r.digits.back() == '0') r.digits.pop_back();
  return r;
}

// Rounded half to even to n significant digits.
inline Decimal round(const Decimal& x, int n) {
  Decimal r = x;
  if (static_cast<int>(r.digits.size()) <= n) {
    r.digits.append(static_cast<std::size_t>(n) - r.digits.size(), '0');
    return r;
  }
  const char next = r.digits[static_cast<std::size_t>(n)];
  bool rest_nonzero = false;
  for (std::size_t j = static_cast<std::size_t>(n) + 1; j < r.digits.size(); ++j) rest_nonzero |= r.digits[j] != '0';
  r.digits.resize(static_cast<std::size_t>(n));
  const bool odd = (r.digits.back() - '0') % 2 == 1;
  const bool up = next > '5' || (next == '5' && (rest_nonzero || odd));
  if (up) {
    int j = n - 1;
    while (j >= 0 && r.digits[static_cast<std::size_t>(j)] == '9') r.digits[static_cast<std::size_t>(j--)] = '0';
    if (j < 0) {
      r.digits.assign(static_cast<std::size_t>(n), '0');
      r.digits[0] = '1';
      ++r.exponent;
    } else {
      ++r.digits[static_cast<std::size_t>(j)];
    }
  }
  return r;
}

inline std::string right(const std::string& s, int w) {
  if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

inline std::string exponent_text(int e) {
  std::string s = e < 0 ? "E-" : "E+";
  int a = e < 0 ? -e : e;
  s += static_cast<char>('0' + a / 10);
  s += static_cast<char>('0' + a % 10);
  return s;
}

inline std::string special(float x, int w) {
  const auto bits = std::bit_cast<std::uint32_t>(x);
  std::string t = (bits & 0x7FFFFF) != 0 ? "NaN" : ((bits >> 31) != 0 ? "-Infinity" : "Infinity");
  if (1 + static_cast<int>(t.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  std::string s = " " + t;
  return s + std::string(static_cast<std::size_t>(w) - s.size(), ' ');
}

// Ew.d with scale k (0 or 1).
inline std::string e_field(float x, int w, int d, int k) {
  if (std::isnan(x) || std::isinf(x)) return special(x, w);
  if (x == 0.0f) {
    std::string body = "0." + std::string(static_cast<std::size_t>(d), '0') + "E+00";
    if (static_cast<int>(body.size()) > w) body = body.substr(1);
    return right(body, w);
  }
  const bool negative = x < 0;
  const Decimal r = round(exact(negative ? -x : x), k == 0 ? d : d + 1);
  std::string sign = negative ? "-" : "";
  if (k == 0) {
    std::string body = "0." + r.digits + exponent_text(r.exponent);
    if (static_cast<int>(sign.size() + body.size()) > w) body = body.substr(1);
    return right(sign + body, w);
  }
  std::string body = r.digits.substr(0, 1) + "." + r.digits.substr(1) + exponent_text(r.exponent - 1);
  return right(sign + body, w);
}

// The free-form float field.
inline std::string list_float(float x) {
  if (std::isnan(x) || std::isinf(x)) return special(x, 15);
  if (x == 0.0f) return "  0.0000000E+00";
  const bool negative = x < 0;
  const Decimal r = round(exact(negative ? -x : x), 7);
  if (r.exponent >= 0 && r.exponent <= 7) {
    const std::size_t i = static_cast<std::size_t>(r.exponent);
    std::string s = negative ? "-" : "";
    s += i == 0 ? "0" : r.digits.substr(0, i);
    s += '.';
    s += r.digits.substr(i);
    return right(s, 11) + "    ";
  }
  return e_field(x, 15, 7, 1);
}

}  // namespace reference
