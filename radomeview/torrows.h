// The rows of a bor_mesh's tables read into its nodes, segments and
// regions: fields counted, whole numbers where they must be, and node
// coordinates, numbers or expressions, given their values.
#pragma once

#include <string>
#include <vector>

#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/names.h"
#include "radomeview/resolve.h"
#include "radomeview/tor.h"

namespace radomeview {

// Reads a bor_mesh object, taking the rows its tables read as they were
// parsed; `unread` gets the keys of attributes not used.
void read_mesh(Object& o, const Registry& names, Resolver& values, Findings* f, Mesh* m,
               std::vector<std::string>* unread);

}  // namespace radomeview
