// Free-form and fixed-width input: lines from a unit into program variables.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/items.h"
#include "textio/units.h"

namespace textio {

enum class LineStatus { ok, end_of_file, error };

// Fetches the unit's next line into unit.input (without its LF and one CR
// before it). A read from the console input first shows the pending prompt.
// On error, *sys_error holds the platform's code.
LineStatus next_line(Unit& unit, int* sys_error);

// The next line of a statement: end of file and read errors end the run.
void fetch_line(Unit& unit);

// The current line of a unit.
std::string_view current_line(const Unit& unit);

// One free-form read statement; fills the items in order.
void read_list_items(int unit, const InItem* items, int count);

// One fixed-width text read (Aw) into a text variable of `length` characters.
// Returns the whole line read, valid until the unit's next read.
std::string_view read_text_field(int unit, char* field, int length, int width);

}  // namespace textio
