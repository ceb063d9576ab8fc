#include "radomeview/decimal.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace radomeview {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

// True when [p, last) starts with the word, in any case.
bool starts_with_word(const char* p, const char* last, const char* word) {
  for (; *word != '\0'; ++p, ++word) {
    if (p == last || lower(*p) != *word) return false;
  }
  return true;
}

// A non-negative integer, 32-bit limbs, least significant first.
class Big {
 public:
  explicit Big(std::uint32_t v = 0) { if (v != 0) limbs_.push_back(v); }

  void multiply_add(std::uint32_t m, std::uint32_t add) {
    std::uint64_t carry = add;
    for (std::uint32_t& l : limbs_) {
      const std::uint64_t t = std::uint64_t{l} * m + carry;
      l = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  void multiply_power10(int n) {
    for (; n >= 9; n -= 9) multiply_add(1000000000u, 0);
    static constexpr std::uint32_t kSmall[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    if (n > 0) multiply_add(kSmall[n], 0);
  }

  void shift_left(int bits) {
    if (limbs_.empty() || bits == 0) return;
    const int whole = bits / 32, part = bits % 32;
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& l : limbs_) {
        const std::uint32_t next = l >> (32 - part);
        l = l << part | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), static_cast<std::size_t>(whole), 0u);
  }

  void shift_right_one() {
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      const std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] << 31 : 0;
      limbs_[i] = limbs_[i] >> 1 | high;
    }
    trim();
  }

  int bit_length() const {
    if (limbs_.empty()) return 0;
    return static_cast<int>(limbs_.size() - 1) * 32 + (32 - std::countl_zero(limbs_.back()));
  }

  bool is_zero() const { return limbs_.empty(); }

  // *this >= o
  bool at_least(const Big& o) const {
    if (limbs_.size() != o.limbs_.size()) return limbs_.size() > o.limbs_.size();
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      if (limbs_[i] != o.limbs_[i]) return limbs_[i] > o.limbs_[i];
    }
    return true;
  }

  // *this -= o, with *this >= o
  void subtract(const Big& o) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t t = std::int64_t{limbs_[i]} - borrow - (i < o.limbs_.size() ? std::int64_t{o.limbs_[i]} : 0);
      borrow = t < 0 ? 1 : 0;
      limbs_[i] = static_cast<std::uint32_t>(t + (borrow << 32));
    }
    trim();
  }

 private:
  void trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }
  std::vector<std::uint32_t> limbs_;
};

// More significant digits than this cannot change the rounding of a double
// (767 can); the rest only tell whether anything follows.
constexpr std::size_t kMaxDigits = 800;

// Powers of ten that doubles hold exactly.
constexpr double kExact10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The significant digits of a number, the first nonzero on, as many as can
// matter; kept in place rather than allocated.
class Digits {
 public:
  bool empty() const { return size_ == 0; }
  bool full() const { return size_ == kMaxDigits; }
  void push(char c) { text_[size_++] = c; }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[kMaxDigits];
  std::size_t size_ = 0;
};

