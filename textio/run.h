// The start and the normal end of a run.
#pragma once

#include <string>

namespace textio {

// Called once before the program's first statement: floating-point
// exceptions masked, console events routed to their report, the command-line
// arguments kept for blank file names, then the division check.
void start_run(int argc, char** argv);

// Called after the program's last statement: closes every unit and ends the
// process (status 0, or 63 when an output field had to be filled with
// asterisks).
[[noreturn]] void end_run();

// The next command-line argument not yet handed out, or an empty string.
std::string next_argument();

}  // namespace textio
