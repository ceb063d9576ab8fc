#include "radomeview/torrows.h"

#include "radomeview/expr.h"
#include "radomeview/fields.h"
#include "radomeview/numtext.h"
#include "radomeview/units.h"

namespace radomeview {
namespace {

class Rows {
 public:
  Rows(const Registry& names, Resolver& values, Findings* f, Mesh* m) : names_(names), values_(values), f_(f), m_(m) {}

  void regions(const Table& t) {
    for (const Row& row : t.rows) {
      const Cell* c = &t.cells[row.first];
      Region r;
      r.line = row.line;
      if (!integer(c[0], row.line, "region number", &r.number)) continue;
      // Three numbers as our programs write them, or fields that name a
      // material ("ref(NAME)") and more, as other writers do.
      bool numbers = row.count == 4;
      double v[3] = {0, 0, 0};
      for (std::size_t i = 1; i < row.count; ++i) {
        if (c[i].quoted) {
          const Prepared p = prepare(c[i].text);
          if (r.refers.empty() && !p.refs.empty()) r.refers = p.refs[0];
          for (const std::string& name : p.refs) exists(name, row.line, "region " + std::to_string(r.number));
          numbers = false;
        } else if (numbers) {
          const Field kind = read_field(c[i].text, &v[i - 1]);
          if (kind != Field::number) {
            static const char* const kWhat[] = {" permittivity", " permeability", " loss tangent"};
            f_->add(row.line, Severity::error,
                    field_problem("region " + std::to_string(r.number) + kWhat[i - 1], kind, c[i].text));
          }
        }
      }
      if (numbers) {
        r.material = true;
        r.permittivity = v[0];
        r.permeability = v[1];
        r.loss_tangent = v[2];
      }
      m_->regions.push_back(r);
    }
  }

  void nodes(const Table& t) {
    m_->nodes.reserve(m_->nodes.size() + t.rows.size());
    for (const Row& row : t.rows) {
      const Cell* c = &t.cells[row.first];
      Node n;
      n.line = row.line;
      if (row.count != 3) {
        f_->add(row.line, Severity::error, "nodes row holds " + std::to_string(row.count) + " fields, not 3");
        continue;
      }
      if (!integer(c[0], row.line, "node number", &n.number)) continue;
      const std::string of = "node " + std::to_string(n.number);
      const bool z = values_.value_of(c[1].text, c[1].quoted, of + " Z", row.line, &n.at.x);
      const bool r = values_.value_of(c[2].text, c[2].quoted, of + " R", row.line, &n.at.y);
      n.placed = z && r;
      m_->nodes.push_back(n);
    }
  }

  void segments(const Table& t, int order) {
    const std::size_t least = order == 3 ? 7 : 5;  // the number, the nodes and the two regions
    const char* const name = order == 3 ? "cubic_segments" : "linear_segments";
    m_->segments.reserve(m_->segments.size() + t.rows.size());
    for (const Row& row : t.rows) {
      const Cell* c = &t.cells[row.first];
      Segment s;
      s.line = row.line;
      s.order = order;
      if (row.count < least) {
        f_->add(row.line, Severity::error, std::string(name) + " row holds " + std::to_string(row.count) +
                                               " fields, not " + std::to_string(least) + " or more");
        continue;
      }
      bool good = integer(c[0], row.line, "segment number", &s.number);
      const int nodes = s.count();
      for (int k = 0; k < nodes; ++k) good = integer(c[1 + k], row.line, "segment node", &s.n[k]) && good;
      good = integer(c[1 + nodes], row.line, "segment region", &s.left) && good;
      good = integer(c[2 + nodes], row.line, "segment region", &s.right) && good;
      if (good) m_->segments.push_back(s);
    }
  }

 private:
  bool integer(const Cell& c, std::size_t line, const char* what, long long* v) {
    if (!c.quoted && read_integer(c.text, v)) return true;
    f_->add(line, Severity::error, std::string(what) + " " + shown(c.text) + " is not a whole number");
    return false;
  }

  void exists(const std::string& name, std::size_t line, const std::string& what) {
    if (!names_.find(name)) f_->add(line, Severity::error, what + ": ref(" + name + ") names no object");
  }

  const Registry& names_;
  Resolver& values_;
  Findings* f_;
  Mesh* m_;
};

}  // namespace

void read_mesh(const Object& o, const Registry& names, Resolver& values, Findings* f, Mesh* m,
               std::vector<std::string>* unread) {
  m->name = o.name;
  m->line = o.line;
  Rows rows(names, values, f, m);
  for (const Attribute& a : o.attributes) {
    const Value& v = a.value;
    const bool table = v.type == Value::Type::table;
    if (a.key == "regions" && table) {
      rows.regions(v.table);
    } else if (a.key == "advanced_regions" && table) {
      // Regions defined by another object: their rows name them, nothing
      // here to draw; only their references must lead somewhere.
      for (const Row& row : v.table.rows) {
        for (std::size_t i = 0; i < row.count; ++i) {
          const Cell& c = v.table.cells[row.first + i];
          if (!c.quoted) continue;
          for (const std::string& name : prepare(c.text).refs) {
            if (!names.find(name)) f->add(row.line, Severity::error, "advanced_regions: ref(" + name + ") names no object");
          }
        }
      }
    } else if (a.key == "nodes" && table) {
      rows.nodes(v.table);
    } else if (a.key == "linear_segments" && table) {
      rows.segments(v.table, 1);
    } else if (a.key == "cubic_segments" && table) {
      rows.segments(v.table, 3);
    } else if (a.key == "length_unit" && (v.type == Value::Type::word || v.type == Value::Type::text)) {
      m->unit = v.text;
      if (metres_per(m->unit) == 0) {
        f->add(a.line, Severity::error, "length_unit " + shown(m->unit) + " is not in, ft, mm, cm or m");
      }
    } else if (a.key == "coor_sys" && (v.type == Value::Type::ref || v.type == Value::Type::word)) {
      m->coor_sys = v.text;
      if (v.type == Value::Type::ref && !names.find(v.text)) {
        f->add(v.line, Severity::error, "coor_sys: ref(" + v.text + ") names no object");
      }
    } else {
      unread->push_back(a.key);
    }
  }
}

}  // namespace radomeview
