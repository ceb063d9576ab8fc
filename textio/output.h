// Formatted and free-form output: the two write statements, and the path
// every record takes to its unit.
#pragma once

#include <cstddef>

#include "textio/console.h"
#include "textio/format.h"
#include "textio/items.h"
#include "textio/record.h"
#include "textio/units.h"

namespace textio {

// One formatted write statement (write_formatted.cpp).
void write_formatted_items(int unit, FormatView format, const OutItem* items, int count);

// One free-form write statement (write_list.cpp).
void write_list_items(int unit, const OutItem* items, int count);

// Statement start: the unit, with its record ready for the statement's first
// field. A write to the unit that holds a pending prompt continues the
// prompt's record; any other starts a fresh one.
inline Unit& begin_statement(int number) {
  Unit& u = acquire_unit(number);
  if (!console_state.continue_prompt(u)) begin_record(u.record);
  return u;
}

// Statement end: the current record is written, unless it is marked as a
// prompt. The console keeps a prompt pending; another unit gets it without a
// line end.
void end_statement(Unit& unit, bool prompt);

// Writes the unit's current record with that unit's ending rules and starts a
// new blank one.
void put_record(Unit& unit);

// The bytes of one record to the unit's stream in one write call, with the
// first-record cut of a disk file. A failed write ends the run.
void emit(Unit& unit, const char* p, std::size_t n);

}  // namespace textio
