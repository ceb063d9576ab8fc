// The state of the whole run, in one record private to the layer (the
// programs' header does not include this one).
#pragma once

#include <csignal>

namespace textio {

struct RunState {
  // The console output unit holds a prompt record that is built and not yet
  // written: a console read shows it, a write to the console continues it.
  bool prompt_pending = false;
  // A console record ending in CR only has been written; its LF is still
  // owed. Read by the console-event handler, hence the signal-safe type.
  volatile std::sig_atomic_t line_open = 0;
  // The last thing shown was a prompt that a console read flushed; the echo
  // of the typed answer ended its line.
  bool after_prompt = false;

  // The failure path is closing the units: writes then ignore errors.
  bool failing = false;
  // An output field had to be filled with asterisks: the run's status.
  bool conversion_error = false;

  // The command-line arguments, where the process got them, and the next
  // one to hand out for a blank file name.
  int argc = 0;
  char** argv = nullptr;
  int next_argument = 1;
};

inline RunState g_run;

}  // namespace textio
