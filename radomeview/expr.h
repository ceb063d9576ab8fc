// Expressions of TOR values: numbers, + - * / and ^, unary minus,
// parentheses, ref(NAME) and the functions pi(), sqrt, exp, sin, cos, tan,
// atan and the degree forms sind, cosd, tand, atand, names in any case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace radomeview {

// An expression with each ref(NAME) replaced by a variable of its own.
struct Prepared {
  std::string text;               // what the evaluator reads
  std::vector<std::string> refs;  // the NAME of each ref, in order of appearance
  std::string unknown;            // the first function called that is none of the above, or empty
};

Prepared prepare(std::string_view expression);

// The value of `p` with values[i] bound to refs[i]. False, with a message in
// *error, when the expression cannot be read.
bool evaluate(const Prepared& p, const std::vector<double>& values, double* out, std::string* error);

}  // namespace radomeview
