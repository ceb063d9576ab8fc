// The meaning of a TOR file's real_variable and bor_mesh objects: every
// expression evaluated in the order its references need, the mesh checked
// as a TOR reader would need it.
#pragma once

#include <string>
#include <vector>

#include "radomeview/findings.h"
#include "radomeview/geometry.h"
#include "radomeview/tor.h"

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
  Vec at;              // Z, R
  bool placed = false;  // finite and near the shroud: drawn
};

struct Segment {
  long long number = 0, a = 0, b = 0, left = 0, right = 0;
  std::size_t line = 0;
  const Node* from = nullptr;  // both set when the segment can be drawn
  const Node* to = nullptr;
};

struct Region {
  long long number = 0;
  std::size_t line = 0;
  double permittivity = 0, permeability = 0, loss_tangent = 0;
  std::vector<Vec> outline;  // the closed chain of its segments, empty when there is none
};

struct Mesh {
  std::string name;
  std::size_t line = 0;
  std::vector<Region> regions;
  std::vector<Node> nodes;
  std::vector<Segment> segments;
  std::string unit;
};

struct Tor {
  std::vector<Variable> variables;
  std::vector<Mesh> meshes;
  Extents extents;  // of the nodes drawn
};

void check_tor(const TorText& text, Tor* tor, Findings* findings);

}  // namespace radomeview
