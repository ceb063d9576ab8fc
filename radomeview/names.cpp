#include "radomeview/names.h"

#include <cctype>

#include "radomeview/numtext.h"

namespace radomeview {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void Registry::add(const Object& o, Findings* f) {
  if (o.name_words == 0) {
    f->add(o.line, Severity::error, "object name is empty");
    return;
  }
  if (o.name_words > 1) {
    f->add(o.line, Severity::error, "object name " + shown(o.name) + " holds a blank: TOR readers cannot parse it");
  }
  const auto [at, fresh] = by_name_.emplace(upper(o.name), &o);
  if (!fresh) {
    f->add(o.line, Severity::error,
           "object " + shown(o.name) + " is defined again (first at line " + std::to_string(at->second->line) + ")");
  }
}

const Object* Registry::find(const std::string& name) const {
  const auto at = by_name_.find(upper(name));
  return at == by_name_.end() ? nullptr : at->second;
}

}  // namespace radomeview
