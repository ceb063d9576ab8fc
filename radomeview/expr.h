// Expressions of TOR values: numbers, + - * /, unary minus, parentheses,
// ref(NAME) and the usual functions, names in any case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace radomeview {

// An expression with each ref(NAME) replaced by a variable of its own.
struct Prepared {
  std::string text;               // what the evaluator reads
  std::vector<std::string> refs;  // the NAME of each ref, in order of appearance
};

Prepared prepare(std::string_view expression);

// The value of `p` with values[i] bound to refs[i]. False, with a message in
// *error, when the expression cannot be read.
bool evaluate(const Prepared& p, const std::vector<double>& values, double* out, std::string* error);

}  // namespace radomeview
