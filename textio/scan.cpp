#include "textio/scan.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace textio {
namespace {

// 64-bit powers of ten, each the correctly rounded literal.
constexpr double kPow10[309] = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19,
    1e20, 1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29,
    1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37, 1e38, 1e39,
    1e40, 1e41, 1e42, 1e43, 1e44, 1e45, 1e46, 1e47, 1e48, 1e49,
    1e50, 1e51, 1e52, 1e53, 1e54, 1e55, 1e56, 1e57, 1e58, 1e59,
    1e60, 1e61, 1e62, 1e63, 1e64, 1e65, 1e66, 1e67, 1e68, 1e69,
    1e70, 1e71, 1e72, 1e73, 1e74, 1e75, 1e76, 1e77, 1e78, 1e79,
    1e80, 1e81, 1e82, 1e83, 1e84, 1e85, 1e86, 1e87, 1e88, 1e89,
    1e90, 1e91, 1e92, 1e93, 1e94, 1e95, 1e96, 1e97, 1e98, 1e99,
    1e100, 1e101, 1e102, 1e103, 1e104, 1e105, 1e106, 1e107, 1e108, 1e109,
    1e110, 1e111, 1e112, 1e113, 1e114, 1e115, 1e116, 1e117, 1e118, 1e119,
    1e120, 1e121, 1e122, 1e123, 1e124, 1e125, 1e126, 1e127, 1e128, 1e129,
    1e130, 1e131, 1e132, 1e133, 1e134, 1e135, 1e136, 1e137, 1e138, 1e139,
    1e140, 1e141, 1e142, 1e143, 1e144, 1e145, 1e146, 1e147, 1e148, 1e149,
    1e150, 1e151, 1e152, 1e153, 1e154, 1e155, 1e156, 1e157, 1e158, 1e159,
    1e160, 1e161, 1e162, 1e163, 1e164, 1e165, 1e166, 1e167, 1e168, 1e169,
    1e170, 1e171, 1e172, 1e173, 1e174, 1e175, 1e176, 1e177, 1e178, 1e179,
    1e180, 1e181, 1e182, 1e183, 1e184, 1e185, 1e186, 1e187, 1e188, 1e189,
    1e190, 1e191, 1e192, 1e193, 1e194, 1e195, 1e196, 1e197, 1e198, 1e199,
    1e200, 1e201, 1e202, 1e203, 1e204, 1e205, 1e206, 1e207, 1e208, 1e209,
    1e210, 1e211, 1e212, 1e213, 1e214, 1e215, 1e216, 1e217, 1e218, 1e219,
    1e220, 1e221, 1e222, 1e223, 1e224, 1e225, 1e226, 1e227, 1e228, 1e229,
    1e230, 1e231, 1e232, 1e233, 1e234, 1e235, 1e236, 1e237, 1e238, 1e239,
    1e240, 1e241, 1e242, 1e243, 1e244, 1e245, 1e246, 1e247, 1e248, 1e249,
    1e250, 1e251, 1e252, 1e253, 1e254, 1e255, 1e256, 1e257, 1e258, 1e259,
    1e260, 1e261, 1e262, 1e263, 1e264, 1e265, 1e266, 1e267, 1e268, 1e269,
    1e270, 1e271, 1e272, 1e273, 1e274, 1e275, 1e276, 1e277, 1e278, 1e279,
    1e280, 1e281, 1e282, 1e283, 1e284, 1e285, 1e286, 1e287, 1e288, 1e289,
    1e290, 1e291, 1e292, 1e293, 1e294, 1e295, 1e296, 1e297, 1e298, 1e299,
    1e300, 1e301, 1e302, 1e303, 1e304, 1e305, 1e306, 1e307, 1e308,
};

// The largest magnitude that still rounds to a finite 32-bit float, and half
// the smallest 32-bit denormal.
constexpr double kFloatOverflow = 3.4028235677973362e38;
constexpr double kFloatUnderflow = 7.006492321624087e-46;

// Digits beyond this many significant ones cannot change a 64-bit result;
// dropping them keeps absurdly long tokens from overflowing the accumulator.
constexpr int kMaxSignificant = 45;
constexpr int kMaxExponent = 99999;

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_sign(char c) { return c == '+' || c == '-'; }
constexpr bool is_exponent_letter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q';
}

double scale(double value, int p) {
  while (p > 308) {
    value *= kPow10[308];
    p -= 308;
  }
  while (p < -308) {
    value /= kPow10[308];
    p += 308;
  }
  return p >= 0 ? value * kPow10[p] : value / kPow10[-p];
}

}  // namespace

