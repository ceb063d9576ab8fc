// Every object's name, whatever its type: what a ref may name. Names are
// compared without regard to case.
#pragma once

#include <map>
#include <string>

#include "radomeview/findings.h"
#include "radomeview/tor.h"

namespace radomeview {

class Registry {
 public:
  // Registers an object; an empty name, one that holds a blank and one
  // defined before are findings.
  void add(const Object& o, Findings* f);

  // The first object of that name, or null.
  const Object* find(const std::string& name) const;

 private:
  std::map<std::string, const Object*> by_name_;
};

std::string upper(std::string s);

}  // namespace radomeview
