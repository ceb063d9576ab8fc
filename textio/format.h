// Formats are written in the usual edit-descriptor notation and parsed at
// compile time, so a malformed format is a build error, not a run-time one:
//
//   constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
//
// Supported descriptors: 'text' (or "text"), Aw, Iw, Ew.d (each with an
// optional repeat count), kP (k of 0 or 1), TRn, / and $.
#pragma once

#include <cstddef>
#include <iterator>
#include <utility>

#include "textio/items.h"

namespace textio {

enum class Op : unsigned char { text, a, i, e, scale, tr, slash, dollar };

struct Descriptor {
  Op op = Op::text;
  short w = 0;    // field width of A, I, E; column count of TR
  short d = 0;    // digits after the point of E
  short k = 0;    // scale of P
  short at = 0;   // text: offset into the literal pool
  short len = 0;  // text: length
};

inline constexpr int kMaxDescriptors = 64;

// Bounds of Ew.d. Sixteen significant digits (d, plus one before the point
// with scale 1) are the most the digit generator makes, and already more than
// a 32-bit float carries; a wider field would add nothing but leading blanks,
// and 60 columns keep any E field inside one console line.
inline constexpr int kMaxEFraction = 15;
inline constexpr int kMaxEWidth = 60;
static_assert(kMaxEWidth >= 1 + 2 + kMaxEFraction + 4, "the widest digit count fits with sign, '0.' and exponent");

// A, I and E take an item each, of the kind below; the other descriptors only
// shape the record.
constexpr bool is_data_descriptor(Op op) { return op == Op::a || op == Op::i || op == Op::e; }
constexpr ItemKind item_kind(Op data_op) {
  return data_op == Op::a ? ItemKind::text : data_op == Op::i ? ItemKind::integer : ItemKind::real;
}

// What the non-template layer sees of a format.
struct FormatView {
  const Descriptor* desc;
  int count;
  const char* pool;
};

template <std::size_t N>
struct Format {
  Descriptor desc[kMaxDescriptors]{};
  int count = 0;
  char pool[N]{};
  int pool_len = 0;
  int data_count = 0;  // data descriptors after repeat expansion

  constexpr FormatView view() const { return {desc, count, pool}; }

  // The op of the data descriptor that takes item number `index`.
  constexpr Op data_op(int index) const {
    for (int j = 0; j < count; ++j) {
      if (is_data_descriptor(desc[j].op) && index-- == 0) return desc[j].op;
    }
    return Op::text;
  }
};

// Why a text is not a format. kFormatErrors below holds the message of each,
// in the same order.
enum class FormatError : unsigned char {
  none,
  not_open,
  not_closed,
  text_after_close,
  unterminated_text,
  too_many_descriptors,
  number_expected,
  number_too_large,
  sign_without_scale,
  sign_not_before_p,
  p_without_scale,
  unsupported_scale,
  zero_repeat,
  a_without_width,
  i_without_width,
  e_without_point,
  e_without_digits,
  e_too_wide,
  tr_with_repeat,
  unsupported_descriptor,
  count,  // not an error: the number of the ones above
};

struct FormatErrorEntry {
  FormatError error;
  const char* message;  // what the build failure says
};

inline constexpr FormatErrorEntry kFormatErrors[] = {
    {FormatError::none, ""},
    {FormatError::not_open, "format must start with '('"},
    {FormatError::not_closed, "format must end with ')'"},
    {FormatError::text_after_close, "text after the closing ')'"},
    {FormatError::unterminated_text, "unterminated text in format"},
    {FormatError::too_many_descriptors, "format has too many descriptors"},
    {FormatError::number_expected, "number expected in format"},
    {FormatError::number_too_large, "number too large in format"},
    {FormatError::sign_without_scale, "sign must be followed by a scale"},
    {FormatError::sign_not_before_p, "sign allowed only before P"},
    {FormatError::p_without_scale, "P needs a scale"},
    {FormatError::unsupported_scale, "only the scales 0P and 1P are supported"},
    {FormatError::zero_repeat, "repeat count must be at least 1"},
    {FormatError::a_without_width, "A needs a width of at least 1"},
    {FormatError::i_without_width, "I needs a width of at least 1"},
    {FormatError::e_without_point, "E needs w.d"},
    {FormatError::e_without_digits, "E needs at least one digit after the point"},
    {FormatError::e_too_wide, "E field too wide"},
    {FormatError::tr_with_repeat, "TR takes no repeat count"},
    {FormatError::unsupported_descriptor, "unsupported edit descriptor"},
};

// The longest message the build failure can show whole.
inline constexpr std::size_t kMaxFormatErrorMessage = 63;

// Each error at its own position, every one with a message that fits: an
// error added to the enum and not here, or here out of order, fails the build.
consteval bool format_errors_in_order() {
  if (std::size(kFormatErrors) != static_cast<std::size_t>(FormatError::count)) return false;
  for (std::size_t j = 0; j < std::size(kFormatErrors); ++j) {
    if (static_cast<std::size_t>(kFormatErrors[j].error) != j) return false;
    std::size_t length = 0;
    while (kFormatErrors[j].message[length] != '\0') ++length;
    if ((j > 0 && length == 0) || length > kMaxFormatErrorMessage) return false;
  }
  return true;
}
static_assert(format_errors_in_order(), "kFormatErrors lists every FormatError once, in the enum's order");

// A parse: the format, or why the text is not one.
template <std::size_t N>
struct ParsedFormat {
  Format<N> format{};
  FormatError error = FormatError::none;
};

namespace detail {

struct FormatCursor {
  const char* s;
  std::size_t n;
  std::size_t i = 0;

