#include "radomeview/torcheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

#include "radomeview/expr.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

// Farther from the shroud than this many shroud lengths is no real geometry.
constexpr double kFar = 1000;
constexpr std::size_t kMaxCrossingSegments = 4000;

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The text of a value: quoted text as it is, words and marks run together.
std::string value_text(const std::vector<Token>& tokens, bool* quoted) {
  *quoted = tokens.size() == 1 && tokens[0].type == Token::text;
  std::string s;
  for (const Token& t : tokens) s += t.s;
  return s;
}

class Checker {
 public:
  Checker(Tor* tor, Findings* f) : tor_(tor), f_(f) {}

  void run(const TorText& text) {
    std::map<std::string, std::size_t> first;
    std::string skipped;
    for (const Object& o : text.objects) {
      if (o.name_words == 0) f_->add(o.line, Severity::error, "object name is empty");
      if (o.name_words > 1) {
        f_->add(o.line, Severity::error, "object name " + shown(o.name) + " holds a blank: TOR readers cannot parse it");
      }
      const auto [at, fresh] = first.emplace(upper(o.name), o.line);
      if (!fresh && o.name_words > 0) {
        f_->add(o.line, Severity::error, "object " + shown(o.name) + " is defined again (first at line " +
                                             std::to_string(at->second) + ")");
      }
      if (o.type == "real_variable") {
        variable(o, &skipped);
      } else if (o.type == "bor_mesh") {
        objects_[upper(o.name)] = true;
        mesh_objects_.push_back(&o);
      } else {
        objects_[upper(o.name)] = true;
        skipped += (skipped.empty() ? "" : ", ") + o.name + " (" + o.type + ")";
      }
    }
    for (std::size_t i = 0; i < tor_->variables.size(); ++i) resolve(i);
    for (const Object* o : mesh_objects_) mesh(*o, &skipped);
    if (!skipped.empty()) f_->add(0, Severity::note, "not read: " + skipped);
  }

 private:
  void variable(const Object& o, std::string* skipped) {
    Variable v;
    v.name = o.name;
    v.line = o.line;
    bool found = false;
    for (const Attribute& a : o.attributes) {
      if (a.name == "value" && !a.table && !found) {
        found = true;
        v.line = a.line;
        v.text = value_text(a.value, &v.expression);
      } else {
        *skipped += (skipped->empty() ? "" : ", ") + o.name + "." + a.name;
      }
    }
    if (!found) f_->add(o.line, Severity::error, "real_variable " + shown(o.name) + " has no value");
    if (!by_name_.count(upper(v.name))) by_name_[upper(v.name)] = tor_->variables.size();
    tor_->variables.push_back(v);
    state_.push_back(found ? 0 : 3);
  }

  // Evaluates variable i after everything it refers to, without recursion:
  // a long chain of references must not exhaust the stack.
  void resolve(std::size_t root) {
    if (state_[root] != 0) return;
    std::vector<std::size_t> stack{root};
    while (!stack.empty()) {
      const std::size_t i = stack.back();
      if (state_[i] == 2 || state_[i] == 3) {
        stack.pop_back();
        continue;
      }
      state_[i] = 1;
      const Prepared p = prepare(tor_->variables[i].text);
      bool waiting = false;
      if (tor_->variables[i].expression) {
        for (const std::string& name : p.refs) {
          const auto at = by_name_.find(upper(name));
          if (at == by_name_.end()) continue;
          const std::size_t j = at->second;
          if (state_[j] == 0) {
            stack.push_back(j);
            waiting = true;
          } else if (state_[j] == 1) {
            cycle(stack, j);
            state_[i] = 3;
          }
        }
      }
      if (state_[i] == 3) continue;
      if (waiting) continue;
      finish(i, p);
      stack.pop_back();
    }
  }

