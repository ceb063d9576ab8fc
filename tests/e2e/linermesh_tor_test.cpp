// linermesh end to end: the TOR text where layer numbers get two digits, the
// stacking sign, the unit words and the rejected answers; then the geometry
// that CHAMP will see, by evaluating the file's expressions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/scenario.h"
#ifdef HAVE_RADOMEVIEW
#include <cstdio>
#include <optional>

#include "radomeview/report.h"
#endif

namespace {

struct Shroud {
  std::vector<std::array<double, 4>> layers;  // permittivity, permeability, loss tangent, thickness
  double angle = 30, length = 10, z = 0, r = 5;
  int unit = 1;
  std::string name = "liner";
  int connection_end = 1, far_end = 0;
  std::string file = "out.tor";
};

std::string answer_lines(const Shroud& s) {
  std::ostringstream a;
  a.precision(10);
  a << s.file << "\n" << s.layers.size() << "\n";
  for (const auto& l : s.layers) a << l[0] << " " << l[1] << " " << l[2] << "\n" << l[3] << "\n";
  a << s.angle << "\n" << s.length << "\n" << s.z << " " << s.r << "\n" << s.unit << "\n" << s.name << "\n";
  a << s.connection_end << " " << s.far_end << "\n";
  return a.str();
}

// From the console (mode 0), or from the answer file shroud.ans (mode 1).
proc::Result run(const std::string& answers, bool from_file) {
  proc::Request rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/linermesh";
  if (from_file) rq.before["shroud.ans"] = answers;
  rq.stdin_bytes = from_file ? "1\nshroud.ans\n" : "0\n" + answers;
  return proc::run(rq);
}

// The TOR file's records; both modes must write the same bytes.
std::vector<std::string> tor_records(const Shroud& s) {
  std::string bytes[2];
  for (int mode = 0; mode < 2; ++mode) {
    const proc::Result r = run(answer_lines(s), mode == 1);
    EXPECT_EQ(r.status, 0) << r.err;
    bytes[mode] = r.files.count(s.file) ? r.files.at(s.file) : "";
  }
  EXPECT_EQ(bytes[0], bytes[1]) << "console and answer-file runs differ";
  std::vector<std::string> records;
  std::size_t at = 0;
  for (std::size_t end; (end = bytes[0].find("\r\n", at)) != std::string::npos; at = end + 2) {
    records.push_back(bytes[0].substr(at, end - at));
  }
  EXPECT_EQ(at, bytes[0].size()) << "the file does not end with a whole record";
  return records;
}

// `count` records from the one equal to `first`.
std::vector<std::string> block(const std::vector<std::string>& records, const std::string& first, std::size_t count) {
  auto at = std::find(records.begin(), records.end(), first);
  if (at == records.end()) return {"(no record " + first + ")"};
  return {at, at + std::min<std::ptrdiff_t>(count, records.end() - at)};
}

Shroud layered(int n, double angle) {
  Shroud s;
  s.angle = angle;
  for (int j = 1; j <= n; ++j) s.layers.push_back({1.0 + j, 1.0, 0.001 * j, 0.01 * j});
  return s;
}

// The first cumulative thickness moves one column right with the plus sign.
TEST(LinermeshTor, FirstCumulativeThicknessBySign) {
  const std::pair<double, const char*> cases[] = {
      {0, R"x(  value            : "-ref(SHTH1)")x"},
      {90, R"x(  value            : "-ref(SHTH1)")x"},
      {90.5, R"x(  value            :  "ref(SHTH1)")x"},
      {180, R"x(  value            :  "ref(SHTH1)")x"},
  };
  for (const auto& [angle, value] : cases) {
    SCOPED_TRACE(angle);
    EXPECT_EQ(block(tor_records(layered(1, angle)), " TTS1    real_variable", 3).back(), value);
  }
}

TEST(LinermeshTor, LayerNumbersOfTwoDigits) {
  const std::vector<std::string> variables = {
      " SHTH9   real_variable", "(", "  value            :   9.0000E-02", ")", "",
      " TTS9    real_variable", "(", R"x(  value            : "ref(TTS8)+ref(SHTH9)")x", ")", "",
      " SHTH10   real_variable", "(", "  value            :   1.0000E-01", ")", "",
      " TTS10    real_variable", "(", R"x(  value            : "ref(TTS9)+ref(SHTH10)")x", ")", "",
      " SHTH11   real_variable", "(", "  value            :   1.1000E-01", ")", "",
      " TTS11    real_variable", "(", R"x(  value            : "ref(TTS10)+ref(SHTH11)")x", ")", "",
      " DTR     real_variable"};
  const std::vector<std::string> rows[2] = {
      {R"x(       21   "ref(SHCZ)"   "ref(SHCR)+ref(TTS10)/ref(UVZS)")x",
       R"x(       22   "ref(SHEZ)-ref(UVRS)*ref(TTS10)"   "ref(SHER)+ref(UVZS)*ref(TTS10)")x"},
      {R"x(       21   "ref(SHCZ)-ref(UVRS)*ref(TTS10)"   "ref(SHCR)+ref(UVZS)*ref(TTS10)")x",
       R"x(       22   "ref(SHEZ)"   "ref(SHER)+ref(TTS10)/ref(UVZS)")x"}};
  for (int radial_end = 0; radial_end < 2; ++radial_end) {
    Shroud s = layered(11, 120);
    s.connection_end = radial_end == 0 ? 1 : 0;
    s.far_end = radial_end == 1 ? 1 : 0;
    const auto records = tor_records(s);
    EXPECT_EQ(block(records, variables[0], variables.size()), variables);
    EXPECT_EQ(block(records, rows[radial_end][0], 2), rows[radial_end]);
    EXPECT_EQ(block(records, "       11  1.2000E+01  1.0000E+00  1.1000E-02", 2).back(), "   ),");
    EXPECT_EQ(block(records, "         12    23    24  11   0   -1.0    0.0", 2).back(),
              "         13     1     3   0   1   -1.0    0.0");
  }
}

TEST(LinermeshTor, UnitWordEndsTheFile) {
  const char* words[] = {"in", "ft", "mm", "cm", "m "};
  for (int code = 1; code <= 5; ++code) {
    Shroud s;
    s.unit = code;
    const auto records = tor_records(s);
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(records.end() - 3, records.end()),
              (std::vector<std::string>{"    ),", std::string("  length_unit       : ") + words[code - 1], "  )"}));
  }
}

