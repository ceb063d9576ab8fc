#include "radomeview/resolve.h"

#include <algorithm>
#include <cmath>

#include "radomeview/fields.h"
#include "radomeview/numtext.h"

namespace radomeview {

void Resolver::add(const Object& o, std::vector<std::string>* unread) {
  Variable v;
  v.name = o.name;
  v.line = o.line;
  bool found = false;
  for (const Attribute& a : o.attributes) {
    if (a.key != "value" || found) {
      unread->push_back(a.key);
      continue;
    }
    const Value& val = a.value;
    found = true;
    v.line = val.line;
    switch (val.type) {
      case Value::Type::number: v.text = val.text; break;  // its unit word, if any, is not a scale
      case Value::Type::ref:
        v.text = "ref(" + val.text + ")";
        v.expression = true;
        break;
      case Value::Type::text:
      case Value::Type::word:
        v.text = val.text;
        v.expression = true;
        break;
      case Value::Type::call:
      case Value::Type::table:
        f_->add(val.line, Severity::error, "real_variable " + shown(o.name) + ": its value is not a number or expression");
        found = false;
        break;
    }
  }
  // A value lost to a syntax mistake has had its finding.
  if (!found && o.complete && std::none_of(o.attributes.begin(), o.attributes.end(), [](const Attribute& a) { return a.key == "value"; })) {
    f_->add(o.line, Severity::error, "real_variable " + shown(o.name) + " has no value");
  }
  if (!by_name_.count(upper(v.name))) by_name_[upper(v.name)] = variables_->size();
  variables_->push_back(v);
  state_.push_back(found ? State::waiting : State::failed);
  prepared_.push_back(v.expression ? prepare(v.text) : Prepared{});
}

void Resolver::resolve_all() {
  for (std::size_t i = 0; i < variables_->size(); ++i) resolve(i);
}

const Variable* Resolver::variable(const std::string& name) const {
  const auto at = by_name_.find(upper(name));
  return at == by_name_.end() ? nullptr : &(*variables_)[at->second];
}

// Evaluates variable `root` after everything it refers to, without
// recursion: a long chain of references must not exhaust the stack.
void Resolver::resolve(std::size_t root) {
  if (state_[root] != State::waiting) return;
  std::vector<std::size_t> stack{root};
  while (!stack.empty()) {
    const std::size_t i = stack.back();
    if (state_[i] == State::known || state_[i] == State::failed) {
      stack.pop_back();
      continue;
    }
    state_[i] = State::evaluating;
    bool waiting = false;
    for (const std::string& name : prepared_[i].refs) {
      const auto at = by_name_.find(upper(name));
      if (at == by_name_.end()) continue;
      const std::size_t j = at->second;
      if (state_[j] == State::waiting) {
        stack.push_back(j);
        waiting = true;
      } else if (state_[j] == State::evaluating) {
        cycle(stack, j);
        state_[i] = State::failed;
      }
    }
    if (state_[i] == State::failed || waiting) continue;
    Variable& v = (*variables_)[i];
    v.known = v.expression ? evaluate_prepared(prepared_[i], v.text, "variable " + v.name, v.line, &v.value)
                           : value_of(v.text, false, "variable " + v.name, v.line, &v.value);
    state_[i] = v.known ? State::known : State::failed;
    stack.pop_back();
  }
}

void Resolver::cycle(const std::vector<std::size_t>& stack, std::size_t j) {
  // The chain from j's place on the stack (the innermost occurrence) to the top.
  std::size_t from = stack.size();
  while (from > 0 && stack[from - 1] != j) --from;
  std::string path;
  std::vector<std::size_t> members;
  for (std::size_t k = from == 0 ? 0 : from - 1; k < stack.size(); ++k) {
    if (state_[stack[k]] != State::evaluating) continue;
    if (std::find(members.begin(), members.end(), stack[k]) != members.end()) continue;
    members.push_back(stack[k]);
    path += (*variables_)[stack[k]].name + " -> ";
  }
  path += (*variables_)[j].name;
  std::size_t line = 0;
  for (std::size_t m : members) line = std::max(line, (*variables_)[m].line);
  f_->add(line, Severity::error, "references in a cycle: " + path);
  for (std::size_t m : members) state_[m] = State::failed;
}

bool Resolver::value_of(std::string_view text, bool expression, const std::string& what, std::size_t line,
                        double* out) {
  if (!expression) {
    const Field kind = read_field(text, out);
    if (kind == Field::number) return true;
    if (kind != Field::not_number) {
      f_->add(line, Severity::error, field_problem(what, kind, text));
      return false;
    }
  }
  return evaluate_prepared(prepare(text), text, what, line, out);
}

bool Resolver::evaluate_prepared(const Prepared& p, std::string_view text, const std::string& what,
                                 std::size_t line, double* out) {
  std::vector<double> values;
  bool quiet = false;
  for (const std::string& name : p.refs) {
    const Variable* v = variable(name);
    if (!v) {
      f_->add(line, Severity::error,
              what + ": ref(" + name + ") names " + (names_.find(name) ? "an object that is not a real_variable" : "no object"));
      return false;
    }
    if (!v->known) quiet = true;
    values.push_back(v->value);
  }
  if (quiet) return false;
  std::string error;
  if (!evaluate(p, values, out, &error)) {
    f_->add(line, Severity::error, what + ": cannot read " + shown(text) + ": " + error);
    return false;
  }
  if (!std::isfinite(*out)) {
    f_->add(line, Severity::error, what + ": " + shown(text) + " is not finite (" + shortest(*out) + ")");
    return false;
  }
  return true;
}

}  // namespace radomeview
