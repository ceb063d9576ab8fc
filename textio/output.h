// Formatted and free-form output: records, the console's first-column control
// and the prompt that stays open for the answer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "textio/format.h"
#include "textio/items.h"
#include "textio/units.h"

namespace textio {

// One formatted write statement.
void write_formatted_items(int unit, FormatView format, const OutItem* items, int count);

// One free-form write statement.
void write_list_items(int unit, const OutItem* items, int count);

// Writes the unit's current record with that unit's ending rules and starts a
// new blank one.
void put_record(Unit& unit);

// What a console read does first: a pending prompt is shown, with the line
// end the console still owes in front of it and none after it.
void show_pending_prompt();

// A message of the layer itself on the console, followed by a prompt that a
// console read answers (the blank-file-name question).
void console_question(const char* line, const char* prompt);

// At the close of the console output unit: a prompt still pending is shown
// and the owed line end is sent.
void finish_console(Unit& unit);

// Drops any record state of a unit that is being disconnected.
void reset_record(Unit& unit);

}  // namespace textio
