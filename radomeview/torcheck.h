// The meaning of a TOR file: names registered, variables evaluated, every
// bor_mesh read, checked and outlined for the picture, and what is not
// drawn summed up by type.
#pragma once

#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/tor.h"

namespace radomeview {

// The tables of each bor_mesh are let go once read: a mesh of 100,000 rows
// needs its memory for the checks.
void check_tor(TorText& text, Tor* tor, Findings* findings);

}  // namespace radomeview
