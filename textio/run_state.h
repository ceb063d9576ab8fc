// The state of the whole run, in one record private to the layer (the
// programs' header does not include this one).
#pragma once

namespace textio {

// The console's line has a state of its own (console.h).
struct RunState {
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
