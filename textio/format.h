// Formats are written in the usual edit-descriptor notation and parsed at
// compile time, so a malformed format is a build error, not a run-time one:
//
//   constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
//
// Supported descriptors: 'text' (or "text"), Aw, Iw, Ew.d (each with an
// optional repeat count), kP (k of 0 or 1), TRn, / and $.
#pragma once

#include <cstddef>

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
  int data_count = 0;  // A, I and E descriptors after repeat expansion

  constexpr FormatView view() const { return {desc, count, pool}; }

  // The op of the data descriptor that takes item number `index`.
  constexpr Op data_op(int index) const {
    for (int j = 0; j < count; ++j) {
      Op op = desc[j].op;
      if (op == Op::a || op == Op::i || op == Op::e) {
        if (index == 0) return op;
        --index;
      }
    }
    return Op::text;
  }
};

namespace detail {

// Reached only when a format is malformed; evaluating a throw makes the
// consteval call ill-formed, so the message shows up in the build error.
inline void format_error(const char* why) { throw why; }

struct FormatParser {
  const char* s;
  std::size_t n;
  std::size_t i = 0;

  constexpr char peek() const { return i < n ? s[i] : '\0'; }
  constexpr void skip_blanks() {
    while (i < n && s[i] == ' ') ++i;
  }
  constexpr bool digit() const { return peek() >= '0' && peek() <= '9'; }
  constexpr int number() {
    if (!digit()) format_error("number expected in format");
    int v = 0;
    while (digit()) {
      v = v * 10 + (s[i++] - '0');
      if (v > 9999) format_error("number too large in format");
    }
    return v;
  }
  static constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
};

}  // namespace detail

template <std::size_t N>
consteval Format<N> format(const char (&text)[N]) {
  Format<N> f{};
  detail::FormatParser p{text, N - 1};
  auto push = [&f](Descriptor d) {
    if (f.count == kMaxDescriptors) detail::format_error("format has too many descriptors");
    f.desc[f.count++] = d;
    if (d.op == Op::a || d.op == Op::i || d.op == Op::e) ++f.data_count;
  };

  p.skip_blanks();
  if (p.peek() != '(') detail::format_error("format must start with '('");
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
        if (p.i >= p.n) detail::format_error("unterminated text in format");
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
      push(d);
      continue;
    }
    if (c == '$') {
      ++p.i;
      push(Descriptor{Op::dollar});
      continue;
    }

    bool negative = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      ++p.i;
      if (!p.digit()) detail::format_error("sign must be followed by a scale");
    }
    bool has_count = p.digit();
    int count = has_count ? p.number() : 1;
    char op = detail::FormatParser::upper(p.peek());
    if (negative && op != 'P') detail::format_error("sign allowed only before P");
    if (op == '/') {
      ++p.i;
      for (int r = 0; r < count; ++r) push(Descriptor{Op::slash});
      continue;
    }
    ++p.i;
    if (op == 'P') {
      if (!has_count) detail::format_error("P needs a scale");
      int k = negative ? -count : count;
      if (k != 0 && k != 1) detail::format_error("only the scales 0P and 1P are supported");
      Descriptor d{};
      d.op = Op::scale;
      d.k = short(k);
      push(d);
      continue;
    }
    if (count == 0) detail::format_error("repeat count must be at least 1");
    Descriptor d{};
    if (op == 'A') {
      d.op = Op::a;
      d.w = short(p.number());
      if (d.w == 0) detail::format_error("A needs a width of at least 1");
    } else if (op == 'I') {
      d.op = Op::i;
      d.w = short(p.number());
      if (d.w == 0) detail::format_error("I needs a width of at least 1");
    } else if (op == 'E') {
      d.op = Op::e;
      d.w = short(p.number());
      if (p.peek() != '.') detail::format_error("E needs w.d");
      ++p.i;
      d.d = short(p.number());
      if (d.d == 0) detail::format_error("E needs at least one digit after the point");
      if (d.w > 60 || d.d > 15) detail::format_error("E field too wide");
    } else if (op == 'T' && detail::FormatParser::upper(p.peek()) == 'R') {
      ++p.i;
      if (has_count) detail::format_error("TR takes no repeat count");
      d.op = Op::tr;
      d.w = short(p.number());
    } else {
      detail::format_error("unsupported edit descriptor");
    }
    for (int r = 0; r < count; ++r) push(d);
  }
  if (!closed) detail::format_error("format must end with ')'");
  p.skip_blanks();
  if (p.i != p.n) detail::format_error("text after the closing ')'");
  return f;
}

}  // namespace textio
