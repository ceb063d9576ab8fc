#include "textio/output.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "textio/edit.h"
#include "textio/failure.h"
#include "textio/platform.h"
#include "textio/run_state.h"

namespace textio {
namespace {

constexpr int kConsoleWidth = 80;  // free-form fields past this column start a new record
constexpr int kFileWidth = 79;

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

// Holds off the console events while a write and the state it settles go
// together: the event handler must see either both or neither.
class EventsHeld {
 public:
  EventsHeld() { platform::hold_console_events(); }
  ~EventsHeld() { platform::release_console_events(); }
  EventsHeld(const EventsHeld&) = delete;
  EventsHeld& operator=(const EventsHeld&) = delete;
};

// The bytes of one record, with the first-record cut of a disk file. The cut
// goes with the write, so an interrupted run never leaves the old file's tail
// behind a new record.
void emit(Unit& u, const char* p, std::size_t n) {
  if (u.access == Access::read_only && !g_run.failing) fail({kMsgReadOnly, u.number});
  if (!u.cut_pending) {
    write_all(u, p, n);
    return;
  }
  EventsHeld held;
  write_all(u, p, n);
  platform::Error err;
  const bool cut = platform::set_end_of_file(u.handle, &err);
  u.cut_pending = false;
  if (!cut && !g_run.failing) fail({kMsgWriteError, u.number, err.code});
}

// A console write that changes whether a line end is owed. Once a line is
// open, records keep it open and need no care; the other changes are rare
// (prompts, the first record after one, the end of the run).
void emit_console(Unit& u, const char* p, std::size_t n, bool line_open_after) {
  RunState& cs = g_run;
  if (cs.line_open && line_open_after) {
    emit(u, p, n);
    return;
  }
  EventsHeld held;
  emit(u, p, n);
  cs.line_open = line_open_after ? 1 : 0;
}

void begin_record(Record& r) {
  r.pos = 0;
  r.len = 0;
  r.prompt = false;
}

// Grows the record buffer; apart from the first record of a unit, only an
// unusually long record gets here.
[[gnu::noinline]] void grow_record(Record& r, std::size_t need) {
  try {
    r.buf.resize(std::max(need, std::max<std::size_t>(r.buf.size() * 2, 128)));
  } catch (const std::bad_alloc&) {
    fail({kMsgNoMemory});
  }
}

// Makes room for columns [0, end) plus the two bytes of a line end.
inline void reserve_columns(Record& r, int end) {
  const std::size_t need = static_cast<std::size_t>(kRecordHead + end + 2);
  if (r.buf.size() < need) grow_record(r, need);
}

// The place for n characters at the current position; skipped columns become
// blanks once something is written after them.
char* field_at(Record& r, int n) {
  reserve_columns(r, r.pos + n);
  char* base = r.buf.data() + kRecordHead;
  if (r.pos > r.len) std::memset(base + r.len, ' ', static_cast<std::size_t>(r.pos - r.len));
  char* out = base + r.pos;
  r.pos += n;
  if (r.pos > r.len) r.len = r.pos;
  return out;
}

void put_chars(Record& r, const char* s, int n) {
  if (n > 0) std::memcpy(field_at(r, n), s, static_cast<std::size_t>(n));
}

// A console record: its first character selects how it is advanced and is
// not shown. The line end is split: CR now, the LF when the next record
// advances a line.
void put_console_record(Unit& u) {
  Record& r = u.record;
  reserve_columns(r, r.len);
  char* base = r.buf.data() + kRecordHead;
  RunState& cs = g_run;
  if (cs.after_prompt) {
    // The echo of the typed answer already ended the prompt's line.
    base[r.len] = '\r';
    emit_console(u, base, static_cast<std::size_t>(r.len) + 1, true);
    cs.after_prompt = false;
    return;
  }
  const char control = r.len > 0 ? base[0] : ' ';
  char* rest = base + 1;
  int rest_len = r.len > 0 ? r.len - 1 : 0;
  char* start = rest;
  bool cr = true;
  switch (control) {
    case '0':  // one empty line between this record and the previous one
      *--start = '\n';
      if (cs.line_open) *--start = '\n';
      break;
    case '1':  // new page
      *--start = '\f';
      break;
    case '+':  // overprint the current line
      break;
    case '$':
      if (cs.line_open) *--start = '\n';
      cr = false;
      break;
    case '\0':
      cr = false;
      break;
    default:
      if (cs.line_open) *--start = '\n';
      break;
  }
  char* end = rest + rest_len;
  if (cr) *end++ = '\r';
  emit_console(u, start, static_cast<std::size_t>(end - start), true);
}

// Statement start: a write to the owner of a pending prompt continues the
// prompt's record; anything else starts a fresh one.
Unit& begin_statement(int number) {
  Unit& u = acquire_unit(number);
  if (g_run.prompt_pending && u.first_column_control) {
    g_run.prompt_pending = false;
    u.record.prompt = false;
  } else {
    begin_record(u.record);
  }
  return u;
}

void end_statement(Unit& u) {
  Record& r = u.record;
  if (!r.prompt) {
    put_record(u);
    return;
  }
  if (u.first_column_control) {
    g_run.prompt_pending = true;
    return;
  }
  // No line end on a unit without a console: the record as it stands.
  reserve_columns(r, r.len);
  emit(u, r.buf.data() + kRecordHead, static_cast<std::size_t>(r.len));
  begin_record(r);
}

[[noreturn]] void item_mismatch() {
  // Formats and items are matched at build time; this is a caller's bug.
  std::abort();
}

}  // namespace

void put_record(Unit& u) {
  Record& r = u.record;
  if (u.first_column_control) {
    put_console_record(u);
  } else {
    reserve_columns(r, r.len);
    char* base = r.buf.data() + kRecordHead;
    base[r.len] = '\r';
    base[r.len + 1] = '\n';
    emit(u, base, static_cast<std::size_t>(r.len) + 2);
  }
  begin_record(r);
}

void write_formatted_items(int unit, FormatView format, const OutItem* items, int count) {
  Unit& u = begin_statement(unit);
  Record& r = u.record;
  int scale = 0;
  int next = 0;
  bool overflow = false;
  for (int j = 0; j < format.count; ++j) {
    const Descriptor& d = format.desc[j];
    switch (d.op) {
      case Op::text:
        put_chars(r, format.pool + d.at, d.len);
        break;
      case Op::tr:
        r.pos += d.w;
        break;
      case Op::scale:
        scale = d.k;
        break;
      case Op::slash:
        put_record(u);
        break;
      case Op::dollar:
        r.prompt = true;
        break;
      case Op::a:
      case Op::i:
      case Op::e: {
        if (next == count) {
          j = format.count;  // no item left: the statement ends here
          break;
        }
        const OutItem& item = items[next++];
        char* out = field_at(r, d.w);
        if (d.op == Op::a) {
          if (item.kind != ItemKind::text) item_mismatch();
          edit_a(out, item.s, item.len, d.w);
        } else if (d.op == Op::i) {
          if (item.kind != ItemKind::integer) item_mismatch();
          overflow |= !edit_i(out, item.i, d.w);
        } else {
          if (item.kind != ItemKind::real) item_mismatch();
          overflow |= !edit_e(out, item.f, d.w, d.d, scale);
        }
        break;
      }
    }
  }
  end_statement(u);
  if (overflow) report(Severity::error, {kMsgOutputConversion, unit});
}

void write_list_items(int unit, const OutItem* items, int count) {
  Unit& u = begin_statement(unit);
  Record& r = u.record;
  const int width = u.first_column_control ? kConsoleWidth : kFileWidth;
  for (int j = 0; j < count; ++j) {
    const OutItem& item = items[j];
    char field[kListFloatWidth];
    const char* text = field;
    int len = 0;
    switch (item.kind) {
      case ItemKind::integer:
        edit_list_int(field, item.i);
        len = kListIntWidth;
        break;
      case ItemKind::real:
        edit_list_float(field, item.f);
        len = kListFloatWidth;
        break;
      case ItemKind::text:
        text = item.s;
        len = item.len;
        break;
    }
    bool blank = item.kind == ItemKind::text && (j == 0 || r.len == 0);
    if (r.pos > 0 && r.pos + len + (blank ? 1 : 0) > width) {
      put_record(u);
      blank = item.kind == ItemKind::text;
    }
    if (blank) put_chars(r, " ", 1);
    put_chars(r, text, len);
  }
  if (r.len == 0) put_chars(r, " ", 1);
  end_statement(u);
}

void show_pending_prompt() {
  RunState& cs = g_run;
  if (!cs.prompt_pending) return;
  Unit* u = find_unit(kConsoleOut);
  cs.prompt_pending = false;
  if (u == nullptr) return;
  Record& r = u->record;
  reserve_columns(r, r.len);
  char* base = r.buf.data() + kRecordHead;
  char* start = base;
  char* end = base + r.len;
  if (!cs.after_prompt) {
    // As for a record whose control character is a blank, without the CR.
    if (r.len > 0) ++start;
    if (cs.line_open) *--start = '\n';
  }
  emit_console(*u, start, static_cast<std::size_t>(end - start), false);
  cs.after_prompt = true;
  begin_record(r);
}

void console_question(const char* line, const char* prompt) {
  show_pending_prompt();
  Unit& u = acquire_unit(kConsoleOut);
  RunState& cs = g_run;
  std::string bytes;
  if (cs.line_open) bytes += '\n';
  bytes += line;
  bytes += "\r\n";
  bytes += prompt;
  emit_console(u, bytes.data(), bytes.size(), false);
  cs.after_prompt = true;
}

void finish_console(Unit& u) {
  RunState& cs = g_run;
  show_pending_prompt();
  if (cs.line_open) emit_console(u, "\n", 1, false);
}

void reset_record(Unit& u) {
  begin_record(u.record);
  if (u.first_column_control) g_run.prompt_pending = false;
}

}  // namespace textio
