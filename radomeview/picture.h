// The frame every picture is drawn in: one scale on both axes, ticks at
// round numbers, a title, a legend at the right, and a mark where a finding
// has a place. The kinds of file draw their data inside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "radomeview/findings.h"
#include "radomeview/geometry.h"

namespace radomeview {

// A file's numbers to the drawing's: scaled to its unit, and for a .rsf
// file among TOR meshes turned to (z, r).
struct Place {
  double factor = 1;
  bool swap = false;
  Vec operator()(Vec v) const { return swap ? Vec{v.y * factor, v.x * factor} : Vec{v.x * factor, v.y * factor}; }
};

// A row of the legend: a swatch and its text, already made safe for XML.
struct LegendRow {
  enum class Swatch { line, thick, fill, dot } swatch = Swatch::line;
  std::string colour;
  std::string text;
};

class Frame {
 public:
  // With the legend at the right; the picture is made wide and tall enough
  // for its rows.
  Frame(Extents e, const std::vector<LegendRow>& legend);

  double x(double v) const { return kLeft + kPad + (v - e_.x0) * scale_; }
  double y(double v) const { return kTop + kPad + (e_.y1 - v) * scale_; }
  double scale() const { return scale_; }

  // The start of the document: the title, and under it a subtitle if any;
  // `css` adds to the style sheet.
  void head(std::string& o, std::string_view title, std::string_view subtitle, std::string_view css = {}) const;
  // The frame, the grid and the ticks with their labels, and the axis names.
  void axes(std::string& o, std::string_view xname, std::string_view yname) const;
  // A circle where each finding with a place is.
  void findings(std::string& o, const Findings& f, const Place& place) const;
  void legend(std::string& o, const std::vector<LegendRow>& rows) const;
  void tail(std::string& o) const;

  static constexpr double kLeft = 90, kTop = 76, kBottom = 56, kRight = 24, kPad = 16;
  static constexpr double kRow = 18;      // height of a legend row

 private:
  template <class F>
  void tick_run(double lo, double hi, F each) const;

  Extents e_;
  double scale_ = 1, plot_w_ = 0, plot_h_ = 0, width_ = 0, height_ = 0;
  Ticks ticks_;
};

// ` NAME="V"`, V to two decimals: every length and place in the picture.
void attr(std::string& o, const char* name, double v);
// x1, y1, x2, y2 of a line.
void coords(std::string& o, double x1, double y1, double x2, double y2);

// Text of a file made safe for XML: markup characters escaped, anything but
// printable ASCII written as '?'.
void append_escaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

}  // namespace radomeview
