// Expressions, the kind of a file, and the meaning of TOR objects.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "radomeview/expr.h"
#include "radomeview/kind.h"
#include "radomeview/report.h"
#include "radomeview/trig.h"

namespace radomeview {
namespace {

TEST(Expressions, ValuesAndReferences) {
  const struct {
    const char* text;
    std::vector<double> values;
    double want;
  } cases[] = {
      {"ATAN(1.)/45.", {}, std::atan(1.0) / 45.0},
      {"COS(ref(SHANG)*ref(DTR))", {30, std::atan(1.0) / 45.0}, std::cos(30 * (std::atan(1.0) / 45.0))},
      {"-ref(SHTH1)", {0.25}, -0.25},
      {"ref(TTS1)-ref(SHTH2)", {-0.25, 0.5}, -0.75},
      {"ref( a )+Ref(B)*REF(c)", {1, 2, 3}, 7},
      {"sin(0)+Sqrt(16)", {}, 4},
      {"ref(SHCR)+ref(TTS1)/ref(UVZS)", {5, 1, 0}, INFINITY},
      {"2-3-4", {}, -5},
      {"8/4/2", {}, 1},
      {"2*(3+4)", {}, 14},
      {"2^3^2", {}, 512},
      {"sind(90)+Cosd(0)+TAND(45)", {}, 3},
      {"atand(1)", {}, 45},
      {"pi()/2", {}, std::acos(-1.0) / 2},
      {"exp(0)*4*atan(1)", {}, std::acos(-1.0)},
      {"2*sqrt(ref(m1_f)*(ref(m1_dx_off)))", {2, 2}, 4},
      {"ref(dual_frame.M1.csy)", {7}, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Prepared p = prepare(c.text);
    ASSERT_EQ(p.refs.size(), c.values.size());
    double v = 0;
    std::string error;
    ASSERT_TRUE(evaluate(p, c.values, &v, &error)) << error;
    EXPECT_EQ(v, c.want);  // the same operations in the same order: the same bits
  }
  // A plain number, a lone reference, either negated, or one operation on
  // two of them is not handed to the evaluator: the value must be the one
  // it gives, in parentheses.
  for (const char* simple : {"5", "0", "-0", "0.1", "-0.3", ".5", "5.", "1e-5", "2.5E+3", "123456789012345678",
                             "0.30000000000000004", "9007199254740993", "1e22", "1e23", "-4.00000E+00", "ref(x)",
                             "-ref(x)", "ref(x)+5", "ref(x)-ref(y)", "0.1*3", "1e-5+ref(y)", "2E+3-1e-3", "ref(y)/0.",
                             "-0*1", "ref(x)/ref(y)", "-ref(x)*2", "1-2", "5-3+1", "ref(x)*ref(y)*ref(x)"}) {
    SCOPED_TRACE(simple);
    double quick = 0, slow = 0;
    std::string error;
    const std::vector<double> values = {0.7, 0.3, 0.7};
    const Prepared p = prepare(simple);
    ASSERT_TRUE(evaluate(p, std::vector<double>(values.begin(), values.begin() + p.refs.size()), &quick, &error)) << error;
    const Prepared q = prepare(std::string("(") + simple + ")");
    ASSERT_TRUE(evaluate(q, std::vector<double>(values.begin(), values.begin() + q.refs.size()), &slow, &error)) << error;
    EXPECT_EQ(std::signbit(quick), std::signbit(slow));
    EXPECT_EQ(quick, slow);
  }
  // Names that only look like the evaluator's own are no references.
  for (const char* text : {"ref(a)+_r01", "_r0", "ref(a)*_r1"}) {
    double v;
    std::string error;
    EXPECT_FALSE(evaluate(prepare(text), {1, 2}, &v, &error)) << text;
  }
  const Prepared p = prepare("ref(Shcz)+REF(x_1)");
  EXPECT_EQ(p.refs, (std::vector<std::string>{"Shcz", "x_1"}));
  // ref( only where no name or number runs into it.
  for (const char* not_ref : {"xref(a)", "2ref(a)", "a.ref(b)", "ref_x(a)"}) {
    EXPECT_TRUE(prepare(not_ref).refs.empty()) << not_ref;
  }
  const struct {
    const char* text;
    const char* error;  // the start of the message, or empty for any
  } bad[] = {
      {"2*(3", ""}, {"", ""}, {"ref(", ""}, {"1+", ""}, {"ref(A", ""}, {"2 3", ""},
      {"foo(2)", "unknown function 'foo'"}, {"LOG(2)", "unknown function 'LOG'"},
      {"1+xref(a)", "unknown function 'xref'"}, {"abs(-1)", "unknown function 'abs'"},
  };
  for (const auto& c : bad) {
    double v;
    std::string error;
    EXPECT_FALSE(evaluate(prepare(c.text), {}, &v, &error)) << c.text;
    EXPECT_FALSE(error.empty()) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << ": " << error;
  }
}

// Angles near the axes keep their true tiny values (the residual of the double
// nearest to the angle) on every platform, and every angle of a circle
// agrees with the host library to within two units in the last place where
// that library is glibc's: the Windows one is no reference near the axes.
TEST(Trig, SameValuesOnEveryPlatform) {
  const double dtr = std::atan(1.0) / 45.0;
  const struct {
    double (*f)(double);
    double degrees;
    double want;
  } cases[] = {
      {portable_cos, 90, 6.123233995736766e-17},  {portable_sin, 180, 1.2246467991473532e-16},
      {portable_cos, 270, -1.8369701987210297e-16}, {portable_sin, 360, -2.4492935982947064e-16},
      {portable_cos, 0, 1},  {portable_sin, 0, 0}, {portable_sin, 90, 1}, {portable_cos, 180, -1},
      {portable_tan, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    EXPECT_EQ(c.f(c.degrees * dtr), c.want);
  }
  EXPECT_GT(std::fabs(portable_tan(90 * dtr)), 1e16);
  EXPECT_TRUE(std::isnan(portable_cos(NAN)));
  // Reduced exactly, whatever the platform's own sine does with it.
  EXPECT_EQ(portable_sin(1e300), -0.81788191211590855);
#ifdef __GLIBC__
  for (int tenths = -7200; tenths <= 7200; ++tenths) {
    const double x = tenths / 10.0 * dtr;
    const double pairs[][2] = {{portable_sin(x), std::sin(x)}, {portable_cos(x), std::cos(x)}};
    for (const auto& p : pairs) {
      EXPECT_LE(std::fabs(p[0] - p[1]), 2 * std::fabs(std::nextafter(p[1], INFINITY) - p[1])) << tenths;
    }
  }
#endif
}

FileReport report_of(const std::string& bytes, std::optional<Kind> kind = std::nullopt, bool* known = nullptr) {
  MemorySource source(bytes);
  FileReport r;
  const bool k = check_file(source, "f", kind, &r);
  if (known) *known = k;
  return r;
}

TEST(Kind, FromTheContent) {
  const struct {
    const char* bytes;
    std::optional<Kind> kind;
  } cases[] = {
      {"          2\r\n  1.0  2.0\r\n  3.0  4.0\r\n", Kind::points},
      {"           0\r\n", Kind::points},
      {"DISH\r\n   2   1   0\r\n  0.0  0.0\r\n  1.0  1.0\r\n", Kind::rsf},
      {"12\r\n   0   1   0\r\n", Kind::rsf},  // a label that is a number, and no point
      {"LBL\r\n****   1   0\r\n  0.0  0.0\r\n", Kind::rsf},
      {"LBL\r\n   2   1   0\r\n NaN\r\n", Kind::rsf},  // a broken point is a finding, not another kind
      {"           2\r\n  1.0  2.0  3.0\r\n", Kind::points},
      {" A   real_variable\r\n(\r\n  value : 1.0\r\n)\r\n", Kind::tor},
      {"x struct\n(\n)\n", Kind::tor},
      {"", std::nullopt},
      {"hello\r\nworld\r\n", std::nullopt},
      {"(\r\n", std::nullopt},
      {"LBL\r\n   3   2   1\r\n  0.0  0.0\r\n", Kind::rsf},  // another writer's count record
      {"LBL\r\n   3   1   x\r\n", std::nullopt},             // every word of it counts
      {"LBL\r\n   3   x   0\r\n", std::nullopt},
      {"LBL (f = 100)\r\n   1   1   0\r\n  0.0  0.0\r\n", Kind::rsf},
      {"// a project\r\n/* of\r\n many lines */ a real_variable ( value : 1 )\r\n", Kind::tor},
      {"bor_mesh  bor_mesh\r\n(\r\n)\r\n", Kind::tor},
      {"  bor_mesh\r\n(\r\n)\r\n", Kind::tor},  // no name: found, then an error
      {"a b c d\r\n(\r\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    bool known = false;
    const FileReport r = report_of(c.bytes, std::nullopt, &known);
    EXPECT_EQ(known, c.kind.has_value());
    if (c.kind) {
      EXPECT_EQ(r.kind, *c.kind);
    }
  }
}

std::string findings_of(const FileReport& r) {
  std::string s;
  for (const Finding& f : r.findings.kept()) s += finding_line("f", f) + "\n";
  return s;
}

// Values of variables whatever order they come in, and what cannot have one.
TEST(TorVariables, DependencyOrderAndFindings) {
  const auto var = [](const char* name, const char* value) {
    return std::string(" ") + name + "   real_variable\r\n(\r\n  value            : " + value + "\r\n)\r\n\r\n";
  };
  const struct {
    std::string text;
    const char* name;
    double value;  // NaN: none
    std::string findings;
  } cases[] = {
      {var("A", "\"ref(B)*2\"") + var("B", "  1.5000E+00"), "A", 3, ""},
      {var("a", "\"ref(B)+ref(b)\"") + var("B", "2.0"), "a", 4, ""},
      {var("A", "\"ref(B)\"") + var("B", "\"ref(C)\"") + var("C", "\"ref(A)\"") + var("D", "\"ref(A)+1\""), "D", NAN,
       "f:13: error: references in a cycle: A -> B -> C -> A\n"},
      {var("A", "\"ref(A)\""), "A", NAN, "f:3: error: references in a cycle: A -> A\n"},
      {var("A", "\"1/0\""), "A", NAN, "f:3: error: variable A: '1/0' is not finite (inf)\n"},
      {var("A", "NaN"), "A", NAN, "f:3: error: variable A 'NaN' is not finite\n"},
      {var("A", "\"ref(Z)\""), "A", NAN, "f:3: error: variable A: ref(Z) names no object\n"},
      {var("A", "1.0") + var("A", "2.0"), "A", 1,
       "f:6: error: object 'A' is defined again (first at line 1)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const FileReport r = report_of(c.text, Kind::tor);
    EXPECT_EQ(findings_of(r), c.findings);
    bool found = false;
    for (const Variable& v : r.tor()->variables) {
      if (v.name != c.name || found) continue;
      found = true;
      EXPECT_EQ(v.known, !std::isnan(c.value));
      if (v.known) {
        EXPECT_EQ(v.value, c.value);
      }
    }
    EXPECT_TRUE(found);
  }
}

// A long chain of references is evaluated without running out of stack.
TEST(TorVariables, LongChain) {
  std::string text = " V0   real_variable\r\n(\r\n  value : 1.0\r\n)\r\n";
  for (int i = 1; i <= 20000; ++i) {
    text += " V" + std::to_string(i) + "   real_variable\r\n(\r\n  value : \"ref(V" + std::to_string(i - 1) +
            ")+1\"\r\n)\r\n";
  }
  const FileReport r = report_of(text, Kind::tor);
  EXPECT_EQ(r.findings.errors(), 0u);
  EXPECT_EQ(r.tor()->variables.back().value, 20001);
}

TEST(Kind, CountRecords) {
  const struct {
    const char* record;
    Kind kind;
    long long count;  // -1: not read
    const char* error;
    const char* note;
  } cases[] = {
      {"   3   1   0", Kind::rsf, 3, "", ""},
      {"3 1.0 0.0", Kind::rsf, 3, "", ""},
      {"   3   0   1", Kind::rsf, 3, "",
       "the count record holds 0 and 1 after the count, where our programs write 1 and 0; the points are read as usual"},
      {"   3   1   x", Kind::rsf, 3, "second record '   3   1   x' is not the point count followed by two numbers", ""},
      {"   3   x   0", Kind::rsf, 3, "second record '   3   x   0' is not the point count followed by two numbers", ""},
      {"   3   1", Kind::rsf, 3, "second record '   3   1' is not the point count followed by two numbers", ""},
      {"****   1   0", Kind::rsf, -1, "the point count is asterisks: the value did not fit it", ""},
      {"           7", Kind::points, 7, "", ""},
      {"*****", Kind::points, -1, "the point count is asterisks: the value did not fit it", ""},
      {"  7  1", Kind::points, 7, "count record '  7  1' is not one whole number", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    const CountRecord r = read_count_record(c.record, c.kind);
    EXPECT_EQ(r.read, c.count >= 0);
    if (r.read) {
      EXPECT_EQ(r.count, c.count);
    }
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.note, c.note);
  }
}

// The syntax of objects: what is a mistake, and that a mistake inside one
// object leaves the next one read.
TEST(TorSyntax, MistakesAndWhatFollowsThem) {
  const std::string mesh = "m bor_mesh\r\n(\r\n  nodes : table\r\n  (\r\n    1 0 0\r\n    2 1 0\r\n  ),\r\n"
                           "  linear_segments : table ( 1 1 2 0 0 0.0 0.0 )\r\n)\r\n";
  const struct {
    std::string text;
    const char* findings;
  } cases[] = {
      {"c coor_sys ( a : struct(b: sequence(1, (2, 3)), c: \")\"), d : table ( 1 2 ) )\r\n" + mesh, ""},
      {"c other_type ( a : b : c ((( ) ) ) )\r\n" + mesh, ""},  // never read, only balanced
      {"v real_variable ( value : struct(a: , b: 1) )\r\n" + mesh,
       "f:1: error: expected the value of 'a', found \",\"\n"},
      {"v real_variable ( value 1 )\r\n" + mesh, "f:1: error: expected \":\" after 'value', found '1'\n"},
      {"v real_variable ( value : 1 2 3 )\r\n" + mesh,
       "f:1: error: expected \",\" or \")\" after the value of 'value', found '3'\n"},
      {"v real_variable ( value : ref(a b) )\r\n" + mesh,
       "f:1: error: expected \")\" after ref(a, found 'b'\n"},
      {"v real_variable ( : 1 )\r\n" + mesh, "f:1: error: expected an attribute name, found \":\"\n"},
      {"stray\r\n" + mesh, "f:1: error: expected an object: its name and type, then \"(\"\n"},
      {") " + mesh, "f:1: error: expected an object: its name and type, then \"(\", found \")\"\n"},
      {mesh + "n bor_mesh ( nodes : table ( 1 0 0\r\n",
       "f:10: error: table 'nodes' is not closed by \")\"\nf:10: error: object 'n' is not closed by \")\"\n"},
      {mesh + "v real_variable ( value : \"1\" /* to the end\r\n",
       "f:10: error: comment \"/*\" is not closed by \"*/\"\nf:10: error: object 'v' is not closed by \")\"\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const FileReport r = report_of(c.text, Kind::tor);
    std::string errors;
    for (const Finding& f : r.findings.kept()) {
      if (f.severity == Severity::error) errors += finding_line("f", f) + "\n";
    }
    EXPECT_EQ(errors, c.findings);
    ASSERT_EQ(r.tor()->meshes.size(), c.text.rfind("n bor_mesh", 0) == std::string::npos &&
                                              c.text.find("n bor_mesh") != std::string::npos ? 2u : 1u);
    EXPECT_EQ(r.tor()->meshes[0].segments.size(), 1u) << "the mesh after the mistake is read";
  }
}

// Rows of plain numbers are read in one pass, any other field by field:
// both routes must agree, on values and findings alike.
TEST(TorRows, EveryRouteAlike) {
  const struct {
    const char* nodes;     // the rows of the nodes table
    const char* segments;  // of linear_segments
    long long number;      // of the first node, and its place
    double z, r;
    const char* errors;
  } cases[] = {
      {"1 0.5 2\r\n 2 1 0", "1 1 2 0 0", 1, 0.5, 2, ""},
      {"   +1\t\t-0.5e1   .25  \r\n2 1 0", "+1 +1 +2 +0 +0 0.0 0.0", 1, -5, 0.25, ""},
      {"007 1. 2E+01\r\n2 1 0", "1 7 2 0 0 junk \"x\"", 7, 1, 20, ""},
      {"999999999999999999 1 2\r\n2 1 0", "1 999999999999999999 2 0 0", 999999999999999999, 1, 2, ""},
      {"1000000000000000000 1 2\r\n2 1 0", "1 1000000000000000000 2 0 0", 1000000000000000000, 1, 2, ""},
      {"1 12345678901234567890 0.1234567890123456789012\r\n2 1 0", "1 1 2 0 0", 1, 12345678901234567890.0,
       0.1234567890123456789012, ""},
      {"1 1e30 -1e-30\r\n2 1 0", "1 1 2 0 0", 1, 1e30, -1e-30, ""},
      {"1 \"2*2\" 3\r\n2 1 0", "1 1 2 0 0", 1, 4, 3, ""},
      {"-1 0 0\r\n2 1 0", "1 -1 2 0 0", -1, 0, 0, ""},
      {"1.0 0 0\r\n2 1 0", "1 2 2 0 0", 2, 1, 0, "f:4: error: node number '1.0' is not a whole number\n"},
      {"1 0 0 0\r\n2 1 0", "1 2 2 0 0", 2, 1, 0, "f:4: error: nodes row holds 4 fields, not 3\n"},
      {"1 0\r\n2 1 0", "1 2 2 0 0", 2, 1, 0, "f:4: error: nodes row holds 2 fields, not 3\n"},
      {"1 1e400 0\r\n2 1 0", "1 1 2 0 0", 1, 0, 0, "f:4: error: node 1 Z '1e400' is not finite\n"},
      {"1 0 0\r\n2 1 0", "1 1 2 0", 1, 0, 0,
       "f:8: error: linear_segments row holds 4 fields, not 5 or more\n"},
      {"1 0 0\r\n2 1 0", "1 1 2 0 0.5", 1, 0, 0, "f:8: error: segment region '0.5' is not a whole number\n"},
      {"1 0 0\r\n2 1 0", "1 1 2x 0 0", 1, 0, 0, "f:8: error: segment node '2x' is not a whole number\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.nodes) + " / " + c.segments);
    const std::string text = std::string("m bor_mesh\r\n(\r\n  nodes : table (\r\n") + c.nodes +
                             "\r\n  ),\r\n  linear_segments : table (\r\n" + c.segments + "\r\n  )\r\n)\r\n";
    const FileReport r = report_of(text, Kind::tor);
    std::string errors;
    for (const Finding& f : r.findings.kept()) {
      if (f.severity == Severity::error) errors += finding_line("f", f) + "\n";
    }
    EXPECT_EQ(errors, c.errors);
    ASSERT_EQ(r.tor()->meshes.size(), 1u);
    const Mesh& m = r.tor()->meshes[0];
    ASSERT_FALSE(m.nodes.empty());
    EXPECT_EQ(m.nodes[0].number, c.number);
    if (c.z != 0 || c.r != 0) {
      EXPECT_EQ(m.nodes[0].at.x, c.z);
      EXPECT_EQ(m.nodes[0].at.y, c.r);
    }
  }
}

// Rows of plain numbers are read as the table is parsed, the others (a
// comment, a quote, an expression) afterwards: the mesh holds them all in
// the order of the file.
TEST(TorRows, BothRoutesInTheOrderOfTheFile) {
  const struct {
    const char* nodes;
    const char* segments;
    std::vector<long long> node_numbers, segment_numbers;
  } cases[] = {
      {"1 0 0 // first\r\n2 1 0\r\n3 \"1+1\" 0\r\n4 3 0",
       "1 1 2 0 0 0.0 0.0 // first\r\n2 2 3 0 0 0.0 0.0\r\n3 3 4 0 0 \"x\" 0.0\r\n4 4 1 0 0 0.0 0.0", {1, 2, 3, 4},
       {1, 2, 3, 4}},
      {"4 3 0\r\n3 2 0\r\n2 \"1\" 0\r\n1 0 0 /* last */", "9 4 3 0 0 0.0 0.0\r\n8 3 2 0 0 0.0 0.0 //\r\n7 2 1 0 0 0.0 0.0",
       {4, 3, 2, 1}, {9, 8, 7}},
      {"1 0 0\r\n2 1 0\r\n3 2 0", "1 1 2 0 0 0.0 0.0\r\n2 2 3 0 0 0.0 0.0", {1, 2, 3}, {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.nodes) + " / " + c.segments);
    const std::string text = std::string("m bor_mesh\r\n(\r\n  nodes : table (\r\n") + c.nodes +
                             "\r\n  ),\r\n  linear_segments : table (\r\n" + c.segments + "\r\n  )\r\n)\r\n";
    const FileReport r = report_of(text, Kind::tor);
    ASSERT_EQ(r.tor()->meshes.size(), 1u);
    const Mesh& m = r.tor()->meshes[0];
    std::vector<long long> nodes, segments;
    for (const Node& n : m.nodes) nodes.push_back(n.number);
    for (const Segment& g : m.segments) segments.push_back(g.number);
    EXPECT_EQ(nodes, c.node_numbers);
    EXPECT_EQ(segments, c.segment_numbers);
  }
}

// A table of more rows than one block of text holds: every row read, with
// its own line; and a node far from the rest found at the edge of reach.
TEST(TorRows, LargeTablesAndTheFarNode) {
  for (const double far : {999.0, 1001.0}) {
    SCOPED_TRACE(far);
    std::string text = "m bor_mesh\r\n(\r\n  nodes : table\r\n  (\r\n";
    const int n = 6000;
    // Nodes on a unit circle about (0, 0): the mesh's size is 1.
    for (int i = 1; i < n; ++i) {
      const double a = 2 * 3.141592653589793 * i / (n - 1);
      text += "      " + std::to_string(i) + "   " + std::to_string(std::cos(a)) + "   " + std::to_string(std::sin(a)) +
              "   // node " + std::to_string(i) + "\r\n";
    }
    text += "  " + std::to_string(n) + " 0 " + std::to_string(far) + "\r\n  ),\r\n  linear_segments : table\r\n  (\r\n";
    for (int i = 1; i < n; ++i) text += std::to_string(i) + " " + std::to_string(i) + " " + std::to_string(i % n + 1) + " 0 0\r\n";
    text += "  )\r\n)\r\n";
    const FileReport r = report_of(text, Kind::tor);
    const Mesh& m = r.tor()->meshes.at(0);
    ASSERT_EQ(m.nodes.size(), static_cast<std::size_t>(n));
    ASSERT_EQ(m.segments.size(), static_cast<std::size_t>(n - 1));
    for (int i = 0; i < n; ++i) ASSERT_EQ(m.nodes[i].line, static_cast<std::size_t>(5 + i));
    EXPECT_EQ(m.segments.back().line, static_cast<std::size_t>(5 + n + 3 + n - 2));
    EXPECT_EQ(m.nodes.back().placed, far < 1000) << "the last node is drawn only within reach";
    std::string errors;
    for (const Finding& f : r.findings.kept()) {
      if (f.severity == Severity::error) errors += finding_line("f", f) + "\n";
    }
    EXPECT_EQ(errors.find("mesh sizes from the middle") != std::string::npos, far > 1000) << errors;
  }
}

// Many findings are counted, a bounded number kept.
TEST(Findings, CountedBeyondWhatIsKept) {
  std::string text = "        1000\r\n";
  for (int i = 0; i < 1000; ++i) text += "  NaN  1.0\r\n";
  const FileReport r = report_of(text);
  EXPECT_EQ(r.findings.errors(), 1000u);
  EXPECT_EQ(r.findings.kept().size(), Findings::kKept);
  EXPECT_EQ(r.findings.dropped(), 1000u - Findings::kKept);
  EXPECT_NE(r.summary.find("1000 errors, 0 warnings (800 not listed)"), std::string::npos) << r.summary;
}

}  // namespace
}  // namespace radomeview
