// One file from its bytes to its findings, summary and picture: the route
// every file takes, from the command line and from the fuzz targets alike.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "radomeview/curve.h"
#include "radomeview/findings.h"
#include "radomeview/kind.h"
#include "radomeview/torcheck.h"

namespace radomeview {

struct FileReport {
  std::string file;
  Kind kind = Kind::points;
  Findings findings;
  Curve curve;  // points and .rsf
  Tor tor;      // TOR
  std::string summary;  // the last line printed for the file
};

// Reads and checks; false when the file is none of the three kinds.
bool check_file(std::FILE* file, const std::string& name, std::optional<Kind> kind, FileReport* r);

void draw(const FileReport& r, bool labels, std::string* svg);

}  // namespace radomeview