// digits × 10^exp10, digits without leading zeros and not empty; sticky when
// nonzero digits were dropped after them.
double to_double(std::string_view digits, long long exp10, bool sticky) {
  const long long n = static_cast<long long>(digits.size());
  if (exp10 + n - 1 > 309) return HUGE_VAL;  // at least 1e310
  if (exp10 + n < -324) return 0;            // below 1e-325, under half the least double
  if (!sticky && n <= 15 && exp10 >= -22 && exp10 <= 22) {
    std::uint64_t d = 0;
    for (char c : digits) d = d * 10 + static_cast<std::uint64_t>(c - '0');
    const double v = static_cast<double>(d);  // exact: below 2^53
    return exp10 >= 0 ? v * kExact10[exp10] : v / kExact10[-exp10];
  }
  // value = num / den exactly; q = floor(num * 2^s / den) in [2^62, 2^64).
  Big num, den(1);
  std::size_t i = 0;
  for (; i + 9 <= digits.size(); i += 9) {
    std::uint32_t chunk = 0;
    for (std::size_t j = i; j < i + 9; ++j) chunk = chunk * 10 + static_cast<std::uint32_t>(digits[j] - '0');
    num.multiply_add(1000000000u, chunk);
  }
  for (; i < digits.size(); ++i) num.multiply_add(10, static_cast<std::uint32_t>(digits[i] - '0'));
  if (exp10 >= 0) {
    num.multiply_power10(static_cast<int>(exp10));
  } else {
    den.multiply_power10(static_cast<int>(-exp10));
  }
  const int s = 63 - (num.bit_length() - den.bit_length());
  if (s >= 0) {
    num.shift_left(s);
  } else {
    den.shift_left(-s);
  }
  den.shift_left(63);
  std::uint64_t q = 0;
  for (int bit = 63; bit >= 0; --bit) {
    if (num.at_least(den)) {
      num.subtract(den);
      q |= std::uint64_t{1} << bit;
    }
    den.shift_right_one();
  }
  sticky = sticky || !num.is_zero();

  // Round q to the bits the double keeps at its binary exponent: 53, fewer
  // below the normal range.
  const int b = 64 - std::countl_zero(q);
  const int e = b - 1 - s;  // value in [2^e, 2^(e+1))
  const int keep = e >= -1022 ? 53 : e + 1075;
  if (keep < 0) return 0;  // below half the least double
  const int drop = b - keep;
  const std::uint64_t kept = drop >= 64 ? 0 : q >> drop;
  const std::uint64_t rest = drop >= 64 ? q : q - (kept << drop);
  const std::uint64_t half = std::uint64_t{1} << (drop - 1);
  const bool up = rest > half || (rest == half && (sticky || (kept & 1) != 0));
  return std::ldexp(static_cast<double>(kept + (up ? 1 : 0)), drop - s);
}

}  // namespace

std::from_chars_result read_decimal(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  const double sign = negative ? -1.0 : 1.0;

  if (starts_with_word(p, last, "inf")) {
    p += starts_with_word(p, last, "infinity") ? 8 : 3;
    value = sign * std::numeric_limits<double>::infinity();
    return {p, std::errc()};
  }
  if (starts_with_word(p, last, "nan")) {
    p += 3;
    if (p != last && *p == '(') {  // nan(n-char-sequence)
      const char* q = p + 1;
      while (q != last && (is_digit(*q) || (lower(*q) >= 'a' && lower(*q) <= 'z') || *q == '_')) ++q;
      if (q != last && *q == ')') p = q + 1;
    }
    value = std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    return {p, std::errc()};
  }

  Digits digits;
  long long exp10 = 0;
  bool sticky = false, any = false;
  for (; p != last && is_digit(*p); ++p) {
    any = true;
    if (digits.empty() && *p == '0') continue;
    if (!digits.full()) {
      digits.push(*p);
    } else {
      ++exp10;
      sticky = sticky || *p != '0';
    }
  }
  if (p != last && *p == '.') {
    const char* after = p + 1;
    if (any || (after != last && is_digit(*after))) {
      for (p = after; p != last && is_digit(*p); ++p) {
        any = true;
        if (digits.empty() && *p == '0') {
          --exp10;
        } else if (!digits.full()) {
          digits.push(*p);
          --exp10;
        } else {
          sticky = sticky || *p != '0';
        }
      }
    }
  }
  if (!any) return {first, std::errc::invalid_argument};
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool minus = q != last && *q == '-';
    if (q != last && (*q == '-' || *q == '+')) ++q;
    if (q != last && is_digit(*q)) {
      long long e = 0;
      for (; q != last && is_digit(*q); ++q) {
        if (e < 100000000) e = e * 10 + (*q - '0');  // far past any double either way
      }
      exp10 += minus ? -e : e;
      p = q;
    }
  }
  if (digits.empty()) {
    value = sign * 0.0;
    return {p, std::errc()};
  }
  const double magnitude = to_double(digits.view(), exp10, sticky);
  if (magnitude == 0 || std::isinf(magnitude)) return {p, std::errc::result_out_of_range};
  value = sign * magnitude;
  return {p, std::errc()};
}

namespace {

// std::from_chars for T where the library has it (a deleted one does not count).
template <class T>
concept LibraryReadsFloats = requires(const char* p, T& v) { std::from_chars(p, p, v); };

template <class T>
std::from_chars_result parse(const char* first, const char* last, T& value) {
  if constexpr (LibraryReadsFloats<T>) {
    return std::from_chars(first, last, value);
  } else {
    return read_decimal(first, last, value);
  }
}

}  // namespace

std::from_chars_result parse_double(const char* first, const char* last, double& value) {
  return parse(first, last, value);
}

}  // namespace radomeview
