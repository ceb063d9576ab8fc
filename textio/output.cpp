#include "textio/output.h"

#include "textio/console.h"
#include "textio/failure.h"
#include "textio/platform.h"
#include "textio/record.h"
#include "textio/run_state.h"

namespace textio {
namespace {

// When a write fails part way into a disk file (the disk full, the file size
// limit reached), the part already written is taken back, so the file ends
// with the last whole record. Out of line: the per-record path stays short.
[[gnu::noinline]] void write_failed(Unit& u, std::size_t written, const platform::Error& err) {
  if (u.disk_file && written > 0) {
    const std::int64_t end = platform::position(u.handle);
    if (end >= 0 && platform::seek(u.handle, end - static_cast<std::int64_t>(written))) {
      platform::set_end_of_file(u.handle, nullptr);
    }
  }
  if (g_run.failing) return;
  fail({kMsgWriteError, u.number, err.code});
}

// One write call for the whole block; a partial write is continued.
void write_all(Unit& u, const char* p, std::size_t n) {
  std::size_t written = 0;
  platform::Error err;
  while (written < n) {
    const std::ptrdiff_t done = platform::write(u.handle, p + written, n - written, &err);
    if (done < 0) return write_failed(u, written, err);
    written += static_cast<std::size_t>(done);
  }
}

}  // namespace

// The cut goes with the write, so an interrupted run never leaves the old
// file's tail behind a new record.
void emit(Unit& u, const char* p, std::size_t n) {
  if (u.access == Access::read_only && !g_run.failing) fail({kMsgReadOnly, u.number});
  if (!u.cut_pending) {
    write_all(u, p, n);
    return;
  }
  platform::ConsoleEventsHeld held;
  write_all(u, p, n);
  platform::Error err;
  const bool cut = platform::set_end_of_file(u.handle, &err);
  u.cut_pending = false;
  if (!cut && !g_run.failing) fail({kMsgWriteError, u.number, err.code});
}

void put_record(Unit& u) {
  Record& r = u.record;
  if (u.console == ConsoleEnd::output) {
    console_state.put_record(u);
  } else {
    char* base = record_columns(r);
    base[r.len] = '\r';
    base[r.len + 1] = '\n';
    emit(u, base, static_cast<std::size_t>(r.len) + 2);
  }
  begin_record(r);
}

void end_statement(Unit& u, bool prompt) {
  if (!prompt) {
    put_record(u);
    return;
  }
  if (console_state.hold_prompt(u)) return;
  Record& r = u.record;
  emit(u, record_columns(r), static_cast<std::size_t>(r.len));
  begin_record(r);
}

}  // namespace textio
