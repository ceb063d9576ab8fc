// The console's line: the state shared by the console output unit and the
// console input unit, and the rules that go with it. A record's first column
// selects how it is advanced and is not shown; a line end is split, CR now and
// the LF owed until the next record that advances a line; a prompt stays
// pending until a console read shows it, so the answer is typed after it.
#pragma once

#include <csignal>
#include <cstddef>

#include "textio/units.h"

namespace textio {

class ConsoleState {
 public:
  // A statement is starting on the unit. True when it continues the prompt
  // that unit holds (the new fields follow the prompt on its line); the
  // prompt is then no longer pending.
  bool continue_prompt(const Unit& unit) {
    if (!prompt_pending_ || unit.number != prompt_owner_ || unit.console != ConsoleEnd::output) return false;
    prompt_pending_ = false;
    return true;
  }

  // A statement that ended with its record marked as a prompt: the console
  // output unit keeps it pending and returns true; any other unit gets false.
  bool hold_prompt(const Unit& unit);

  // Writes the current record of the console output unit under first-column
  // control. The caller starts the next record.
  void put_record(Unit& unit);

  // What a console read does first: a pending prompt is shown, with the line
  // end still owed in front of it and none after it.
  void show_pending_prompt();

  // A message of the layer itself on the console, followed by a prompt that
  // a console read answers (the blank-file-name question).
  void ask(const char* line, const char* prompt);

  // At the close of the console output unit: a pending prompt is shown and
  // the owed line end is sent.
  void finish(Unit& unit);

  // The unit is being disconnected or connected afresh: a prompt it held is
  // gone.
  void forget(const Unit& unit);

  // Read by the console-event handler, which sends the owed LF itself.
  bool line_open() const { return line_open_ != 0; }

  bool prompt_pending() const { return prompt_pending_; }
  int prompt_owner() const { return prompt_owner_; }
  bool after_prompt() const { return after_prompt_; }

 private:
  void emit(Unit& unit, const char* p, std::size_t n, bool line_open_after);

  // A prompt record is built and not yet written; prompt_owner_ holds it.
  bool prompt_pending_ = false;
  int prompt_owner_ = 0;
  // A record ending in CR only has been written; its LF is still owed. Read
  // by the console-event handler, hence the signal-safe type.
  volatile std::sig_atomic_t line_open_ = 0;
  // The last thing shown was a prompt that a console read flushed; the echo
  // of the typed answer ended its line.
  bool after_prompt_ = false;
};

inline ConsoleState console_state;

}  // namespace textio
