#include "radomeview/torrows.h"

#include <algorithm>

#include "radomeview/expr.h"
#include "radomeview/fields.h"
#include "radomeview/numtext.h"
#include "radomeview/quickrow.h"
#include "radomeview/units.h"

namespace radomeview {
namespace {

// The fields of a row, quotes taken off the quoted ones.
struct Fields {
  static constexpr std::size_t kMost = 16;
  std::string_view text[kMost];
  bool quoted[kMost] = {};
  std::size_t count = 0;  // all of them, kept or not

  explicit Fields(std::string_view row) {
    count = split_fields(row, text, kMost, true);
    for (std::size_t i = 0; i < std::min(count, kMost); ++i) {
      std::string_view& f = text[i];
      quoted[i] = f[0] == '"';
      if (!quoted[i]) continue;
      f.remove_prefix(1);
      if (!f.empty() && f.back() == '"') f.remove_suffix(1);
    }
  }
};

class Rows {
 public:
  Rows(const Registry& names, Resolver& values, Findings* f, Mesh* m) : names_(names), values_(values), f_(f), m_(m) {}

  void regions(const Table& t) {
    t.each([&](const Row& row, std::string_view row_text) {
      const Fields c(row_text);
      const auto text = [&](std::size_t i) { return c.text[i]; };
      Region r;
      r.line = row.line;
      if (!integer(c, 0, row.line, "region number", &r.number)) return;
      // Three numbers as our programs write them, or fields that name a
      // material ("ref(NAME)") and more, as other writers do.
      bool numbers = c.count == 4;
      double v[3] = {0, 0, 0};
      for (std::size_t i = 1; i < std::min(c.count, Fields::kMost); ++i) {
        if (c.quoted[i]) {
          const Prepared p = prepare(text(i));
          if (r.refers.empty() && !p.refs.empty()) r.refers = p.refs[0];
          for (const std::string& name : p.refs) exists(name, row.line, "region " + std::to_string(r.number));
          numbers = false;
        } else if (numbers) {
          const Field kind = read_field(text(i), &v[i - 1]);
          if (kind != Field::number) {
            static const char* const kWhat[] = {" permittivity", " permeability", " loss tangent"};
            f_->add(row.line, Severity::error,
                    field_problem("region " + std::to_string(r.number) + kWhat[i - 1], kind, text(i)));
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
    });
  }

  // The rows read as the table was parsed and those kept as text, merged
  // in the order of their lines.
  void nodes(Table& t) {
    if (t.size() == 0 && m_->nodes.empty()) {
      m_->nodes = std::move(t.nodes);
      return;
    }
    m_->nodes.reserve(m_->nodes.size() + t.nodes.size() + t.size());
    std::size_t quick = 0;
    t.each([&](const Row& row, std::string_view text) {
      for (; quick < t.nodes.size() && t.nodes[quick].line < row.line; ++quick) m_->nodes.push_back(t.nodes[quick]);
      Node n;
      if (quick_node(text, row.line, &n)) {
        m_->nodes.push_back(n);
        return;
      }
      n = Node{};
      n.line = row.line;
      const Fields c(text);
      if (c.count != 3) {
        f_->add(row.line, Severity::error, "nodes row holds " + std::to_string(c.count) + " fields, not 3");
        return;
      }
      if (!integer(c, 0, row.line, "node number", &n.number)) return;
      const bool z = coordinate(c, 1, n, " Z", &n.at.x);
      const bool r = coordinate(c, 2, n, " R", &n.at.y);
      n.placed = z && r;
      m_->nodes.push_back(n);
    });
    m_->nodes.insert(m_->nodes.end(), t.nodes.begin() + static_cast<std::ptrdiff_t>(quick), t.nodes.end());
    std::vector<Node>().swap(t.nodes);
  }

  void segments(Table& t, int order) {
    const std::size_t least = order == 3 ? 7 : 5;  // the number, the nodes and the two regions
    const char* const name = order == 3 ? "cubic_segments" : "linear_segments";
    if (t.size() == 0 && m_->segments.empty()) {
      m_->segments = std::move(t.segments);
      return;
    }
    m_->segments.reserve(m_->segments.size() + t.segments.size() + t.size());
    const std::size_t nodes = order == 3 ? 4 : 2;
    std::size_t quick = 0;
    t.each([&](const Row& row, std::string_view text) {
      for (; quick < t.segments.size() && t.segments[quick].line < row.line; ++quick) {
        m_->segments.push_back(t.segments[quick]);
      }
      Segment s;
      if (std::string_view rest; quick_segment(text, row.line, order, &s, &rest)) {
        m_->segments.push_back(s);
        return;
      }
      s = Segment{};
      s.line = row.line;
      s.order = order;
      const Fields c(text);
      if (c.count < least) {
        f_->add(row.line, Severity::error, std::string(name) + " row holds " + std::to_string(c.count) +
                                               " fields, not " + std::to_string(least) + " or more");
        return;
      }
      bool good = integer(c, 0, row.line, "segment number", &s.number);
      for (std::size_t k = 0; k < nodes; ++k) good = integer(c, 1 + k, row.line, "segment node", &s.n[k]) && good;
      good = integer(c, 1 + nodes, row.line, "segment region", &s.left) && good;
      good = integer(c, 2 + nodes, row.line, "segment region", &s.right) && good;
      if (good) m_->segments.push_back(s);
    });
    m_->segments.insert(m_->segments.end(), t.segments.begin() + static_cast<std::ptrdiff_t>(quick), t.segments.end());
    std::vector<Segment>().swap(t.segments);
  }

 private:
  bool integer(const Fields& c, std::size_t i, std::size_t line, const char* what, long long* v) {
    if (!c.quoted[i] && read_integer(c.text[i], v)) return true;
    f_->add(line, Severity::error, std::string(what) + " " + shown(c.text[i]) + " is not a whole number");
    return false;
  }

  // A node coordinate: a number, or an expression. A plain number is read
  // here, without naming the node, as most of them are.
  bool coordinate(const Fields& c, std::size_t i, const Node& n, const char* which, double* v) {
    if (!c.quoted[i] && read_field(c.text[i], v) == Field::number) return true;
    return values_.value_of(c.text[i], c.quoted[i], "node " + std::to_string(n.number) + which, n.line, v);
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

void read_mesh(Object& o, const Registry& names, Resolver& values, Findings* f, Mesh* m,
               std::vector<std::string>* unread) {
  m->name = o.name;
  m->line = o.line;
  Rows rows(names, values, f, m);
  for (Attribute& a : o.attributes) {
    Value& v = a.value;
    const bool table = v.type == Value::Type::table;
    if (a.key == "regions" && table) {
      rows.regions(v.table);
    } else if (a.key == "advanced_regions" && table) {
      // Regions defined by another object: their rows name them, nothing
      // here to draw; only their references must lead somewhere.
      v.table.each([&](const Row& row, std::string_view text) {
        const Fields c(text);
        for (std::size_t i = 0; i < std::min(c.count, Fields::kMost); ++i) {
          if (!c.quoted[i]) continue;
          for (const std::string& name : prepare(c.text[i]).refs) {
            if (!names.find(name)) f->add(row.line, Severity::error, "advanced_regions: ref(" + name + ") names no object");
          }
        }
      });
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
