// The command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "radomeview/kind.h"

namespace radomeview {

struct Options {
  std::vector<std::string> files;
  std::optional<Kind> kind;
  std::string output;  // -o: the picture's path, "-" for standard output
  std::string html;    // --html
  std::string unit;    // --unit: what the numbers of points and .rsf files are
  bool together = false;
  bool picture = true;
  bool labels = false;
  bool quiet = false;
  bool help = false, version = false;
};

// False with a message in *error when the command line is wrong.
bool parse_options(const std::vector<std::string>& args, Options* o, std::string* error);

extern const char* const kUsage;

}  // namespace radomeview
