// One self-contained page: for each file its picture, its findings and,
// for a TOR file, every variable with its value.
#pragma once

#include <string>
#include <vector>

#include "radomeview/torcheck.h"

namespace radomeview {

struct PageSection {
  std::string file;
  std::string svg;                    // the picture as written to its own file
  std::vector<std::string> findings;  // the lines printed for the file
  std::string summary;
  const std::vector<Variable>* variables = nullptr;  // a TOR file's
};

void write_html(const std::vector<PageSection>& sections, std::string* out);

}  // namespace radomeview