  void cycle(const std::vector<std::size_t>& stack, std::size_t j) {
    // The chain from j's place on the stack (the innermost occurrence) to the top.
    std::size_t from = stack.size();
    while (from > 0 && stack[from - 1] != j) --from;
    std::string path;
    std::vector<std::size_t> members;
    for (std::size_t k = from == 0 ? 0 : from - 1; k < stack.size(); ++k) {
      if (state_[stack[k]] != 1) continue;
      if (std::find(members.begin(), members.end(), stack[k]) != members.end()) continue;
      members.push_back(stack[k]);
      path += tor_->variables[stack[k]].name + " -> ";
    }
    path += tor_->variables[j].name;
    std::size_t line = 0;
    for (std::size_t m : members) line = std::max(line, tor_->variables[m].line);
    f_->add(line, Severity::error, "references in a cycle: " + path);
    for (std::size_t m : members) state_[m] = 3;
  }

  // The value of an expression or number of `what`; false when there is none
  // (a finding made, unless one was made already for what it refers to).
  bool value_of(const std::string& text, bool expression, const Prepared* prepared, const std::string& what,
                std::size_t line, double* out) {
    if (!expression) {
      switch (read_field(text, out)) {
        case Field::number: return true;
        case Field::not_finite:
          f_->add(line, Severity::error, what + ": " + shown(text) + " is not finite");
          return false;
        case Field::asterisks:
          f_->add(line, Severity::error, what + ": a field of asterisks");
          return false;
        case Field::not_number: break;
      }
    }
    const Prepared p = prepared ? *prepared : prepare(text);
    std::vector<double> values;
    bool quiet = false;
    for (const std::string& name : p.refs) {
      const auto at = by_name_.find(upper(name));
      if (at == by_name_.end()) {
        f_->add(line, Severity::error,
                what + ": ref(" + name + ") names " +
                    (objects_.count(upper(name)) ? "an object that is not a real_variable" : "no object"));
        return false;
      }
      const Variable& v = tor_->variables[at->second];
      if (!v.known) quiet = true;
      values.push_back(v.value);
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

  void finish(std::size_t i, const Prepared& p) {
    Variable& v = tor_->variables[i];
    v.known = value_of(v.text, v.expression, &p, "variable " + v.name, v.line, &v.value);
    state_[i] = 2;
  }

  void mesh(const Object& o, std::string* skipped) {
    Mesh m;
    m.name = o.name;
    m.line = o.line;
    bool unit_seen = false;
    for (const Attribute& a : o.attributes) {
      if (a.name == "regions" && a.table) {
        for (const auto& row : a.rows) region(row, &m);
      } else if (a.name == "nodes" && a.table) {
        for (const auto& row : a.rows) node(row, &m);
      } else if (a.name == "linear_segments" && a.table) {
        for (const auto& row : a.rows) segment(row, &m);
      } else if (a.name == "length_unit" && !a.table) {
        unit_seen = true;
        bool quoted;
        m.unit = value_text(a.value, &quoted);
        if (m.unit != "in" && m.unit != "ft" && m.unit != "mm" && m.unit != "cm" && m.unit != "m") {
          f_->add(a.line, Severity::error, "length_unit " + shown(m.unit) + " is not in, ft, mm, cm or m");
        }
      } else {
        *skipped += (skipped->empty() ? "" : ", ") + o.name + "." + a.name;
      }
    }
    if (!unit_seen) f_->add(o.line, Severity::error, "bor_mesh " + shown(o.name) + " has no length_unit");
    tor_->meshes.push_back(std::move(m));
    Mesh& kept = tor_->meshes.back();
    link(&kept);
    shroud(&kept);
    thickness(kept);
    crossings(kept);
    outlines(&kept);
    for (const Node& n : kept.nodes) {
      if (n.placed) tor_->extents.add(n.at);
    }
  }

  bool number(const Token& t, const std::string& what, double* v) {
    switch (t.type == Token::word ? read_field(t.s, v) : Field::not_number) {
      case Field::number: return true;
      case Field::not_finite: f_->add(t.line, Severity::error, what + " " + shown(t.s) + " is not finite"); break;
      case Field::asterisks: f_->add(t.line, Severity::error, what + " is a field of asterisks"); break;
      case Field::not_number: f_->add(t.line, Severity::error, what + " " + shown(t.s) + " is not a number"); break;
    }
    return false;
  }

  bool integer(const Token& t, const std::string& what, long long* v) {
    if (t.type == Token::word && read_integer(t.s, v)) return true;
    f_->add(t.line, Severity::error, what + " " + shown(t.s) + " is not a whole number");
    return false;
  }

  void region(const std::vector<Token>& row, Mesh* m) {
    Region r;
    r.line = row[0].line;
    if (row.size() != 4) {
      f_->add(r.line, Severity::error, "regions row holds " + std::to_string(row.size()) + " fields, not 4");
      return;
    }
    if (!integer(row[0], "region number", &r.number)) return;
    const std::string of = "region " + std::to_string(r.number);
    bool good = number(row[1], of + " permittivity", &r.permittivity);
    good = number(row[2], of + " permeability", &r.permeability) && good;
    good = number(row[3], of + " loss tangent", &r.loss_tangent) && good;
    m->regions.push_back(r);
  }

  void node(const std::vector<Token>& row, Mesh* m) {
    Node n;
    n.line = row[0].line;
    const long long expected = static_cast<long long>(m->nodes.size()) + 1;
    if (row.size() != 3) {
      f_->add(n.line, Severity::error, "nodes row holds " + std::to_string(row.size()) + " fields, not 3");
      return;
    }
    if (!integer(row[0], "node number", &n.number)) return;
    if (n.number != expected) {
      f_->add(n.line, Severity::error,
              "node number " + std::to_string(n.number) + " where " + std::to_string(expected) +
                  " was expected: nodes are numbered 1 to N");
    }
    const std::string of = "node " + std::to_string(n.number);
    const bool z = value_of(row[1].s, row[1].type == Token::text, nullptr, of + " Z", n.line, &n.at.x);
    const bool r = value_of(row[2].s, row[2].type == Token::text, nullptr, of + " R", n.line, &n.at.y);
    n.placed = z && r;
    m->nodes.push_back(n);
  }

  void segment(const std::vector<Token>& row, Mesh* m) {
    Segment s;
    s.line = row[0].line;
    if (row.size() < 5) {
      f_->add(s.line, Severity::error,
              "linear_segments row holds " + std::to_string(row.size()) + " fields, not 5 or more");
      return;
    }
    bool good = integer(row[0], "segment number", &s.number);
    good = integer(row[1], "segment node", &s.a) && good;
    good = integer(row[2], "segment node", &s.b) && good;
    good = integer(row[3], "segment region", &s.left) && good;
    good = integer(row[4], "segment region", &s.right) && good;
    if (good) m->segments.push_back(s);
  }

  const Node* find_node(const Mesh& m, long long number) {
    for (const Node& n : m.nodes) {
      if (n.number == number) return &n;
    }
    return nullptr;
  }

  void link(Mesh* m) {
    for (Segment& s : m->segments) {
      const std::string of = "segment " + std::to_string(s.number);
      const Node* a = find_node(*m, s.a);
      const Node* b = find_node(*m, s.b);
      if (!a) f_->add(s.line, Severity::error, of + ": node " + std::to_string(s.a) + " does not exist");
      if (!b && s.b != s.a) f_->add(s.line, Severity::error, of + ": node " + std::to_string(s.b) + " does not exist");
      for (long long r : {s.left, s.right}) {
        const bool row = std::any_of(m->regions.begin(), m->regions.end(), [&](const Region& g) { return g.number == r; });
        if (r != 0 && !row) {
          f_->add(s.line, Severity::error,
                  of + ": region " + std::to_string(r) + " is neither 0 nor a row of regions");
        }
      }
      if (a && b) {
        s.from = a;
        s.to = b;
      }
    }
  }

  // The shroud is the first segment, the metal line; a node a thousand of its
  // lengths away is a coordinate gone wrong (a division by almost zero).
  void shroud(Mesh* m) {
    if (m->segments.empty() || !m->segments[0].from) return;
    const Segment& s = m->segments[0];
    if (!s.from->placed || !s.to->placed) return;
    const Vec a = s.from->at, b = s.to->at;
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!(length > 0)) return;
    for (Node& n : m->nodes) {
      if (!n.placed) continue;
      const double d = distance_to_segment(n.at, a, b);
      if (d > kFar * length) {
        n.placed = false;
        f_->add(n.line, Severity::error,
                "node " + std::to_string(n.number) + " at (" + six_digits(n.at.x) + ", " + six_digits(n.at.y) + ") is " +
                    six_digits(std::floor(d / length)) + " shroud lengths from the shroud");
      }
    }
  }

  // Layer j's thickness is the variable SHTHj where the file has one.
  void thickness(const Mesh& m) {
    for (const Region& r : m.regions) {
      const auto at = by_name_.find("SHTH" + std::to_string(r.number));
      if (at == by_name_.end()) continue;
      const Variable& v = tor_->variables[at->second];
      if (v.known && !(v.value > 0)) {
        f_->add(v.line, Severity::error,
                "layer " + std::to_string(r.number) + " has thickness " + shortest(v.value) + ": not above zero");
      }
    }
  }

  void crossings(const Mesh& m) {
    const auto drawn = [](const Segment& s) { return s.from && s.from->placed && s.to->placed; };
    if (m.segments.size() > kMaxCrossingSegments) {
      f_->add(m.line, Severity::warning, "more than " + std::to_string(kMaxCrossingSegments) +
                                             " segments: not checked for crossings");
      return;
    }
    for (std::size_t i = 0; i < m.segments.size(); ++i) {
      const Segment& s = m.segments[i];
      if (!drawn(s)) continue;
      for (std::size_t j = i + 1; j < m.segments.size(); ++j) {
        const Segment& t = m.segments[j];
        if (!drawn(t)) continue;
        Vec where;
        if (segments_cross(s.from->at, s.to->at, t.from->at, t.to->at, &where)) {
          f_->add_at(t.line, Severity::error,
                     "segments " + std::to_string(s.number) + " and " + std::to_string(t.number) +
                         " cross at (" + six_digits(where.x) + ", " + six_digits(where.y) + ")",
                     where.x, where.y);
        }
      }
    }
  }

  // Each layer's boundary: its segments chained end to end into one loop.
  void outlines(Mesh* m) {
    for (Region& r : m->regions) {
      std::vector<const Segment*> sides;
      for (const Segment& s : m->segments) {
        if ((s.left == r.number || s.right == r.number) && s.left != s.right && s.from && s.from->placed &&
            s.to->placed) {
          sides.push_back(&s);
        }
      }
      if (sides.size() < 3) continue;
      std::vector<bool> used(sides.size(), false);
      used[0] = true;
      std::vector<Vec> loop{sides[0]->from->at};
      const long long start = sides[0]->a;
      long long at = sides[0]->b;
      std::size_t count = 1;
      while (at != start) {
        bool moved = false;
        for (std::size_t k = 0; k < sides.size() && !moved; ++k) {
          if (used[k] || (sides[k]->a != at && sides[k]->b != at)) continue;
          used[k] = true;
          loop.push_back(sides[k]->a == at ? sides[k]->from->at : sides[k]->to->at);
          at = sides[k]->a == at ? sides[k]->b : sides[k]->a;
          moved = true;
          ++count;
        }
        if (!moved) break;
      }
      if (at == start && count == sides.size()) r.outline = std::move(loop);
    }
  }

  Tor* tor_;
  Findings* f_;
  std::map<std::string, std::size_t> by_name_;
  std::map<std::string, bool> objects_;
  std::vector<int> state_;  // 0 new, 1 being evaluated, 2 done, 3 failed
  std::vector<const Object*> mesh_objects_;
};

}  // namespace

void check_tor(const TorText& text, Tor* tor, Findings* findings) { Checker(tor, findings).run(text); }

}  // namespace radomeview
