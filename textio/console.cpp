#include "textio/console.h"

#include <string>

#include "textio/output.h"
#include "textio/platform.h"
#include "textio/record.h"
#include "textio/units.h"

namespace textio {

// A console write that changes whether a line end is owed. Once a line is
// open, records keep it open and need no care; the other changes are rare
// (prompts, the first record after one, the end of the run), and the event
// handler must see the write and the state it settles together.
void ConsoleState::emit(Unit& u, const char* p, std::size_t n, bool line_open_after) {
  if (line_open_ && line_open_after) {
    textio::emit(u, p, n);
    return;
  }
  platform::ConsoleEventsHeld held;
  textio::emit(u, p, n);
  line_open_ = line_open_after ? 1 : 0;
}

bool ConsoleState::hold_prompt(const Unit& u) {
  if (u.console != ConsoleEnd::output) return false;
  prompt_pending_ = true;
  prompt_owner_ = u.number;
  return true;
}

// The record's first character selects how it is advanced and is not shown.
// The line end is split: CR now, the LF when the next record advances a line.
void ConsoleState::put_record(Unit& u) {
  Record& r = u.record;
  char* base = record_columns(r);
  if (after_prompt_) {
    // The echo of the typed answer already ended the prompt's line.
    base[r.len] = '\r';
    emit(u, base, static_cast<std::size_t>(r.len) + 1, true);
    after_prompt_ = false;
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
      if (line_open_) *--start = '\n';
      break;
    case '1':  // new page
      *--start = '\f';
      break;
    case '+':  // overprint the current line
      break;
    case '$':
      if (line_open_) *--start = '\n';
      cr = false;
      break;
    case '\0':
      cr = false;
      break;
    default:
      if (line_open_) *--start = '\n';
      break;
  }
  char* end = rest + rest_len;
  if (cr) *end++ = '\r';
  emit(u, start, static_cast<std::size_t>(end - start), true);
}

void ConsoleState::show_pending_prompt() {
  if (!prompt_pending_) return;
  prompt_pending_ = false;
  Unit* u = find_unit(prompt_owner_);
  if (u == nullptr) return;
  Record& r = u->record;
  char* base = record_columns(r);
  char* start = base;
  char* end = base + r.len;
  if (!after_prompt_) {
    // As for a record whose control character is a blank, without the CR.
    if (r.len > 0) ++start;
    if (line_open_) *--start = '\n';
  }
  emit(*u, start, static_cast<std::size_t>(end - start), false);
  after_prompt_ = true;
  begin_record(r);
}

void ConsoleState::ask(const char* line, const char* prompt) {
  show_pending_prompt();
  Unit& u = acquire_unit(kConsoleOut);
  std::string bytes;
  if (line_open_) bytes += '\n';
  bytes += line;
  bytes += "\r\n";
  bytes += prompt;
  emit(u, bytes.data(), bytes.size(), false);
  after_prompt_ = true;
}

void ConsoleState::finish(Unit& u) {
  show_pending_prompt();
  if (line_open_) emit(u, "\n", 1, false);
}

void ConsoleState::forget(const Unit& u) {
  if (u.number == prompt_owner_) prompt_pending_ = false;
}

}  // namespace textio
