// The layer model of an absorber-lined shroud and the TOR text that describes
// it: a run of real_variable objects, then one bor_mesh object whose node
// coordinates are expressions over those variables. No geometry is computed
// here; CHAMP evaluates the expressions.
#pragma once

#include <cstdint>

#include "textio/textio.h"

namespace linermesh {

// Layer numbers are spelled into object names with at most two digits.
inline constexpr std::int32_t kMaxLayers = 99;

// Unit codes 1 to 5 pick a two-character word out of "inftmmcmm ".
inline constexpr std::int32_t kFirstUnitCode = 1;
inline constexpr std::int32_t kLastUnitCode = 5;

// An end orientation answer of 1 cuts that end of the stack radially; any
// other answer cuts it normal to the shroud.
inline constexpr std::int32_t kRadial = 1;

struct Shroud {
  std::int32_t layers;  // may be zero or negative: no layer at all
  // Layer i (1 to layers) uses entry i; entry 0 is unused.
  float permittivity[kMaxLayers + 1];
  float permeability[kMaxLayers + 1];
  float loss_tangent[kMaxLayers + 1];
  float thickness[kMaxLayers + 1];
  float angle;  // degrees from the Z axis
  float length;
  float connection_z, connection_r;
  std::int32_t unit_code;  // kFirstUnitCode to kLastUnitCode, checked when read
  textio::Text<20> object_name;
  std::int32_t connection_end, far_end;  // kRadial or normal
  std::int32_t stacking_sign;            // +1 or -1
};

// +1 when the shroud angle is above 90 degrees, else -1 (a NaN angle too), so
// that the layers stack towards the axis.
std::int32_t stacking_sign(float angle);

// The real_variable objects: per layer its thickness and cumulative signed
// thickness, then the shroud's direction, its ends and its length.
void write_variables(int unit, const Shroud& shroud);

// The bor_mesh object: regions, nodes, linear segments, length unit.
void write_bor_mesh(int unit, const Shroud& shroud);

}  // namespace linermesh
