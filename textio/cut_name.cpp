#include "textio/cut_name.h"

#include <algorithm>
#include <string>
#include <vector>

#include "textio/failure.h"

namespace textio {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The text variables whose last read was cut inside a word, with the whole
// name. Only such reads leave an entry, so this stays empty in normal runs.
struct CutRead {
  const char* field;
  int length;
  std::string whole;
};
std::vector<CutRead> g_cut_reads;

std::vector<CutRead>::iterator entry_of(const char* field, int length) {
  return std::find_if(g_cut_reads.begin(), g_cut_reads.end(),
                      [&](const CutRead& r) { return r.field == field && r.length == length; });
}

}  // namespace

void note_text_cut(const char* field, int length, std::string_view line, int width) {
  const auto at = entry_of(field, length);
  const auto w = static_cast<std::size_t>(width);
  if (width <= 0 || line.size() <= w || blank(line[w - 1]) || blank(line[w])) {
    if (at != g_cut_reads.end()) g_cut_reads.erase(at);
    return;
  }
  std::size_t begin = 0;
  while (blank(line[begin])) ++begin;
  std::size_t end = w;
  while (end < line.size() && !blank(line[end])) ++end;
  std::string whole(line.substr(begin, end - begin));
  if (at != g_cut_reads.end()) {
    at->whole = std::move(whole);
  } else {
    g_cut_reads.push_back({field, length, std::move(whole)});
  }
}

void refuse_cut_name(int unit, std::string_view name) {
  const auto at = entry_of(name.data(), static_cast<int>(name.size()));
  if (at != g_cut_reads.end()) fail({kMsgBadName, unit, 0, at->whole});
}

}  // namespace textio