TEST(LinermeshTor, NamesAreCutToTheirFields) {
  Shroud s;
  s.name = "ABCDEFGHIJKLMNOPQRSTUVWXY";
  const std::string kept = std::string(66, 'o') + ".tor";
  s.file = kept + " XXXXX";  // a remark after the field; a name cut inside a word is refused
  const proc::Result r = run(answer_lines(s), true);
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.files.count(kept), 1u);
  EXPECT_NE(r.files.at(kept).find("\r\nABCDEFGHIJKLMNOPQRST bor_mesh\r\n"), std::string::npos);
}

// Answers that the file could not hold, and a dialogue cut short: the run
// ends before the TOR file is opened, so none is left.
TEST(LinermeshTor, FailedDialogueLeavesNoFile) {
  const std::string all = answer_lines(Shroud{});
  struct Case {
    bool from_file;
    std::string answers;
    const char* err;
    int status;
  } cases[] = {
      {false, "out.tor\n0\n30\n10\n0 5\n0\n",
       "textio: severe (64): unit code 0 is not one of 1 to 5, unit 5, file CONIN$\n", 64},
      {true, "out.tor\n0\n30\n10\n0 5\n6\nx\n1 1\n",
       "textio: severe (64): unit code 6 is not one of 1 to 5, unit 50, file shroud.ans\n", 64},
      {true, "out.tor\n2147483647\n",
       "textio: severe (64): number of absorber layers 2147483647 is above 99, unit 50, file shroud.ans\n", 64},
      {true, all.substr(0, all.size() - 4), "textio: severe (24): end-of-file during read, unit 50, file shroud.ans\n",
       24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    const proc::Result r = run(c.answers, c.from_file);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.files.count("out.tor"), 0u);
  }
}

// Evaluates an expression of the file: ref(NAME) of a name defined before,
// + - * /, unary minus, SIN, COS, ATAN, numbers and parentheses.
struct Evaluator {
  const std::map<std::string, double>& names;
  std::string s;
  std::size_t at = 0;

  double operator()(const std::string& text) {
    s = text;
    at = 0;
    const double v = sum();
    if (at != s.size()) throw std::runtime_error("cannot read " + s);
    return v;
  }
  bool eat(const std::string& word) {
    if (s.compare(at, word.size(), word) != 0) return false;
    at += word.size();
    return true;
  }
  double sum() {
    double v = product();
    while (true) {
      if (eat("+")) v += product();
      else if (eat("-")) v -= product();
      else return v;
    }
  }
  double product() {
    double v = factor();
    while (true) {
      if (eat("*")) v *= factor();
      else if (eat("/")) v /= factor();
      else return v;
    }
  }
  double factor() {
    if (eat("-")) return -factor();
    if (eat("SIN(")) return std::sin(closed(sum()));
    if (eat("COS(")) return std::cos(closed(sum()));
    if (eat("ATAN(")) return std::atan(closed(sum()));
    if (eat("(")) return closed(sum());
    if (eat("ref(")) {
      const std::size_t close = s.find(')', at);
      const std::string name = s.substr(at, close - at);
      if (close == std::string::npos || names.count(name) == 0) throw std::runtime_error("undefined " + name);
      at = close + 1;
      return names.at(name);
    }
    char* end = nullptr;
    const double v = std::strtod(s.c_str() + at, &end);
    if (end == s.c_str() + at) throw std::runtime_error("cannot read " + s);
    at = static_cast<std::size_t>(end - s.c_str());
    return v;
  }
  double closed(double v) {
    if (!eat(")")) throw std::runtime_error("unclosed parenthesis in " + s);
    return v;
  }
};

