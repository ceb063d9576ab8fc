#include "radomeview/expr.h"

#include <muParser.h>

#include <cctype>

#include "radomeview/trig.h"

namespace radomeview {
namespace {

bool name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

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
    } else {
      // Function names in any case: the evaluator knows them in lower case.
      p.text += lower(s[i]);
      ++i;
    }
  }
  return p;
}

bool evaluate(const Prepared& p, const std::vector<double>& values, double* out, std::string* error) {
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
