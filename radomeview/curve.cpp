#include "radomeview/curve.h"

#include <cmath>
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

// Both numbers of a point record, each finding named; false unless both are finite numbers.
bool read_point(const std::vector<std::string_view>& w, std::string_view record, std::size_t line, Vec* p,
                Findings* f) {
  if (w.size() != 2) {
    f->add(line, Severity::error,
           "point record " + shown(record) + " holds " + std::to_string(w.size()) + " fields, not 2 numbers");
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
    split_words(record, &words);
    if (line == count_at) {
      check_count_record(words, record, line, kind, c, f);
      continue;
    }
    ++c->records;
    Vec p;
    if (!read_point(words, record, line, &p, f)) {
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
