// What the checks find in one file: a severity, a line and a text, and for
// some a place in the drawing. The text, the picture and the page are
// writers of these. A file of a million bad points must not make a million
// lines or keep them all: past a limit findings are counted, not kept.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace radomeview {

enum class Severity { note, warning, error };

struct Finding {
  std::size_t line = 0;  // the record concerned, 0 when none
  Severity severity = Severity::error;
  std::string text;
  bool placed = false;  // has a place in the drawing, in the file's coordinates
  double x = 0, y = 0;
};

class Findings {
 public:
  static constexpr std::size_t kKept = 200;

  // True when the finding is kept (listed), false when only counted. The
  // one place where text from a file is made safe: anything but printable
  // ASCII becomes '?', for the terminal, the picture and the page alike.
  bool add(std::size_t line, Severity s, std::string text);
  void add_at(std::size_t line, Severity s, std::string text, double x, double y);
  // Ordered by line, in order of finding within a line.
  void sort();

  const std::vector<Finding>& kept() const { return kept_; }
  std::size_t errors() const { return errors_; }
  std::size_t warnings() const { return warnings_; }
  std::size_t dropped() const { return dropped_; }

 private:
  std::vector<Finding> kept_;
  std::size_t errors_ = 0, warnings_ = 0, dropped_ = 0;
};

const char* severity_name(Severity s);  // "error", "warning", "note"

// "FILE:LINE: error: text" (or warning, note)
std::string finding_line(const std::string& file, const Finding& f);

}  // namespace radomeview
