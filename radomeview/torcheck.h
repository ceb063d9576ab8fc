// The meaning of a TOR file: names registered, variables evaluated, every
// bor_mesh read, checked and outlined for the picture, and what is not
// drawn summed up by type.
#pragma once

#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/tor.h"

namespace radomeview {

void check_tor(const TorText& text, Tor* tor, Findings* findings);

}  // namespace radomeview
