// The two arguments every program answers without a dialogue: `--help` and
// `--version`, each alone on the command line.
#pragma once

#include <string>

#include "cli/dialogue.h"

namespace cli {

// When the only argument is --help or --version, writes the help text or the
// program's name and version to standard output and ends the process (status
// 0, or 1 if standard output cannot take it). Any other command line returns
// and keeps its meaning for the dialogue.
void answer_help_or_version(int argc, char** argv, const char* name, const char* help);

// The same for a dialogue program, whose help is made from its dialogue.
void answer_help_or_version(int argc, char** argv, const Dialogue& dialogue);

// A dialogue program's --help: its usage, then each question with what its
// answer holds, in order, under headings for the answers that decide whether
// it is asked and for loops, then what the program writes.
std::string help_text(const Dialogue& dialogue);

}  // namespace cli
