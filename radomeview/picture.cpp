#include "radomeview/picture.h"

#include <algorithm>
#include <cmath>

#include "radomeview/numtext.h"

namespace radomeview {

void append_escaped(std::string& out, std::string_view text) {
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
  }
}

std::string escaped(std::string_view text) {
  std::string s;
  append_escaped(s, text);
  return s;
}

void attr(std::string& o, const char* name, double v) {
  o += ' ';
  o += name;
  o += "=\"";
  append_fixed2(o, v);
  o += '"';
}

void coords(std::string& o, double x1, double y1, double x2, double y2) {
  attr(o, "x1", x1);
  attr(o, "y1", y1);
  attr(o, "x2", x2);
  attr(o, "y2", y2);
}

namespace {

constexpr double kPlot = 720;  // the longer side of the data, in pixels

const char* const kStyle =
    "<style>"
    ".frame{fill:#fff;stroke:#444;stroke-width:1}"
    ".grid{stroke:#e4e4e4;stroke-width:1}"
    ".tick{stroke:#444;stroke-width:1}"
    ".curve{fill:none;stroke:#1f5fa8;stroke-width:1.5;stroke-linejoin:round}"
    ".marker{fill:#1f5fa8}"
    ".segment{stroke:#333;stroke-width:1.2}"
    ".metal{stroke:#000;stroke-width:3}"
    ".layer{stroke:none;fill-opacity:0.85}"
    ".finding{fill:none;stroke-width:2}"
    ".finding.error{stroke:#d00}"
    ".finding.warning{stroke:#e90}"
    ".title{font-size:16px;font-weight:bold}"
    ".node-label{font-size:10px;fill:#333}";

void line(std::string& o, const char* cls, double x1, double y1, double x2, double y2) {
  o += std::string("<line class=\"") + cls + "\"";
  coords(o, x1, y1, x2, y2);
  o += "/>\n";
}

}  // namespace

Frame::Frame(Extents e, const std::vector<LegendRow>& legend) {
  if (!e.any) e = Extents{0, 1, 0, 1, true};
  if (!(e.x1 > e.x0) && !(e.y1 > e.y0)) {
    // A single place: a unit square about it.
    e = Extents{e.x0 - 0.5, e.x0 + 0.5, e.y0 - 0.5, e.y0 + 0.5, true};
  }
  double w = e.x1 - e.x0, h = e.y1 - e.y0;
  if (!(w > 0)) w = 0;
  if (!(h > 0)) h = 0;
  scale_ = kPlot / std::max(w, h);
  if (!std::isfinite(scale_) || !(scale_ > 0)) scale_ = 1;
  e_ = e;
  plot_w_ = w * scale_ + 2 * kPad;
  plot_h_ = h * scale_ + 2 * kPad;
  // The legend's column: its swatch, and room for its longest text at
  // about 7 pixels a character.
  std::size_t chars = 0;
  for (const LegendRow& r : legend) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < r.text.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(r.text[i]);
      if (c == '&') i = r.text.find(';', i);  // an entity is one character
      if (i == std::string::npos) break;
      if ((c & 0xC0) != 0x80) ++n;  // nor is a character of several bytes more
    }
    chars = std::max(chars, n);
  }
  const double legend_w = legend.empty() ? 0 : std::max(260.0, 48 + 7.0 * static_cast<double>(chars));
  width_ = kLeft + plot_w_ + kRight + legend_w;
  height_ = std::max(kTop + plot_h_ + kBottom, kTop + static_cast<double>(legend.size()) * kRow + 24);
  ticks_ = round_ticks(std::max(w, h) > 0 ? std::max(w, h) : 1, 8);
}

void Frame::head(std::string& o, std::string_view title, std::string_view subtitle, std::string_view css) const {
  o += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  attr(o, "width", width_);
  attr(o, "height", height_);
  o += " viewBox=\"0 0 ";
  append_fixed2(o, width_);
  o += " ";
  append_fixed2(o, height_);
  o += "\" font-family=\"sans-serif\" font-size=\"12\">\n<title>";
  append_escaped(o, title);
  o += "</title>\n";
  o += kStyle;
  o += css;
  o += "</style>\n";
  o += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n<text class=\"title\"";
  attr(o, "x", kLeft);
  o += " y=\"24\">";
  append_escaped(o, title);
  o += "</text>\n";
  if (!subtitle.empty()) {
    o += "<text class=\"file\"";
    attr(o, "x", kLeft);
    o += " y=\"44\">";
    append_escaped(o, subtitle);
    o += "</text>\n";
  }
}

