#include "radomeview/kind.h"

#include "radomeview/fields.h"
#include "radomeview/lines.h"
#include "radomeview/numtext.h"
#include "radomeview/torlex.h"

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

Head read_head(ByteSource& source) {
  Head h;
  {
    LineReader lines(source, nullptr);
    std::string_view record;
    while (h.records.size() < 400 && lines.next(&record)) h.records.emplace_back(record);
  }
  source.rewind();
  return h;
}

namespace {

bool asterisks(std::string_view w) { return !w.empty() && w.find_first_not_of('*') == std::string_view::npos; }

// A count: a whole number, or asterisks where it did not fit its columns.
bool count_word(std::string_view w) {
  long long v;
  return read_integer(w, &v) || asterisks(w);
}

// One of the two numbers after the count.
bool number_word(std::string_view w) {
  double v;
  return read_field(w, &v) == Field::number || asterisks(w);
}

}  // namespace

bool looks_like_points(const Head& h) {
  std::string_view w[2];
  return !h.records.empty() && split_fields(h.records[0], w, 2) == 1 && count_word(w[0]);
}

bool looks_like_rsf(const Head& h) {
  std::string_view w[4];
  return h.records.size() > 1 && split_fields(h.records[1], w, 4) == 3 && count_word(w[0]) && number_word(w[1]) &&
         number_word(w[2]);
}

bool looks_like_tor(const Head& h) {
  // The first object's header: one to three words (a name that holds a
  // blank is found later, as an error), then "(".
  std::string text;
  for (const std::string& r : h.records) text += r + "\n";
  MemorySource source(text);
  TorLexer lexer(source, nullptr);
  Token t;
  int words = 0;
  while (lexer.next(&t)) {
    if (t.type == Token::open) return words >= 1;
    if (t.type != Token::word || ++words > 3) return false;
  }
  return false;
}

CountRecord read_count_record(std::string_view record, Kind kind) {
  CountRecord c;
  std::string_view w[4];
  const std::size_t n = split_fields(record, w, 4);
  const std::size_t want = kind == Kind::rsf ? 3 : 1;
  if (n >= 1) c.read = read_integer(w[0], &c.count);
  if (n == want && !c.read && asterisks(w[0])) {
    c.error = field_problem("the point count", Field::asterisks, w[0]);
    return c;
  }
  if (kind != Kind::rsf) {
    if (n != 1 || !c.read) c.error = "count record " + shown(record) + " is not one whole number";
    return c;
  }
  double one = 0, zero = 0;
  if (n != 3 || !c.read || read_field(w[1], &one) != Field::number || read_field(w[2], &zero) != Field::number) {
    c.error = "second record " + shown(record) + " is not the point count followed by two numbers";
    return c;
  }
  if (one != 1 || zero != 0) {
    c.note = "the count record holds " + std::string(w[1]) + " and " + std::string(w[2]) +
             " after the count, where our programs write 1 and 0; the points are read as usual";
  }
  return c;
}

}  // namespace radomeview
