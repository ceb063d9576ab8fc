// The values of a TOR file's real_variable objects and of every expression
// that refers to them: each evaluated once, after what it refers to,
// whatever order the file gives them in.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "radomeview/expr.h"
#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/names.h"
#include "radomeview/tor.h"

namespace radomeview {

class Resolver {
 public:
  Resolver(const Registry& names, std::vector<Variable>* variables, Findings* f)
      : names_(names), variables_(variables), f_(f) {}

  // A real_variable object; `unread` gets the keys of attributes not used.
  void add(const Object& o, std::vector<std::string>* unread);

  // Evaluates every variable added.
  void resolve_all();

  // The value of a number, or of an expression when `expression`; false
  // when there is none (a finding made, unless one was made already for
  // what it refers to). `what` names it in the finding.
  bool value_of(std::string_view text, bool expression, const std::string& what, std::size_t line, double* out);

  // The variable of that name, or null.
  const Variable* variable(const std::string& name) const;

 private:
  enum class State { waiting, evaluating, known, failed };

  void resolve(std::size_t root);
  void cycle(const std::vector<std::size_t>& stack, std::size_t j);
  bool evaluate_prepared(const Prepared& p, std::string_view text, const std::string& what, std::size_t line,
                         double* out);

  const Registry& names_;
  std::vector<Variable>* variables_;
  Findings* f_;
  std::map<std::string, std::size_t> by_name_;  // upper-case name to the first variable of it
  std::vector<State> state_;
  std::vector<Prepared> prepared_;
};

}  // namespace radomeview