// The text between the next pair of double quotes from *from on.
std::string quoted(const std::string& text, std::size_t* from) {
  const std::size_t open = text.find('"', *from), close = text.find('"', open + 1);
  if (close == std::string::npos) throw std::runtime_error("no quoted text in " + text);
  *from = close + 1;
  return text.substr(open + 1, close - open - 1);
}

struct Mesh {
  std::map<std::string, double> names;
  std::vector<std::array<double, 3>> nodes;  // number, Z, R
  std::vector<std::array<int, 5>> segments;  // number, two nodes, two regions
  std::vector<std::string> segment_texts;
};

// Reads the file as CHAMP would, each variable evaluated where it stands.
Mesh evaluate(const std::vector<std::string>& rec) {
  Mesh m;
  Evaluator eval{m.names, {}, 0};
  std::size_t i = 0;
  for (; i + 4 < rec.size() && rec[i].ends_with("real_variable"); i += 5) {
    const std::string value = rec[i + 2].substr(21);
    std::size_t from = 0;
    m.names[rec[i].substr(1, rec[i].find(' ', 1) - 1)] =
        value.find('"') != std::string::npos ? eval(quoted(value, &from)) : std::stod(value);
  }
  for (i = std::find(rec.begin(), rec.end(), "  nodes             : table") - rec.begin() + 2;
       i < rec.size() && rec[i] != "    ),"; ++i) {
    std::size_t from = 0;
    const double z = eval(quoted(rec[i], &from));
    m.nodes.push_back({std::stod(rec[i]), z, eval(quoted(rec[i], &from))});
  }
  for (i += 4; i < rec.size() && rec[i] != "    ),"; ++i) {
    std::istringstream row(rec[i].substr(0, 31));
    std::array<int, 5> g{};
    row >> g[0] >> g[1] >> g[2] >> g[3] >> g[4];
    m.segments.push_back(g);
    m.segment_texts.push_back(rec[i].substr(31));
  }
  return m;
}

// radomeview reads the same file and puts every node where the evaluation
// above does. It finds nothing wrong, but for a stack whose end segments
// really cross (`crossing`, the two segment numbers): a radial cut on a
// shroud nearly along R, or layers thicker than the shroud is long.
void radomeview_agrees(const std::vector<std::string>& records, const Mesh& m, const std::string& crossing) {
#ifdef HAVE_RADOMEVIEW
  std::string bytes;
  for (const std::string& r : records) bytes += r + "\r\n";
  radomeview::MemorySource source(bytes);
  radomeview::FileReport report;
  ASSERT_TRUE(radomeview::check_file(source, "out.tor", std::nullopt, &report));
  EXPECT_EQ(report.kind, radomeview::Kind::tor);
  std::string findings;
  for (const auto& k : report.findings.kept()) findings += radomeview::finding_line("out.tor", k) + "\n";
  if (crossing.empty()) {
    EXPECT_EQ(findings, "");
  } else {
    EXPECT_EQ(findings.rfind("out.tor:", 0), 0u) << findings;
    EXPECT_NE(findings.find(": error: segments " + crossing + " cross at ("), std::string::npos) << findings;
    EXPECT_EQ(std::count(findings.begin(), findings.end(), '\n'), 1) << findings;
  }
  ASSERT_EQ(report.tor()->meshes.size(), 1u);
  const auto& nodes = report.tor()->meshes[0].nodes;
  ASSERT_EQ(nodes.size(), m.nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "radomeview node " << i + 1);
    EXPECT_EQ(nodes[i].number, m.nodes[i][0]);
    EXPECT_TRUE(nodes[i].placed);
    for (int c = 0; c < 2; ++c) {
      const double want = m.nodes[i][1 + c], got = c == 0 ? nodes[i].at.x : nodes[i].at.y;
      EXPECT_LE(std::abs(got - want), 1e-12 * std::max(1.0, std::abs(want))) << (c == 0 ? "Z " : "R ") << got;
    }
  }
#else
  static_cast<void>(records);
  static_cast<void>(m);
  static_cast<void>(crossing);
#endif
}

