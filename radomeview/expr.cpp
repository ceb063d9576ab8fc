#include "radomeview/expr.h"

#include <muParser.h>

#include <cctype>

#include "radomeview/numtext.h"
#include "radomeview/trig.h"

namespace radomeview {
namespace {

bool name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool digit_or_point(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// The double nearest to pi / 180: an angle in degrees times this is the
// argument the radian functions get, as a file's own DTR variable gives it.
constexpr double kDegree = 0.017453292519943295;

double sind(double x) { return portable_sin(x * kDegree); }
double cosd(double x) { return portable_cos(x * kDegree); }
double tand(double x) { return portable_tan(x * kDegree); }
double atand(double x) { return std::atan(x) / kDegree; }

bool known_function(const std::string& name) {
  static const char* const kKnown[] = {"sqrt", "exp",  "sin",  "cos",  "tan", "atan",
                                       "sind", "cosd", "tand", "atand"};
  for (const char* k : kKnown) {
    if (name == k) return true;
  }
  return false;
}

// ref( NAME ) starting at `at` (the 'r'); on success *end is past the ')'.
bool ref_at(std::string_view s, std::size_t at, std::string* name, std::size_t* end) {
  if (at + 3 > s.size() || lower(s[at]) != 'r' || lower(s[at + 1]) != 'e' || lower(s[at + 2]) != 'f') return false;
  if (at > 0 && name_char(s[at - 1])) return false;
  std::size_t i = at + 3;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i >= s.size() || s[i] != '(') return false;
  ++i;
  while (i < s.size() && s[i] == ' ') ++i;
  const std::size_t from = i;
  while (i < s.size() && s[i] != ')' && s[i] != ' ' && s[i] != '(') ++i;
  const std::size_t to = i;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i >= s.size() || s[i] != ')' || to == from) return false;
  *name = std::string(s.substr(from, to - from));
  *end = i + 1;
  return true;
}

// An operand of a simple expression: a plain unsigned number, or _rN, one
// of the `refs` references, bound as evaluate() binds them.
bool operand(std::string_view t, const std::vector<double>& values, std::size_t refs, double* v) {
  if (t.size() > 2 && t[0] == '_' && t[1] == 'r' && (t[2] != '0' || t.size() == 3)) {  // as prepare() names them
    std::size_t i = 0;
    for (const char c : t.substr(2)) {
      if (c < '0' || c > '9' || i > refs) return false;
      i = i * 10 + static_cast<std::size_t>(c - '0');
    }
    if (i >= refs) return false;
    *v = i < values.size() ? values[i] : 0.0;
    return true;
  }
  return !t.empty() && digit_or_point(t[0]) && scan_decimal(t.data(), t.data() + t.size(), v) == t.data() + t.size();
}

// Most expressions of a file are a number ("5"), one reference ("ref(T)"),
// either negated, or one operation on two of them ("ref(T)+5"): their
// value needs no evaluator, and is the very value it gives, one correctly
// rounded operation.
bool simple(std::string_view t, const std::vector<double>& values, std::size_t refs, double* out) {
  if (t.size() > 1 && t[0] == '-' && operand(t.substr(1), values, refs, out)) {
    *out = -*out;
    return true;
  }
  if (operand(t, values, refs, out)) return true;
  // The operator: the first + - * / that is no sign of an exponent.
  std::size_t at = 1;
  while (at < t.size() && !((t[at] == '+' || t[at] == '-') && t[at - 1] != 'e' && t[at - 1] != 'E') && t[at] != '*' &&
         t[at] != '/') {
    ++at;
  }
  if (at >= t.size()) return false;
  double a, b;
  if (!operand(t.substr(0, at), values, refs, &a) || !operand(t.substr(at + 1), values, refs, &b)) return false;
  switch (t[at]) {
    case '+': *out = a + b; break;
    case '-': *out = a - b; break;
    case '*': *out = a * b; break;
    default: *out = a / b; break;
  }
  return true;
}

}  // namespace

Prepared prepare(std::string_view s) {
  Prepared p;
  for (std::size_t i = 0; i < s.size();) {
    std::string name;
    std::size_t end = 0;
    if (ref_at(s, i, &name, &end)) {
      p.text += "_r" + std::to_string(p.refs.size());
      p.refs.push_back(name);
      i = end;
      continue;
    }
    const bool starts_name = (std::isalpha(static_cast<unsigned char>(s[i])) || s[i] == '_') &&
                             (i == 0 || !name_char(s[i - 1]));
    if (!starts_name) {
      p.text += s[i++];
      continue;
    }
    // A name: a function when "(" follows. The evaluator knows the
    // functions in lower case.
    std::size_t j = i;
    std::string word;
    while (j < s.size() && name_char(s[j])) word += lower(s[j++]);
    std::size_t k = j;
    while (k < s.size() && s[k] == ' ') ++k;
    if (k < s.size() && s[k] == '(') {
      std::size_t m = k + 1;
      while (m < s.size() && s[m] == ' ') ++m;
      if (word == "pi" && m < s.size() && s[m] == ')') {
        p.text += "_tor_pi";
        i = m + 1;
        continue;
      }
      // A ref( that is not ref(NAME) is left to the evaluator to refuse.
      if (!known_function(word) && word != "ref" && p.unknown.empty()) p.unknown = std::string(s.substr(i, j - i));
    }
    p.text += word;
    i = j;
  }
  return p;
}

bool evaluate(const Prepared& p, const std::vector<double>& values, double* out, std::string* error) {
  if (!p.unknown.empty()) {
    *error = "unknown function '" + p.unknown + "'";
    return false;
  }
  if (simple(p.text, values, p.refs.size(), out)) return true;
  // One evaluator per thread, set up once: building it costs far more than
  // reading a short expression.
  thread_local mu::Parser parser = [] {
    mu::Parser made;
    // Evaluated as written, operation by operation: no folding or
    // reordering, so the value is the same bits wherever it is computed.
    made.EnableOptimizer(false);
    // The same bits on every platform for angles near the axes.
    made.DefineFun("sin", portable_sin);
    made.DefineFun("cos", portable_cos);
    made.DefineFun("tan", portable_tan);
    made.DefineFun("sind", sind);
    made.DefineFun("cosd", cosd);
    made.DefineFun("tand", tand);
    made.DefineFun("atand", atand);
    // The evaluator's own _pi holds only 13 digits.
    made.DefineConst("_tor_pi", 3.141592653589793);
    return made;
  }();
  try {
    parser.ClearVar();
    std::vector<double> bound(values);
    bound.resize(p.refs.size(), 0.0);
    for (std::size_t i = 0; i < bound.size(); ++i) parser.DefineVar("_r" + std::to_string(i), &bound[i]);
    parser.SetExpr(p.text);
    *out = parser.Eval();
    parser.ClearVar();
    return true;
  } catch (const mu::Parser::exception_type& e) {
    parser.ClearVar();
    *error = e.GetMsg();
    return false;
  }
}

}  // namespace radomeview
