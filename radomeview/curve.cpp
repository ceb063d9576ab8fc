#include "radomeview/curve.h"

#include <cmath>
#include <string_view>

#include "radomeview/fields.h"
#include "radomeview/lines.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

// 1/50 of a pixel on the longer side of a 720-pixel drawing.
constexpr double kTolerance = 0.02 / 720;

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
    const Field kind = read_field(w[i], &v[i]);
    if (kind != Field::number) {
      f->add(line, Severity::error, field_problem(i == 0 ? "first field" : "second field", kind, w[i]));
      good = false;
    }
  }
  *p = Vec{v[0], v[1]};
  return good;
}

class CurveReader {
 public:
  CurveReader(Kind kind, Curve* c, Findings* f) : kind_(kind), c_(c), f_(f), path_(&c->path, Curve::kPathCap, kTolerance) {}

  void record(std::string_view record, std::size_t line) {
    if (kind_ == Kind::rsf && line == 1) {
      std::size_t end = record.size();
      while (end > 0 && record[end - 1] == ' ') --end;
      c_->label = std::string(record.substr(0, end));
      return;
    }
    if (line == count_line()) {
      const CountRecord count = read_count_record(record, kind_);
      c_->count_read = count.read;
      c_->count = count.count;
      c_->count_line = line;
      if (!count.error.empty()) f_->add(line, Severity::error, count.error);
      if (!count.note.empty()) f_->add(line, Severity::note, count.note);
      return;
    }
    std::string_view w[2];
    const std::size_t fields = split_fields(record, w, 2);
    if (fields == 0) {
      // Blank: not a point if only blank records follow.
      if (blanks_++ == 0) first_blank_ = line;
      return;
    }
    for (; blanks_ > 0; --blanks_) point(w, 0, std::string_view(), line - blanks_);
    point(w, fields, record, line);
  }

  void finish(std::size_t records) {
    path_.finish();
    if (c_->records > Curve::kMarkers) c_->points.clear();
    if (blanks_ > 0) {
      f_->add(first_blank_, Severity::warning,
              blanks_ == 1 ? "a blank record at the end of the file: not a point"
                           : std::to_string(blanks_) + " blank records at the end of the file: not points");
    }
    if (records < count_line()) {
      f_->add(records, Severity::error, kind_ == Kind::rsf ? "no count record (second record)" : "no count record");
    } else if (c_->count_read && c_->count != static_cast<long long>(c_->records)) {
      f_->add(c_->count_line, Severity::error,
              "count record says " + std::to_string(c_->count) + (c_->count == 1 ? " point" : " points") +
                  ", the file has " + std::to_string(c_->records));
    }
    const Extents& e = c_->extents;
    if (finite_ > 1 && e.x0 == e.x1 && e.y0 == e.y1) {
      f_->add(c_->count_line, Severity::warning,
              "all " + std::to_string(finite_) + " points are at (" + shortest(e.x0) + ", " + shortest(e.y0) +
                  "): there is no curve");
    }
  }

 private:
  std::size_t count_line() const { return kind_ == Kind::rsf ? 2 : 1; }

  void point(const std::string_view* w, std::size_t fields, std::string_view record, std::size_t line) {
    ++c_->records;
    Vec p;
    if (!read_point(w, fields, record, line, &p, f_)) {
      path_.gap();
      return;
    }
    ++finite_;
    c_->extents.add(p);
    path_.add(p, c_->extents);
    if (c_->records <= Curve::kMarkers) c_->points.push_back(p);
    if (kind_ == Kind::rsf) {
      if (have_previous_ && p.x < previous_r_) {
        f_->add_at(line, Severity::warning,
                   "radius " + shortest(p.x) + " goes back from " + shortest(previous_r_) + " before it", p.x, p.y);
      }
      previous_r_ = p.x;
      have_previous_ = true;
    }
  }

  Kind kind_;
  Curve* c_;
  Findings* f_;
  PathSimplifier path_;
  std::size_t blanks_ = 0, first_blank_ = 0;  // blank records not yet known to be inside the file
  std::size_t finite_ = 0;
  bool have_previous_ = false;
  double previous_r_ = 0;
};

}  // namespace

void read_curve(ByteSource& source, Kind kind, Curve* c, Findings* f) {
  c->kind = kind;
  LineReader lines(source, f);
  CurveReader reader(kind, c, f);
  std::string_view record;
  while (lines.next(&record)) reader.record(record, lines.number());
  lines.finish();
  reader.finish(lines.number());
}

}  // namespace radomeview