int split_repeat(std::string_view token, std::int32_t* count, std::string_view* rest) {
  const auto star = token.find('*');
  if (star == std::string_view::npos) {
    *count = 0;
    return 0;
  }
  if (star == 0) return kMsgInputConversion;
  std::int64_t r = 0;
  for (std::size_t j = 0; j < star; ++j) {
    if (!is_digit(token[j])) return kMsgInputConversion;
    r = r * 10 + (token[j] - '0');
    if (r > INT32_MAX) return kMsgInputConversion;
  }
  if (r == 0) return kMsgInputConversion;
  *count = static_cast<std::int32_t>(r);
  *rest = token.substr(star + 1);
  return 0;
}

bool logical_value(std::string_view token, bool* value) {
  std::size_t at = (!token.empty() && token[0] == '.') ? 1 : 0;
  if (at >= token.size()) return false;
  char c = token[at];
  if (c == 'T' || c == 't' || c == 'F' || c == 'f') {
    *value = c == 'T' || c == 't';
    return true;
  }
  return false;
}

int scan_number(std::string_view token, bool* integer_form) {
  bool any_digit = false, point = false, exponent = false;
  bool after_sign = false;    // the previous character was a sign
  bool sign_pending = false;  // a sign has not yet been followed by a digit
  for (char c : token) {
    if (is_digit(c)) {
      any_digit = true;
      after_sign = false;
      sign_pending = false;
    } else if (is_sign(c)) {
      if (after_sign) return kMsgSyntax;
      after_sign = true;
      sign_pending = true;
    } else if (c == '.') {
      if (point) return kMsgSyntax;
      point = true;
      after_sign = false;
    } else if (is_exponent_letter(c)) {
      if (exponent || !any_digit || after_sign) return kMsgSyntax;
      exponent = true;
    } else {
      return kMsgSyntax;
    }
  }
  if (sign_pending || !any_digit) return kMsgSyntax;
  *integer_form = !point && !exponent;
  return 0;
}

int convert_real(std::string_view token, double* value) {
  std::size_t i = 0;
  const std::size_t n = token.size();
  bool negative = false;
  if (i < n && is_sign(token[i])) negative = token[i++] == '-';

  double acc = 0.0;
  std::uint32_t group = 0;
  int group_len = 0;
  int significant = 0;
  int point_shift = 0;  // power of ten that the point position and dropped digits call for
  bool any_digit = false, point = false;
  for (; i < n; ++i) {
    char c = token[i];
    if (c == '.') {
      if (point) return kMsgInputConversion;
      point = true;
      continue;
    }
    if (!is_digit(c)) break;
    any_digit = true;
    int digit = c - '0';
    if (significant == 0 && digit == 0) {
      if (point) --point_shift;
      continue;
    }
    if (significant < kMaxSignificant) {
      group = group * 10 + static_cast<std::uint32_t>(digit);
      ++significant;
      if (++group_len == 9) {
        acc = acc * 1e9 + group;
        group = 0;
        group_len = 0;
      }
      if (point) --point_shift;
    } else if (!point) {
      ++point_shift;
    }
  }
  if (group_len > 0) acc = acc * kPow10[group_len] + group;
  if (!any_digit) return kMsgInputConversion;

  int exponent = 0;
  if (i < n) {
    bool letter = is_exponent_letter(token[i]);
    if (letter) ++i;
    bool exp_negative = false;
    bool signed_exp = i < n && is_sign(token[i]);
    if (signed_exp) exp_negative = token[i++] == '-';
    if (!letter && !signed_exp) return kMsgInputConversion;
    if (i == n && signed_exp) return kMsgInputConversion;
    for (; i < n; ++i) {
      if (!is_digit(token[i])) return kMsgInputConversion;
      if (exponent < kMaxExponent) exponent = exponent * 10 + (token[i] - '0');
    }
    if (exp_negative) exponent = -exponent;
  }

  double result = acc == 0.0 ? 0.0 : scale(acc, exponent + point_shift);
  *value = negative ? -result : result;
  return 0;
}

int convert_float(std::string_view token, float* value) {
  double v;
  if (int status = convert_real(token, &v)) return status;
  double magnitude = std::fabs(v);
  if (magnitude > kFloatOverflow) return kMsgInputConversion;
  if (magnitude < kFloatUnderflow) {
    *value = std::signbit(v) ? -0.0f : 0.0f;
    return 0;
  }
  *value = static_cast<float>(v);
  return 0;
}

