#include "textio/input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "textio/failure.h"
#include "textio/scan.h"

namespace textio {
namespace {

constexpr std::size_t kAheadSize = 64 * 1024;
constexpr std::size_t kInitialLine = 256;

// One byte of the unit's stream: 1, 0 at end of data, -1 on error.
int read_byte(Unit& u, char* c, int* sys_error) {
  LineBuffer& in = u.input;
  if (u.byte_reads) {
    for (;;) {
      ssize_t n = ::read(u.fd, c, 1);
      if (n >= 0) return static_cast<int>(n);
      if (errno == EINTR) continue;
      *sys_error = errno;
      return -1;
    }
  }
  if (in.ahead_at == in.ahead_end) {
    if (in.ahead.empty()) {
      try {
        in.ahead.resize(kAheadSize);
      } catch (const std::bad_alloc&) {
        fail(kMsgRecordTooLong, u.number);
      }
    }
    for (;;) {
      ssize_t n = ::read(u.fd, in.ahead.data(), in.ahead.size());
      if (n == 0) return 0;
      if (n > 0) {
        in.ahead_at = 0;
        in.ahead_end = static_cast<int>(n);
        break;
      }
      if (errno == EINTR) continue;
      *sys_error = errno;
      return -1;
    }
  }
  *c = in.ahead[static_cast<std::size_t>(in.ahead_at++)];
  return 1;
}

void append(Unit& u, char c) {
  LineBuffer& in = u.input;
  if (static_cast<std::size_t>(in.length) == in.line.size()) {
    try {
      in.line.resize(in.line.empty() ? kInitialLine : in.line.size() * 2);
    } catch (const std::bad_alloc&) {
      fail(kMsgRecordTooLong, u.number);
    } catch (const std::length_error&) {
      fail(kMsgRecordTooLong, u.number);
    }
  }
  in.line[static_cast<std::size_t>(in.length++)] = c;
}

// A statement's fetch: end of file and read errors end the run.
void fetch(Unit& u) {
  int err = 0;
  switch (next_line(u, &err)) {
    case LineStatus::ok:
      return;
    case LineStatus::end_of_file:
      fail(kMsgEndOfFile, u.number);
    case LineStatus::error:
      fail(kMsgReadError, u.number, err);
  }
}

// A value token given for a numeric item.
void assign(const Unit& u, const InItem& item, std::string_view token) {
  if (is_quoted(token)) fail(kMsgInputConversion, u.number);
  bool truth;
  if (logical_value(token, &truth)) {
    if (item.kind == ItemKind::real) {
      *static_cast<float*>(item.p) = truth ? -1.0f : 0.0f;
    } else {
      *static_cast<std::int32_t*>(item.p) = truth ? -1 : 0;
    }
    return;
  }
  bool integer_form = false;
  if (scan_number(token, &integer_form) != 0) fail(kMsgSyntax, u.number);
  int status;
  if (item.kind == ItemKind::real) {
    float v;
    status = convert_float(token, &v);
    if (status == 0) *static_cast<float*>(item.p) = v;
  } else {
    std::int32_t v;
    status = integer_form ? convert_integer(token, &v) : convert_integer_real(token, &v);
    if (status == 0) *static_cast<std::int32_t*>(item.p) = v;
  }
  if (status != 0) fail(kMsgInputConversion, u.number);
}

}  // namespace

LineStatus next_line(Unit& u, int* sys_error) {
  if (u.console_input) show_pending_prompt();
  LineBuffer& in = u.input;
  in.length = 0;
  in.pos = 0;
  bool any = false;
  bool ended = false;
  for (;;) {
    char c;
    int got = read_byte(u, &c, sys_error);
    if (got < 0) return LineStatus::error;
    if (got == 0) break;
    any = true;
    if (c == '\n') {
      ended = true;
      break;
    }
    append(u, c);
  }
  if (!any) return LineStatus::end_of_file;
  if (ended && in.length > 0 && in.line[static_cast<std::size_t>(in.length - 1)] == '\r') --in.length;
  if (in.length == 1 && in.line[0] == '\x1A') return LineStatus::end_of_file;
  return LineStatus::ok;
}

std::string_view current_line(const Unit& u) {
  return {u.input.line.data(), static_cast<std::size_t>(u.input.length)};
}

void read_list_items(int number, const InItem* items, int count) {
  Unit& u = acquire_unit(number);
  fetch(u);
  LineBuffer& in = u.input;
  bool after_value = false;  // a comma now only separates
  int repeat_left = 0;
  std::string_view repeat_value;  // empty for the null repeat r*
  for (int j = 0; j < count; ++j) {
    if (repeat_left > 0) {
      --repeat_left;
      if (!repeat_value.empty()) assign(u, items[j], repeat_value);
      continue;
    }
    for (;;) {
      const char* line = in.line.data();
      while (in.pos < in.length && (line[in.pos] == ' ' || line[in.pos] == '\t')) ++in.pos;
      if (in.pos == in.length) {
        fetch(u);  // the end of a line counts as a blank
        continue;
      }
      const char c = line[in.pos];
      if (c == ',') {
        ++in.pos;
        if (after_value) {
          after_value = false;
          continue;
        }
        break;  // null value: the item keeps its value
      }
      if (c == '/') return;  // this item and all later ones keep their values
      const int start = in.pos;
      while (in.pos < in.length && !is_value_end(line[in.pos])) ++in.pos;
      std::string_view token(line + start, static_cast<std::size_t>(in.pos - start));
      if (token.empty()) fail(kMsgSyntax, u.number);  // an unmatched right parenthesis
      after_value = true;
      std::int32_t repeat = 0;
      std::string_view value = token;
      if (!is_quoted(token) && split_repeat(token, &repeat, &value) != 0) fail(kMsgInputConversion, u.number);
      if (repeat > 0) {
        repeat_left = repeat - 1;
        repeat_value = value;
        if (!value.empty()) assign(u, items[j], value);
      } else {
        assign(u, items[j], token);
      }
      break;
    }
  }
}

void read_text_field(int number, char* field, int length, int width) {
  Unit& u = acquire_unit(number);
  fetch(u);
  std::string_view line = current_line(u);
  const int have = std::min(static_cast<int>(line.size()), width);
  if (width >= length) {
    // The rightmost `length` characters of the w-column field.
    const int skip = width - length;
    for (int j = 0; j < length; ++j) {
      const int at = skip + j;
      field[j] = at < have ? line[static_cast<std::size_t>(at)] : ' ';
    }
  } else {
    std::memcpy(field, line.data(), static_cast<std::size_t>(have));
    std::memset(field + have, ' ', static_cast<std::size_t>(length - have));
  }
}

}  // namespace textio
