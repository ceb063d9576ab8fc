#include "textio/input.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "textio/console.h"
#include "textio/failure.h"
#include "textio/platform.h"
#include "textio/scan.h"

namespace textio {
namespace {

constexpr std::size_t kAheadSize = 64 * 1024;
constexpr std::size_t kInitialLine = 256;

// One byte of the unit's stream: 1, 0 at end of data, -1 on error.
int read_byte(Unit& u, char* c, int* sys_error) {
  LineBuffer& in = u.input;
  platform::Error err;
  if (u.byte_reads) {
    const std::ptrdiff_t n = platform::read(u.handle, c, 1, &err);
    if (n < 0) *sys_error = err.code;
    return static_cast<int>(n);
  }
  if (in.ahead_at == in.ahead_end) {
    if (in.ahead.empty()) {
      try {
        in.ahead.resize(kAheadSize);
      } catch (const std::bad_alloc&) {
        fail({kMsgRecordTooLong, u.number});
      }
    }
    const std::ptrdiff_t n = platform::read(u.handle, in.ahead.data(), in.ahead.size(), &err);
    if (n < 0) {
      *sys_error = err.code;
      return -1;
    }
    if (n == 0) return 0;
    in.ahead_at = 0;
    in.ahead_end = static_cast<std::size_t>(n);
  }
  *c = in.ahead[in.ahead_at++];
  return 1;
}

void append(Unit& u, char c) {
  LineBuffer& in = u.input;
  if (in.length == in.line.size()) {
    try {
      in.line.resize(in.line.empty() ? kInitialLine : in.line.size() * 2);
    } catch (const std::bad_alloc&) {
      fail({kMsgRecordTooLong, u.number});
    } catch (const std::length_error&) {
      fail({kMsgRecordTooLong, u.number});
    }
  }
  in.line[in.length++] = c;
}

// The unit's lines for a free-form statement.
class UnitLines final : public LineSource {
 public:
  explicit UnitLines(Unit& u) : u_(u) {}
  int next(std::string_view* line) override {
    switch (next_line(u_, &sys_error_)) {
      case LineStatus::ok:
        *line = current_line(u_);
        return 0;
      case LineStatus::end_of_file:
        return kMsgEndOfFile;
      case LineStatus::error:
        break;
    }
    return kMsgReadError;
  }
  int sys_error() const { return sys_error_; }

 private:
  Unit& u_;
  int sys_error_ = 0;
};

}  // namespace

LineStatus next_line(Unit& u, int* sys_error) {
  if (u.console == ConsoleEnd::input) console_state.show_pending_prompt();
  LineBuffer& in = u.input;
  in.length = 0;
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
  if (ended && in.length > 0 && in.line[in.length - 1] == '\r') --in.length;
  if (in.length == 1 && in.line[0] == '\x1A') return LineStatus::end_of_file;
  return LineStatus::ok;
}

void fetch_line(Unit& u) {
  int err = 0;
  switch (next_line(u, &err)) {
    case LineStatus::ok:
      return;
    case LineStatus::end_of_file:
      fail({kMsgEndOfFile, u.number});
    case LineStatus::error:
      fail({kMsgReadError, u.number, err});
  }
}

std::string_view current_line(const Unit& u) {
  return {u.input.line.data(), u.input.length};
}

void read_list_items(int number, const InItem* items, int count) {
  Unit& u = acquire_unit(number);
  UnitLines lines(u);
  const int status = read_list_from(lines, items, count);
  if (status != 0) fail({status, number, status == kMsgReadError ? lines.sys_error() : 0});
}

std::string_view read_text_field(int number, char* field, int length, int width) {
  Unit& u = acquire_unit(number);
  fetch_line(u);
  fill_text(current_line(u), field, length, width);
  return current_line(u);
}

}  // namespace textio