template <class F>
void Frame::tick_run(double lo, double hi, F each) const {
  const double step = ticks_.step();
  if (!(step > 0) || !std::isfinite(lo / step) || !std::isfinite(hi / step)) return;
  const double first = std::ceil(lo / step), last = std::floor(hi / step);
  // Tick numbers must stay whole numbers of a long long, labels included.
  if (!(last - first < 100) || !(std::abs(first) < 1e12) || !(std::abs(last) < 1e12)) return;
  for (double k = first; k <= last; k += 1) {
    const long long n = static_cast<long long>(k);
    each(ticks_.value(n), ticks_.label(n));
  }
}

void Frame::axes(std::string& o, std::string_view xname, std::string_view yname) const {
  const double top = kTop, bottom = kTop + plot_h_, left = kLeft, right = kLeft + plot_w_;
  o += "<rect class=\"frame\"";
  attr(o, "x", left);
  attr(o, "y", top);
  attr(o, "width", plot_w_);
  attr(o, "height", plot_h_);
  o += "/>\n<g class=\"axes\">\n";
  const double lo_x = e_.x0 - kPad / scale_, hi_x = e_.x0 + (plot_w_ - kPad) / scale_;
  const double lo_y = e_.y1 - (plot_h_ - kPad) / scale_, hi_y = e_.y1 + kPad / scale_;
  tick_run(lo_x, hi_x, [&](double v, const std::string& label) {
    const double px = x(v);
    line(o, "grid", px, top, px, bottom);
    o += "<line class=\"tick\" data-axis=\"x\" data-value=\"" + label + "\"";
    coords(o, px, bottom, px, bottom + 6);
    o += "/>\n<text";
    attr(o, "x", px);
    attr(o, "y", bottom + 20);
    o += " text-anchor=\"middle\">" + label + "</text>\n";
  });
  tick_run(lo_y, hi_y, [&](double v, const std::string& label) {
    const double py = y(v);
    line(o, "grid", left, py, right, py);
    o += "<line class=\"tick\" data-axis=\"y\" data-value=\"" + label + "\"";
    coords(o, left - 6, py, left, py);
    o += "/>\n<text";
    attr(o, "x", left - 9);
    attr(o, "y", py + 4);
    o += " text-anchor=\"end\">" + label + "</text>\n";
  });
  o += "<text class=\"axis-name\"";
  attr(o, "x", right);
  attr(o, "y", bottom + 40);
  o += " text-anchor=\"end\">";
  append_escaped(o, xname);
  o += "</text>\n<text class=\"axis-name\"";
  attr(o, "x", left);
  attr(o, "y", top - 6);
  o += " text-anchor=\"start\">";
  append_escaped(o, yname);
  o += "</text>\n</g>\n";
}

void Frame::findings(std::string& o, const Findings& f, const Place& place) const {
  o += "<g class=\"findings\">\n";
  for (const Finding& k : f.kept()) {
    if (!k.placed) continue;
    const Vec at = place(Vec{k.x, k.y});
    if (!std::isfinite(at.x) || !std::isfinite(at.y)) continue;
    o += std::string("<circle class=\"finding ") + severity_name(k.severity) + "\"";
    attr(o, "cx", x(at.x));
    attr(o, "cy", y(at.y));
    o += " r=\"7\"><title>" + std::to_string(k.line) + ": ";
    append_escaped(o, k.text);
    o += "</title></circle>\n";
  }
  o += "</g>\n";
}

void Frame::legend(std::string& o, const std::vector<LegendRow>& rows) const {
  if (rows.empty()) return;
  o += "<g class=\"legend\">\n";
  double yy = kTop + 14;
  const double xx = kLeft + plot_w_ + 24;
  for (const LegendRow& r : rows) {
    switch (r.swatch) {
      case LegendRow::Swatch::fill:
        o += "<rect";
        attr(o, "x", xx);
        attr(o, "y", yy - 10);
        o += " width=\"14\" height=\"12\" fill=\"" + r.colour + "\"/>\n";
        break;
      case LegendRow::Swatch::dot:
        o += "<circle";
        attr(o, "cx", xx + 7);
        attr(o, "cy", yy - 4);
        o += " r=\"3\" fill=\"" + r.colour + "\"/>\n";
        break;
      case LegendRow::Swatch::line:
      case LegendRow::Swatch::thick:
        o += "<line class=\"swatch\" style=\"stroke:" + r.colour +
             (r.swatch == LegendRow::Swatch::thick ? ";stroke-width:3\"" : ";stroke-width:1.2\"");
        coords(o, xx, yy - 4, xx + 14, yy - 4);
        o += "/>\n";
        break;
    }
    o += "<text";
    attr(o, "x", xx + 20);
    attr(o, "y", yy);
    o += '>' + r.text + "</text>\n";
    yy += kRow;
  }
  o += "</g>\n";
}

void Frame::tail(std::string& o) const { o += "</svg>\n"; }

}  // namespace radomeview