  constexpr char peek() const { return i < n ? s[i] : '\0'; }
  constexpr void skip_blanks() {
    while (i < n && s[i] == ' ') ++i;
  }
  constexpr bool digit() const { return peek() >= '0' && peek() <= '9'; }
  // Reads an unsigned number into v.
  constexpr FormatError number(int& v) {
    if (!digit()) return FormatError::number_expected;
    v = 0;
    while (digit()) {
      v = v * 10 + (s[i++] - '0');
      if (v > 9999) return FormatError::number_too_large;
    }
    return FormatError::none;
  }
  static constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
};

// Holds a message as a template argument, so that the compiler shows its text.
struct Why {
  char text[kMaxFormatErrorMessage + 1]{};
};
consteval Why why(const char* message) {
  Why w{};
  for (std::size_t j = 0; message[j] != '\0' && j + 1 < sizeof w.text; ++j) w.text[j] = message[j];
  return w;
}

// Not constexpr: format() calls it for a malformed format only, and a call to
// a function that is not constexpr during constant evaluation is what makes
// the build fail. The compiler shows the line of the call with the message,
// the template argument.
template <Why W>
void format_error() {}

// format_error with the message of `error`; nothing for none.
template <std::size_t... J>
constexpr void report_format_error(FormatError error, std::index_sequence<J...>) {
  ((error == kFormatErrors[J].error && error != FormatError::none ? format_error<why(kFormatErrors[J].message)>()
                                                                   : void()),
   ...);
}

}  // namespace detail

// The parse itself, usable in constant expressions; format() below is the
// form the programs use.
template <std::size_t N>
constexpr ParsedFormat<N> parse_format(const char (&text)[N]) {
  ParsedFormat<N> r{};
  Format<N>& f = r.format;
  detail::FormatCursor p{text, N - 1};
  auto fail = [&r](FormatError why) {
    r.error = why;
    return r;
  };
  auto push = [&f](Descriptor d) {
    if (f.count == kMaxDescriptors) return false;
    f.desc[f.count++] = d;
    if (is_data_descriptor(d.op)) ++f.data_count;
    return true;
  };
  constexpr FormatError kTooMany = FormatError::too_many_descriptors;

  p.skip_blanks();
  if (p.peek() != '(') return fail(FormatError::not_open);
  ++p.i;
  bool closed = false;
  while (p.i < p.n) {
    p.skip_blanks();
    char c = p.peek();
    if (c == ')') {
      ++p.i;
      closed = true;
      break;
    }
    if (c == ',') {
      ++p.i;
      continue;
    }
    if (c == '\'' || c == '"') {
      char quote = c;
      ++p.i;
      Descriptor d{};
      d.op = Op::text;
      d.at = short(f.pool_len);
      for (;;) {
        if (p.i >= p.n) return fail(FormatError::unterminated_text);
        char t = p.s[p.i++];
        if (t == quote) {
          if (p.peek() == quote) {
            ++p.i;  // doubled quote stands for one
          } else {
            break;
          }
        }
        f.pool[f.pool_len++] = t;
      }
      d.len = short(f.pool_len - d.at);
      if (!push(d)) return fail(kTooMany);
      continue;
    }
    if (c == '$') {
      ++p.i;
      if (!push(Descriptor{Op::dollar})) return fail(kTooMany);
      continue;
    }

    bool negative = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      ++p.i;
      if (!p.digit()) return fail(FormatError::sign_without_scale);
    }
    bool has_count = p.digit();
    int count = 1;
    if (has_count) {
      if (const FormatError why = p.number(count); why != FormatError::none) return fail(why);
    }
    char op = detail::FormatCursor::upper(p.peek());
    if (negative && op != 'P') return fail(FormatError::sign_not_before_p);
    if (op == '/') {
      ++p.i;
      for (int r = 0; r < count; ++r) {
        if (!push(Descriptor{Op::slash})) return fail(kTooMany);
      }
      continue;
    }
    ++p.i;
    if (op == 'P') {
      if (!has_count) return fail(FormatError::p_without_scale);
      int k = negative ? -count : count;
      if (k != 0 && k != 1) return fail(FormatError::unsupported_scale);
      Descriptor d{};
      d.op = Op::scale;
      d.k = short(k);
      if (!push(d)) return fail(kTooMany);
      continue;
    }
    if (count == 0) return fail(FormatError::zero_repeat);
    Descriptor d{};
    int w = 0;
    if (op == 'A' || op == 'I' || op == 'E') {
      d.op = op == 'A' ? Op::a : op == 'I' ? Op::i : Op::e;
      if (const FormatError why = p.number(w); why != FormatError::none) return fail(why);
      if (w == 0 && op == 'A') return fail(FormatError::a_without_width);
      if (w == 0 && op == 'I') return fail(FormatError::i_without_width);
      if (op == 'E') {
        if (p.peek() != '.') return fail(FormatError::e_without_point);
        ++p.i;
        int digits = 0;
        if (const FormatError why = p.number(digits); why != FormatError::none) return fail(why);
        if (digits == 0) return fail(FormatError::e_without_digits);
        if (w > kMaxEWidth || digits > kMaxEFraction) return fail(FormatError::e_too_wide);
        d.d = short(digits);
      }
    } else if (op == 'T' && detail::FormatCursor::upper(p.peek()) == 'R') {
      ++p.i;
      if (has_count) return fail(FormatError::tr_with_repeat);
      d.op = Op::tr;
      if (const FormatError why = p.number(w); why != FormatError::none) return fail(why);
    } else {
      return fail(FormatError::unsupported_descriptor);
    }
    d.w = short(w);
    for (int r = 0; r < count; ++r) {
      if (!push(d)) return fail(kTooMany);
    }
  }
  if (!closed) return fail(FormatError::not_closed);
  p.skip_blanks();
  if (p.i != p.n) return fail(FormatError::text_after_close);
  return r;
}

template <std::size_t N>
consteval Format<N> format(const char (&text)[N]) {
  const ParsedFormat<N> r = parse_format(text);
  detail::report_format_error(r.error, std::make_index_sequence<std::size(kFormatErrors)>{});
  return r.format;
}

}  // namespace textio
