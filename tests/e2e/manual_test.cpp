// A dialogue program's --help and its manual page show the same ways to call
// it: the usage lines of the help are the lines of the page's synopsis.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/process.h"
#include "radome_programs.h"

namespace {

// "Usage: " and the lines indented under it, each without its indent.
std::vector<std::string> usage_lines(const std::string& help) {
  std::vector<std::string> lines;
  std::istringstream in(help);
  std::string line;
  if (!std::getline(in, line) || line.rfind("Usage: ", 0) != 0) return lines;
  lines.push_back(line.substr(7));
  while (std::getline(in, line) && line.rfind("       ", 0) == 0) lines.push_back(line.substr(7));
  return lines;
}

// The synopsis as the page shows it: each macro line's arguments joined
// without a space (.B, .RI, .BR and the like alternate fonts only), words
// of successive lines with one, .br a new line, \- a hyphen.
std::vector<std::string> synopsis_lines(const std::string& page) {
  std::vector<std::string> lines;
  std::istringstream in(page);
  std::string line;
  bool inside = false;
  std::string current;
  while (std::getline(in, line)) {
    if (line.rfind(".SH ", 0) == 0) {
      if (inside) break;
      inside = line == ".SH SYNOPSIS";
      continue;
    }
    if (!inside) continue;
    if (line == ".br") {
      lines.push_back(current);
      current.clear();
      continue;
    }
    // Outside quotes a macro line's spaces only separate its arguments.
    std::string text;
    const bool macro = line[0] == '.';
    bool quoted = false;
    for (std::size_t i = macro ? line.find(' ') : 0; i < line.size(); ++i) {
      if (line.compare(i, 2, "\\-") == 0) {
        text += '-';
        ++i;
      } else if (macro && line[i] == '"') {
        quoted = !quoted;
      } else if (!macro || quoted || line[i] != ' ') {
        text += line[i];
      }
    }
    current += (current.empty() ? "" : " ") + text;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

TEST(Manual, SynopsisIsTheUsageOfTheHelp) {
  const std::string docs = std::string(E2E_CASES_DIR) + "/../../../doc/";
  for (const RegisteredProgram& program : kRegisteredPrograms) {
    SCOPED_TRACE(program.name);
    proc::Request rq;
    rq.executable = std::string(PROGRAMS_DIR) + "/" + program.name;
    rq.args = {"--help"};
    const proc::Result help = proc::run(rq);
    ASSERT_EQ(help.status, 0) << help.err;
    const std::vector<std::string> usage = usage_lines(help.out);
    ASSERT_FALSE(usage.empty()) << "no usage line starting with \"Usage: \":\n" << help.out;

    std::ifstream in(docs + program.name + ".1");
    std::ostringstream page;
    page << in.rdbuf();
    EXPECT_EQ(synopsis_lines(page.str()), usage);
  }
}

}  // namespace
