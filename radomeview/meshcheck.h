// The checks of one bor_mesh: what a reader of any writer's mesh needs
// (nodes found, unique and used, no crossing, no node absurdly far), and
// what holds only for meshes laid out as linermesh writes them.
#pragma once

#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/resolve.h"

namespace radomeview {

void check_mesh(Mesh* m, const Resolver& values, Findings* f);

}  // namespace radomeview
