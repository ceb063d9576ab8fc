#include "radomeview/findings.h"

#include <algorithm>

namespace radomeview {

bool Findings::add(std::size_t line, Severity s, std::string text) {
  if (s == Severity::error) ++errors_;
  if (s == Severity::warning) ++warnings_;
  if (kept_.size() >= kKept) {
    ++dropped_;
    return false;
  }
  // Names and text quoted from the file may hold control characters: they
  // must not reach a terminal or the picture.
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  kept_.push_back(Finding{line, s, std::move(text), false, 0, 0});
  return true;
}

void Findings::add_at(std::size_t line, Severity s, std::string text, double x, double y) {
  if (add(line, s, std::move(text))) {
    Finding& f = kept_.back();
    f.placed = true;
    f.x = x;
    f.y = y;
  }
}

void Findings::sort() {
  std::stable_sort(kept_.begin(), kept_.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

std::string finding_line(const std::string& file, const Finding& f) {
  return file + ":" + std::to_string(f.line) + (f.severity == Severity::error     ? ": error: "
                                                  : f.severity == Severity::warning ? ": warning: "
                                                                                    : ": note: ") + f.text;
}

}  // namespace radomeview
