// One self-contained page: for each file its picture, its findings (coloured
// by severity), its summary and, for a TOR file, its meshes and every
// variable with its value. Pictures taller than the window are scaled to it.
#pragma once

#include <string>
#include <vector>

#include "radomeview/report.h"

namespace radomeview {

struct PageSection {
  std::string heading;                 // the file's name, or what the picture shows
  std::string svg;                     // the picture as written to its own file, or empty
  const FileReport* report = nullptr;  // the findings and the rest; null for a picture alone
};

void write_html(const std::vector<PageSection>& sections, std::string* out);

}  // namespace radomeview