void check_geometry(const Shroud& s, const std::string& crossing = "") {
  const int n = static_cast<int>(s.layers.size());
  const double a = s.angle * std::acos(-1.0) / 180.0;
  const double uz = std::cos(a), ur = std::sin(a);  // along the shroud; the normal is (-ur, uz)
  const double ends[2][2] = {{s.z, s.r}, {s.z + s.length * uz, s.r + s.length * ur}};
  const int cut[2] = {s.connection_end, s.far_end};
  Mesh m;
  std::vector<std::string> records;
  try {
    records = tor_records(s);
    m = evaluate(records);
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
  radomeview_agrees(records, m, crossing);
  auto near = [](double x, double y) { return std::abs(x - y) <= 1e-9 * std::max({1.0, std::abs(x), std::abs(y)}); };

  // The layers stack towards the axis; across the axis (90 degrees) towards +Z.
  const double inward = (uz > 1e-9 || s.angle == 90) ? -1.0 : 1.0;
  ASSERT_EQ(m.nodes.size(), 2u * n + 2);
  double total = 0;
  for (int j = 0; j <= n; ++j) {
    if (j > 0) total += s.layers[j - 1][3];
    const double t = inward * total;  // the signed offset of surface j from the metal
    if (j > 0) {
      EXPECT_TRUE(near(m.names["TTS" + std::to_string(j)], t)) << "TTS" << j;
    }
    for (int e = 0; e < 2; ++e) {
      const auto& node = m.nodes[2 * j + e];
      SCOPED_TRACE(testing::Message() << "node " << 2 * j + e + 1);
      EXPECT_EQ(node[0], 2 * j + e + 1);
      const double dz = node[1] - ends[e][0], dr = node[2] - ends[e][1];
      EXPECT_TRUE(near(-dz * ur + dr * uz, t)) << "not on surface " << j;
      if (j > 0 && cut[e] == 1) {
        EXPECT_TRUE(near(dz, 0)) << "a radial end keeps the metal's Z";
      } else {
        EXPECT_TRUE(near(dz * uz + dr * ur, 0)) << "not on the end's normal";
      }
    }
  }

  // With nodes 2s+1 and 2s+2 placed at the two ends of surface s: first the
  // surfaces from the metal outward, each between layers s and s+1 (0 beyond
  // the last), then the connection and far end of each layer, between it and
  // the outside.
  std::vector<std::array<int, 5>> want;
  for (int surface = 0; surface <= n; ++surface) {
    want.push_back({0, 2 * surface + 1, 2 * surface + 2, surface, surface < n ? surface + 1 : 0});
  }
  for (int j = 1; j <= n; ++j) {
    for (int e = 0; e < 2; ++e) want.push_back({0, 2 * j - 1 + e, 2 * j + 1 + e, 0, j});
  }
  ASSERT_EQ(m.segments.size(), want.size());
  for (std::size_t k = 0; k < want.size(); ++k) {
    want[k][0] = static_cast<int>(k + 1);
    EXPECT_EQ(m.segments[k], want[k]) << "segment " << k + 1;
    EXPECT_EQ(m.segment_texts[k], k == 0 ? "    0.0    0.0" : "   -1.0    0.0") << "segment " << k + 1;
  }
}

TEST(LinermeshGeometry, EveryOrientationPairAndAngle) {
  const int pairs[][2] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}, {2, 2}};
  for (double angle : {30.0, 90.5, 135.0, 180.0, -20.0}) {
    for (const auto& p : pairs) {
      SCOPED_TRACE(testing::Message() << "angle " << angle << ", ends " << p[0] << " " << p[1]);
      Shroud s{{{4, 1, 0.5, 0.25}, {2, 1.5, 0.25, 0.5}, {3, 1, 0.125, 0.125}}, angle, 12.5, -3, 7.25};
      s.connection_end = p[0];
      s.far_end = p[1];
      // At 90.5 degrees the radial far end of layer 1 runs back 28 lengths
      // of its thickness, across the normal connection end.
      check_geometry(s, angle == 90.5 && p[0] == 0 && p[1] == 1 ? "5 and 6" : "");
    }
  }
}

TEST(LinermeshGeometry, LayerCounts) {
  for (int n : {0, 1, 2, 11, 99}) {
    SCOPED_TRACE(n);
    Shroud s = layered(n, 60);
    s.connection_end = 0;
    s.far_end = 1;
    // 99 layers are 49.5 thick on a shroud 10 long: past 5.77 of thickness
    // the normal connection end meets the radial far end, in layer 34.
    check_geometry(s, n == 99 ? "167 and 168" : "");
  }
  // Across the axis only the normal cut is meaningful: a radial one divides
  // by cos 90 degrees.
  Shroud across = layered(2, 90);
  across.connection_end = across.far_end = 0;
  check_geometry(across);
}

}  // namespace
