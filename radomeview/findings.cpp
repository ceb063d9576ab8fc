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
  for (char& c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) c = '?';
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

const char* severity_name(Severity s) {
  switch (s) {
    case Severity::error: return "error";
    case Severity::warning: return "warning";
    case Severity::note: return "note";
  }
  return "?";
}

std::string finding_line(const std::string& file, const Finding& f) {
  return file + ":" + std::to_string(f.line) + ": " + severity_name(f.severity) + ": " + f.text;
}

}  // namespace radomeview
