// The rows of a large mesh are mostly unsigned whole numbers and plain
// decimals between blanks: read here in one pass, without splitting, into
// a node or a segment. Any step that meets something else fails, and the
// row is read field by field (torrows.cpp).
#pragma once

#include <cstddef>
#include <string_view>

#include "radomeview/mesh.h"
#include "radomeview/numtext.h"

namespace radomeview {

class QuickRow {
 public:
  explicit QuickRow(std::string_view r) : begin_(r.data()), p_(r.data()), end_(r.data() + r.size()) {}
  bool whole(long long* v) { return skip() && (p_ = scan_whole(p_, end_, v)) != nullptr; }
  bool number(double* v) { return skip() && (p_ = scan_decimal(p_, end_, v)) != nullptr; }
  bool at_end() { return p_ && (skip(), p_ == end_); }
  std::size_t read() const { return static_cast<std::size_t>(p_ - begin_); }  // after a step that did not fail

 private:
  // Past the blanks; false at the end of the row or after a failed step.
  bool skip() {
    if (!p_) return false;
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\t')) ++p_;
    return p_ != end_;
  }
  const char* begin_;
  const char* p_;
  const char* end_;
};

// `number z r`, placed.
inline bool quick_node(std::string_view row, std::size_t line, Node* n) {
  *n = Node{};
  n->line = line;
  QuickRow q(row);
  if (!(q.whole(&n->number) && q.number(&n->at.x) && q.number(&n->at.y) && q.at_end())) return false;
  n->placed = true;
  return true;
}

// `number node1 node2 region1 region2 ...` (order 1) or `number n1 n2 n3 n4
// region1 region2 ...` (order 3); what follows the regions is not read, and
// is left in *rest.
inline bool quick_segment(std::string_view row, std::size_t line, int order, Segment* s, std::string_view* rest) {
  *s = Segment{};
  s->line = line;
  s->order = order;
  QuickRow q(row);
  if (!(q.whole(&s->number) && q.whole(&s->n[0]) && q.whole(&s->n[1]) &&
        (order != 3 || (q.whole(&s->n[2]) && q.whole(&s->n[3]))) && q.whole(&s->left) && q.whole(&s->right))) {
    return false;
  }
  *rest = row.substr(q.read());
  return true;
}

}  // namespace radomeview
