// Every dialogue program's dialogue, for the tools and tests that take them
// all.
#pragma once

#include "cli/dialogue.h"
#include "dishsurface/dialogue.h"
#include "domeprofile/dialogue.h"
#include "linermesh/dialogue.h"

namespace cli {

inline constexpr const Dialogue* kDialogues[] = {&domeprofile::kDialogue, &linermesh::kDialogue,
                                                 &dishsurface::kDialogue};

}  // namespace cli
