#include "radomeview/torcheck.h"

#include <string>
#include <utility>
#include <vector>

#include "radomeview/meshcheck.h"
#include "radomeview/names.h"
#include "radomeview/outline.h"
#include "radomeview/resolve.h"
#include "radomeview/torrows.h"
#include "radomeview/units.h"

namespace radomeview {
namespace {

// Counts by name, in the order each name first comes: "12 coor_sys, 4 tabulated_mesh".
class Tally {
 public:
  void add(const std::string& name) {
    for (auto& [n, count] : counts_) {
      if (n == name) {
        ++count;
        return;
      }
    }
    counts_.emplace_back(name, 1);
  }
  bool empty() const { return counts_.empty(); }
  std::string text() const {
    std::string s;
    for (const auto& [n, count] : counts_) s += (s.empty() ? "" : ", ") + std::to_string(count) + " " + n;
    return s;
  }

 private:
  std::vector<std::pair<std::string, std::size_t>> counts_;
};

}  // namespace

void check_tor(TorText& text, Tor* tor, Findings* f) {
  Registry names;
  for (const Object& o : text.objects) names.add(o, f);

  Resolver values(names, &tor->variables, f);
  Tally not_drawn, unread;
  std::vector<std::string> keys;
  for (const Object& o : text.objects) {
    if (o.type == "real_variable") {
      keys.clear();
      values.add(o, &keys);
      for (const std::string& k : keys) unread.add(o.type + "." + k);
    } else if (!o.read) {
      not_drawn.add(o.type);
    }
  }
  values.resolve_all();

  for (Object& o : text.objects) {
    if (o.type != "bor_mesh") continue;
    Mesh m;
    keys.clear();
    read_mesh(o, names, values, f, &m, &keys);
    std::vector<Attribute>().swap(o.attributes);
    for (const std::string& k : keys) unread.add(o.type + "." + k);
    if (tor->meshes.empty()) tor->unit = m.unit;
    m.factor = unit_factor(m.unit, tor->unit);
    check_mesh(&m, values, f);
    outline_regions(&m);
    for (const Node& n : m.nodes) {
      if (n.placed) tor->extents.add(m.drawn(n));
    }
    tor->meshes.push_back(std::move(m));
  }
  if (!not_drawn.empty()) f->add(0, Severity::note, "not drawn: " + not_drawn.text());
  if (!unread.empty()) f->add(0, Severity::note, "attributes not read: " + unread.text());
}

}  // namespace radomeview
