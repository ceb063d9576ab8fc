#include "radomeview/curve.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "radomeview/lines.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

// 1/50 of a pixel on the longer side of a 720-pixel drawing.
constexpr double kTolerance = 0.02 / 720;

void check_count_record(const std::vector<std::string_view>& w, std::string_view record, std::size_t line, Kind kind,
                        Curve* c, Findings* f) {
  long long n = 0;
  const bool number = !w.empty() && read_integer(w[0], &n);
  if (number) {
    c->count_read = true;
    c->count = n;
    c->count_line = line;
  }
  if (kind == Kind::points) {
    if (!number || w.size() != 1) f->add(line, Severity::error, "count record " + shown(record) + " is not one whole number");
    return;
  }
  long long one = 0, zero = 1;
  if (!number || w.size() != 3 || !read_integer(w[1], &one) || !read_integer(w[2], &zero) || one != 1 || zero != 0) {
    f->add(line, Severity::error, "second record " + shown(record) + " is not the point count followed by 1 and 0");
  }
}

// The first blank or tab in [p, end), eight bytes at a time: a million
// point records spend most of their cutting here.
const char* word_end(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
  const auto zero_bytes = [](std::uint64_t v) { return (v - kOnes) & ~v & kHigh; };
  while (end - p >= 8) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    const std::uint64_t m = zero_bytes(x ^ (kOnes * ' ')) | zero_bytes(x ^ (kOnes * '\t'));
    // The lowest flagged byte is a true match, and the lowest byte comes first (x86-64).
    if (m != 0) return p + std::countr_zero(m) / 8;
    p += 8;
  }
  while (p != end && *p != ' ' && *p != '\t') ++p;
  return p;
}

// The fields of a record when it holds exactly two, as a point record should.
bool two_fields(std::string_view record, std::string_view* w) {
  const char* p = record.data();
  const char* const end = p + record.size();
  int n = 0;
  for (;;) {
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end) return n == 2;
    if (n == 2) return false;
    const char* const from = p;
    p = word_end(p, end);
    w[n++] = std::string_view(from, static_cast<std::size_t>(p - from));
  }
}

// Both numbers of a point record, each finding named; false unless both are finite numbers.
bool read_point(const std::string_view* w, std::size_t fields, std::string_view record, std::size_t line, Vec* p,
                Findings* f) {
  if (fields != 2) {
    f->add(line, Severity::error,
           "point record " + shown(record) + " holds " + std::to_string(fields) + " fields, not 2 numbers");
    return false;
  }
  double v[2];
  bool good = true;
  for (int i = 0; i < 2; ++i) {
    const char* which = i == 0 ? "first" : "second";
    switch (read_field(w[i], &v[i])) {
      case Field::number: break;
      case Field::not_finite:
        f->add(line, Severity::error, std::string(which) + " number " + shown(w[i]) + " is not finite");
        good = false;
        break;
      case Field::asterisks:
        f->add(line, Severity::error, std::string(which) + " field is asterisks: the value did not fit it");
        good = false;
        break;
      case Field::not_number:
        f->add(line, Severity::error, std::string(which) + " field " + shown(w[i]) + " is not a number");
        good = false;
        break;
    }
  }
  *p = Vec{v[0], v[1]};
  return good;
}

}  // namespace

void read_curve(std::FILE* file, Kind kind, Curve* c, Findings* f) {
  c->kind = kind;
  LineReader lines(file);
  PathSimplifier path(&c->path, Curve::kPathCap, kTolerance);
  std::vector<std::string_view> words;
  std::string_view record;
  const std::size_t count_at = kind == Kind::rsf ? 2 : 1;
  std::size_t lf_alone = 0, first_lf_alone = 0;
  bool have_previous = false;
  double previous_r = 0;
  while (lines.next(&record)) {
    const std::size_t line = lines.number();
    if (lines.lf_alone() && lf_alone++ == 0) first_lf_alone = line;
    if (lines.no_line_end()) f->add(line, Severity::warning, "the last record has no line end");
    if (lines.too_long()) f->add(line, Severity::error, "record longer than " + std::to_string(LineReader::kBuffer) + " bytes");
    if (kind == Kind::rsf && line == 1) {
      std::size_t end = record.size();
      while (end > 0 && record[end - 1] == ' ') --end;
      c->label = std::string(record.substr(0, end));
      continue;
    }
    if (line == count_at) {
      split_words(record, &words);
      check_count_record(words, record, line, kind, c, f);
      continue;
    }
    ++c->records;
    Vec p;
    std::string_view two[2];
    bool good;
    if (two_fields(record, two)) {
      good = read_point(two, 2, record, line, &p, f);
    } else {
      split_words(record, &words);
      good = read_point(words.data(), words.size(), record, line, &p, f);
    }
    if (!good) {
      path.gap();
      continue;
    }
    c->extents.add(p);
    path.add(p, c->extents);
    if (c->records <= Curve::kMarkers) c->points.push_back(p);
    if (kind == Kind::rsf) {
      if (have_previous && p.x < previous_r) {
        f->add_at(line, Severity::warning,
                  "radius " + shortest(p.x) + " goes back from " + shortest(previous_r) + " before it", p.x, p.y);
      }
      previous_r = p.x;
      have_previous = true;
    }
  }
  path.finish();
  if (c->records > Curve::kMarkers) c->points.clear();
  if (lines.failed()) f->add(lines.number(), Severity::error, "read error after this record");
  if (lines.number() < count_at) {
    f->add(lines.number(), Severity::error, kind == Kind::rsf ? "no count record (second record)" : "no count record");
  } else if (c->count_read && c->count != static_cast<long long>(c->records)) {
    f->add(c->count_line, Severity::error,
           "count record says " + std::to_string(c->count) + (c->count == 1 ? " point" : " points") +
               ", the file has " + std::to_string(c->records));
  }
  if (lf_alone > 0) {
    f->add(first_lf_alone, Severity::warning,
           std::to_string(lf_alone) + (lf_alone == 1 ? " record ends" : " records end") + " with LF alone, not CR LF");
  }
}

}  // namespace radomeview
