// What a TOR file means once read: its variables with their values and its
// bor_mesh objects with their nodes, segments and regions.
#pragma once

#include <string>
#include <vector>

#include "radomeview/geometry.h"

namespace radomeview {

struct Variable {
  std::string name;
  std::size_t line = 0;
  std::string text;  // as written
  bool expression = false;
  bool known = false;  // has a finite value
  double value = 0;
};

struct Node {
  long long number = 0;
  std::size_t line = 0;
  Vec at;               // Z, R in the mesh's own unit
  bool placed = false;  // finite and not far from the rest: drawn
  bool used = false;    // by a segment
};

struct Segment {
  long long number = 0;
  std::size_t line = 0;
  long long n[4] = {0, 0, 0, 0};
  long long left = 0, right = 0;  // the regions on its two sides
  int at[4] = {-1, -1, -1, -1};    // indices of its nodes in Mesh::nodes, -1 where missing
  int order = 1;                   // 1 linear (two nodes), 3 cubic (four nodes)
  bool drawn = false;              // every node found and placed
  int count() const { return order == 3 ? 4 : 2; }
};

struct Region {
  long long number = 0;
  std::size_t line = 0;
  bool material = false;  // three numbers: permittivity, permeability, loss tangent
  double permittivity = 0, permeability = 0, loss_tangent = 0;
  std::string refers;        // the material named by a quoted ref, or empty
  std::vector<Vec> outline;  // the closed chain of its segments, empty when there is none
};

struct Mesh {
  std::string name;
  std::size_t line = 0;
  std::string coor_sys;  // the coordinate system it refers to, or empty
  std::string unit;      // its length_unit, or empty
  double factor = 1;     // its unit to the drawing's
  std::vector<Region> regions;
  std::vector<Node> nodes;
  std::vector<Segment> segments;
  bool ours = false;   // laid out as linermesh writes it: segment 1 the metal, regions 1 to N
  bool metal = false;  // segment 1 is drawn as the metal line
  Vec drawn(const Node& n) const { return Vec{n.at.x * factor, n.at.y * factor}; }
};

struct Tor {
  std::vector<Variable> variables;
  std::vector<Mesh> meshes;
  std::string unit;  // of the drawing: the first mesh's
  Extents extents;   // of the nodes drawn, in the drawing's unit
};

}  // namespace radomeview
