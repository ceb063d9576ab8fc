// The unit table: numbered connections to the console and to files opened by
// name, and their opening and closing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "textio/platform.h"

namespace textio {

inline constexpr int kConsoleIn = 5;
inline constexpr int kConsoleOut = 6;
inline constexpr int kMaxUnit = 99;

// The names of the console units, as messages show them and as a file name
// that connects to them.
inline constexpr std::string_view kConsoleInName = "CONIN$";
inline constexpr std::string_view kConsoleOutName = "CONOUT$";

using platform::Access;

// The record being built for an output unit. Its characters start at
// kRecordHead in buf: the room in front lets the console's owed line end be
// put before them in place, and the capacity is kept from record to record, so
// a record goes out in one write call without allocating.
inline constexpr int kRecordHead = 2;
struct Record {
  std::vector<char> buf;
  int pos = 0;  // column of the next character, counted from 0
  int len = 0;  // columns written so far
  bool prompt = false;
};

// The current input line of a unit and the bytes read ahead of it. A line
// may be longer than any int counts: it is bounded by memory alone.
struct LineBuffer {
  std::vector<char> line;
  std::size_t length = 0;
  std::vector<char> ahead;
  std::size_t ahead_at = 0;
  std::size_t ahead_end = 0;

  // Forgets the line and what was read ahead; keeps the capacity.
  void clear() {
    length = 0;
    ahead_at = 0;
    ahead_end = 0;
  }
};

// How a unit is connected. Set as a whole on every connection, so that a
// field added here starts afresh without anyone resetting it by hand.
struct Connection {
  bool connected = false;
  int number = 0;
  platform::Handle handle = platform::kNoHandle;
  bool owns_handle = false;  // false for the standard streams, which stay open
  std::string name;          // as used in messages
  Access access = Access::read_write;
  bool disk_file = false;
  bool first_column_control = false;  // the console output unit
  bool console_input = false;         // the console input unit: a read shows the pending prompt
  bool byte_reads = false;            // take no byte beyond the line from the stream
  bool cut_pending = false;           // set the end of file after the next record written
};

// A unit: its connection, and buffers that keep their capacity from one
// connection to the next.
struct Unit : Connection {
  Record record;
  LineBuffer input;
};

// Standard input taken line by line from a file or pipe must not read past
// the line: whatever follows belongs to whoever reads the stream next.
inline bool needs_byte_reads(platform::Handle h) {
  return platform::kind_of(h) != platform::FileKind::character;
}

// The unit, connecting the console units 5 and 6 on first use. Any other unit
// must have been opened.
Unit& acquire_unit(int number);

// The unit if it is connected, else null.
Unit* find_unit(int number);

// The unit's slot, connected or not.
Unit& unit_slot(int number);

// Connects the unit afresh: the connection replaced, the buffers emptied.
void connect(Unit& unit, Connection connection);

// Disconnects the unit, writing what it still holds.
void disconnect(Unit& unit);

// Disconnects the unit, writing what it still holds; keeps the file.
void close_file(int unit);

// Closes every connected unit (write errors are ignored while the run is
// failing).
void close_all_units();

}  // namespace textio