int convert_integer(std::string_view token, std::int32_t* value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && is_sign(token[i])) negative = token[i++] == '-';
  if (i == token.size()) return kMsgInputConversion;
  std::int64_t magnitude = 0;
  for (; i < token.size(); ++i) {
    if (!is_digit(token[i])) return kMsgInputConversion;
    magnitude = magnitude * 10 + (token[i] - '0');
    if (magnitude > std::int64_t{INT32_MAX} + 1) return kMsgInputConversion;
  }
  std::int64_t v = negative ? -magnitude : magnitude;
  if (v > INT32_MAX) return kMsgInputConversion;
  *value = static_cast<std::int32_t>(v);
  return 0;
}

int convert_integer_real(std::string_view token, std::int32_t* value) {
  double v;
  if (int status = convert_real(token, &v)) return status;
  // The truncation is defined only inside the range; NaN fails both tests.
  if (!(v > -2147483649.0 && v < 2147483648.0)) return kMsgInputConversion;
  *value = static_cast<std::int32_t>(v);
  return 0;
}

void fill_text(std::string_view line, char* field, int length, int width) {
  const std::size_t have = std::min(line.size(), static_cast<std::size_t>(width));
  if (width >= length) {
    const std::size_t skip = static_cast<std::size_t>(width - length);
    for (std::size_t j = 0; j < static_cast<std::size_t>(length); ++j) {
      field[j] = skip + j < have ? line[skip + j] : ' ';
    }
  } else {
    if (have > 0) std::memcpy(field, line.data(), have);
    std::memset(field + have, ' ', static_cast<std::size_t>(length) - have);
  }
}

namespace {

// A value token given for a numeric item: 0 or the message number.
int assign(const InItem& item, std::string_view token) {
  if (is_quoted(token)) return kMsgInputConversion;
  bool truth;
  if (logical_value(token, &truth)) {
    if (item.kind == ItemKind::real) {
      *static_cast<float*>(item.p) = truth ? -1.0f : 0.0f;
    } else {
      *static_cast<std::int32_t*>(item.p) = truth ? -1 : 0;
    }
    return 0;
  }
  bool integer_form = false;
  if (scan_number(token, &integer_form) != 0) return kMsgSyntax;
  if (item.kind == ItemKind::real) {
    float v;
    if (convert_float(token, &v) != 0) return kMsgInputConversion;
    *static_cast<float*>(item.p) = v;
    return 0;
  }
  std::int32_t v;
  const int status = integer_form ? convert_integer(token, &v) : convert_integer_real(token, &v);
  if (status != 0) return status;
  *static_cast<std::int32_t*>(item.p) = v;
  return 0;
}

}  // namespace

int read_list_from(LineSource& lines, const InItem* items, int count) {
  std::string_view line;
  if (int status = lines.next(&line)) return status;
  std::size_t pos = 0;
  bool after_value = false;  // a comma now only separates
  std::int32_t repeat_left = 0;
  std::string_view repeat_value;  // empty for the null repeat r*
  for (int j = 0; j < count; ++j) {
    if (repeat_left > 0) {
      --repeat_left;
      if (!repeat_value.empty()) {
        if (int status = assign(items[j], repeat_value)) return status;
      }
      continue;
    }
    for (;;) {
      while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
      if (pos == line.size()) {
        // The end of a line counts as a blank: go on with the next one.
        if (int status = lines.next(&line)) return status;
        pos = 0;
        continue;
      }
      const char c = line[pos];
      if (c == ',') {
        ++pos;
        if (after_value) {
          after_value = false;
          continue;
        }
        break;  // a null value: the item keeps its value
      }
      if (c == '/') return 0;  // this item and all later ones keep their values
      const std::size_t start = pos;
      while (pos < line.size() && !is_value_end(line[pos])) ++pos;
      const std::string_view token = line.substr(start, pos - start);
      if (token.empty()) return kMsgSyntax;  // an unmatched right parenthesis
      after_value = true;
      std::int32_t repeat = 0;
      std::string_view value = token;
      if (!is_quoted(token) && split_repeat(token, &repeat, &value) != 0) return kMsgInputConversion;
      if (repeat > 0) {
        repeat_left = repeat - 1;
        repeat_value = value;
        if (value.empty()) break;
      }
      if (int status = assign(items[j], value)) return status;
      break;
    }
  }
  return 0;
}

}  // namespace textio
