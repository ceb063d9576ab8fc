#include "cli/help.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/version.h"

namespace cli {

void answer_help_or_version(int argc, char** argv, const char* name, const char* help) {
  if (argc != 2) return;
  const bool asks_help = std::strcmp(argv[1], "--help") == 0;
  if (!asks_help && std::strcmp(argv[1], "--version") != 0) return;
  const int written = asks_help ? std::fputs(help, stdout) : std::printf("%s (radome tools) %s\n", name, kVersion);
  // Help that did not arrive is no success.
  if (written < 0 || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "%s: cannot write to standard output\n", name);
    std::exit(1);
  }
  std::exit(0);
}

}  // namespace cli
