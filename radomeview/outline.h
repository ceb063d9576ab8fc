// The outline of each region of a mesh, for the picture: its linear
// segments chained end to end into one closed loop.
#pragma once

#include "radomeview/mesh.h"

namespace radomeview {

void outline_regions(Mesh* m);

}  // namespace radomeview
