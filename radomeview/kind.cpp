#include "radomeview/kind.h"

#include <string>

#include "radomeview/lines.h"
#include "radomeview/numtext.h"

namespace radomeview {

const char* kind_name(Kind k) {
  switch (k) {
    case Kind::points: return "points";
    case Kind::rsf: return "rsf";
    case Kind::tor: return "tor";
  }
  return "?";
}

std::optional<Kind> kind_from_name(std::string_view name) {
  if (name == "points") return Kind::points;
  if (name == "rsf") return Kind::rsf;
  if (name == "tor") return Kind::tor;
  return std::nullopt;
}

void split_words(std::string_view record, std::vector<std::string_view>* words) {
  words->clear();
  const char* p = record.data();
  const char* const end = p + record.size();
  for (;;) {
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end) return;
    const char* const from = p;
    while (p != end && *p != ' ' && *p != '\t') ++p;
    words->emplace_back(from, static_cast<std::size_t>(p - from));
  }
}

namespace {

bool count_word(std::string_view w) {
  long long v;
  return read_integer(w, &v) || (!w.empty() && w.find_first_not_of('*') == std::string_view::npos);
}

}  // namespace

std::optional<Kind> detect_kind(std::FILE* file) {
  std::optional<Kind> kind;
  {
    LineReader lines(file);
    std::string_view record;
    std::vector<std::string_view> words;
    std::vector<std::string> first;  // the first two records
    std::string previous;            // the last record with words
    for (int n = 0; n < 400 && lines.next(&record); ++n) {
      if (first.size() < 2) first.emplace_back(record);
      split_words(record, &words);
      // A TOR object: a header record, then one holding "(" alone.
      if (words.size() == 1 && words[0] == "(" && !previous.empty()) {
        kind = Kind::tor;
        break;
      }
      if (!words.empty()) previous = std::string(record);
    }
    if (!kind && !first.empty()) {
      // A .rsf file: a label, then the count, 1 and 0. A points file: the count alone.
      std::vector<std::string_view> w0, w1;
      split_words(first[0], &w0);
      if (first.size() > 1) split_words(first[1], &w1);
      if (w1.size() == 3 && count_word(w1[0]) && count_word(w1[1]) && count_word(w1[2])) {
        kind = Kind::rsf;
      } else if (w0.size() == 1 && count_word(w0[0])) {
        kind = Kind::points;
      }
    }
  }
  std::rewind(file);
  return kind;
}

}  // namespace radomeview
