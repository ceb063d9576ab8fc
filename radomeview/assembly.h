// Several files in one frame at one scale: the radome profile, the dish and
// the liner together, each file in its own colour. TOR meshes state their
// unit; the numbers of a points or .rsf file are in the unit --unit gives.
// Everything is drawn as (Z, R): a .rsf file's (r, z) turned about.
#pragma once

#include <string>
#include <vector>

#include "radomeview/report.h"

namespace radomeview {

// The unit of the drawing: the first TOR mesh's, else --unit's (may be empty).
std::string assembly_unit(const std::vector<const FileReport*>& files, const std::string& unit);

void draw_assembly(const std::vector<const FileReport*>& files, const DrawOptions& o, const std::string& title,
                   std::string* svg);

}  // namespace radomeview
