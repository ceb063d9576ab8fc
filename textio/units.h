// The unit table: numbered connections to the console and to files opened by
// name, and their opening and closing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "textio/platform.h"
#include "textio/record.h"

namespace textio {

inline constexpr int kConsoleIn = 5;
inline constexpr int kConsoleOut = 6;
inline constexpr int kMaxUnit = 99;

// The names of the console units, as messages show them and as a file name
// that connects to them.
inline constexpr std::string_view kConsoleInName = "CONIN$";
inline constexpr std::string_view kConsoleOutName = "CONOUT$";

using platform::Access;

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

// Which end of the console a unit is, if any: the output unit writes its
// records under first-column control, and a read from the input unit first
// shows the prompt the output unit holds (console.h).
enum class ConsoleEnd : unsigned char { none, output, input };

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
  ConsoleEnd console = ConsoleEnd::none;
  bool byte_reads = false;   // take no byte beyond the line from the stream
  bool cut_pending = false;  // set the end of file after the next record written
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
