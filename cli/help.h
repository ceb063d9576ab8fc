// The two arguments every program answers without a dialogue: `--help` and
// `--version`, each alone on the command line.
#pragma once

namespace cli {

// When the only argument is --help or --version, writes the help text or the
// program's name and version to standard output and ends the process (status
// 0, or 1 if standard output cannot take it). Any other command line returns
// and keeps its meaning for the dialogue.
void answer_help_or_version(int argc, char** argv, const char* name, const char* help);

}  // namespace cli
