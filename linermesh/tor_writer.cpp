#include "linermesh/tor_writer.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace linermesh {
namespace {

using textio::Text;

// Above this angle (the 32-bit 90.0) the layers stack with the plus sign.
constexpr float kRightAngle = 90.0f;
static_assert(std::bit_cast<std::uint32_t>(kRightAngle) == 0x42B40000u);

// Layer numbers are spelled with as many digits as they have, one or two.
// A layer format's description writes the layer's number as I{n} and the
// number of the layer before it as I{n-1}; the format for each digit count is
// made from it at build time.

consteval bool placeholder_at(const char* text, std::size_t at, std::string_view placeholder) {
  for (std::size_t j = 0; j < placeholder.size(); ++j) {
    if (text[at + j] != placeholder[j]) return false;
  }
  return true;
}

// The description with its placeholders (outside quoted text) replaced by
// the widths, padded with blanks after the closing parenthesis.
template <std::size_t N>
consteval textio::Format<N> layer_format(const char (&description)[N], char width, char previous_width) {
  char text[N] = {};
  std::size_t out = 0;
  char quote = '\0';
  for (std::size_t j = 0; j + 1 < N;) {
    const char c = description[j];
    if (quote == '\0' && placeholder_at(description, j, "{n}")) {
      text[out++] = width;
      j += 3;
      continue;
    }
    if (quote == '\0' && placeholder_at(description, j, "{n-1}")) {
      text[out++] = previous_width;
      j += 5;
      continue;
    }
    if (quote == '\0' && (c == '\'' || c == '"')) {
      quote = c;
    } else if (c == quote) {
      quote = '\0';
    }
    text[out++] = c;
    ++j;
  }
  while (out + 1 < N) text[out++] = ' ';
  return textio::format(text);
}

template <const auto& Description, char Width, char PreviousWidth>
constexpr auto kLayerFormat = layer_format(Description, Width, PreviousWidth);

// Writes through the description's format for the layer: layers 1 to 9, layer
// 10 (whose previous layer has one digit), layers 11 to 99.
template <const auto& Description, class... T>
void write_for_layer(int unit, std::int32_t layer, const T&... items) {
  if (layer < 10) {
    textio::write_formatted<kLayerFormat<Description, '1', '1'>>(unit, items...);
  } else if (layer == 10) {
    textio::write_formatted<kLayerFormat<Description, '2', '1'>>(unit, items...);
  } else {
    textio::write_formatted<kLayerFormat<Description, '2', '2'>>(unit, items...);
  }
}

// real_variable objects: five records each, the last one empty. A number
// follows the value label as 1P,E12.4; an expression follows it in double
// quotes after one blank, except the cumulative thicknesses from TTS2 on and
// a minus-signed TTS1, which follow it directly.
constexpr char kShth[] =
    "(' SHTH',I{n},'   real_variable',/,'(',/,"
    "'  value            : ',1P,E12.4,/,')',/)";
constexpr auto kFirstTtsPlus = textio::format(
    "(' TTS1    real_variable',/,'(',/,"
    R"x('  value            :  "ref(SHTH1)"',/,')',/))x");
constexpr auto kFirstTtsMinus = textio::format(
    "(' TTS1    real_variable',/,'(',/,"
    R"x('  value            : "-ref(SHTH1)"',/,')',/))x");
// Items: layer n, layer n-1, the sign, layer n.
constexpr char kTts[] =
    "(' TTS',I{n},'    real_variable',/,'(',/,"
    R"x('  value            : "ref(TTS',I{n-1},')',A1,'ref(SHTH',I{n},')"',/,')',/))x";
constexpr auto kDtr = textio::format(
    "(' DTR     real_variable',/,'(',/,"
    R"x('  value            :  "ATAN(1.)/45."',/,')',/))x");
constexpr auto kShang = textio::format(
    "(' SHANG   real_variable',/,'(',/,"
    "'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kUvzs = textio::format(
    "(' UVZS   real_variable',/,'(',/,"
    R"x('  value            :  "COS(ref(SHANG)*ref(DTR))"',/,')',/))x");
constexpr auto kUvrs = textio::format(
    "(' UVRS   real_variable',/,'(',/,"
    R"x('  value            :  "SIN(ref(SHANG)*ref(DTR))"',/,')',/))x");
constexpr auto kShlen = textio::format(
    "(' SHLEN   real_variable',/,'(',/,"
    "'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kShcz = textio::format(
    "(' SHCZ   real_variable',/,'(',/,"
    "'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kShcr = textio::format(
    "(' SHCR   real_variable',/,'(',/,"
    "'  value            : ',1P,E12.4,/,')',/)");
constexpr auto kShez = textio::format(
    "(' SHEZ   real_variable',/,'(',/,"
    R"x('  value            :  "ref(SHCZ)+ref(UVZS)*ref(SHLEN)"',/,')',/))x");
constexpr auto kSher = textio::format(
    "(' SHER   real_variable',/,'(',/,"
    R"x('  value            :  "ref(SHCR)+ref(UVRS)*ref(SHLEN)"',/,')',/))x");

// The bor_mesh object.
constexpr auto kMeshHead = textio::format("(A20,' bor_mesh',/,'(',/,'  regions           : table',/,'   (')");
constexpr auto kRegion = textio::format("('       ',I2,1P,3E12.4)");
constexpr auto kNodesHead = textio::format("('   ),',/,'  nodes             : table',/,'   (')");
// Node rows: items are the node number, the end point's Z and R names, and
// the layer number wherever TTSj is referenced.
constexpr auto kEndNode = textio::format(R"x(('     ',I4,'   "ref(',A4,')"   "ref(',A4,')"'))x");
constexpr char kRadialNode[] = R"x(('     ',I4,'   "ref(',A4,')"   "ref(',A4,')+ref(TTS',I{n},')/ref(UVZS)"'))x";
constexpr char kNormalNode[] = R"x(('     ',I4,'   "ref(',A4,')-ref(UVRS)*ref(TTS',I{n},')"   )x"
                               R"x("ref(',A4,')+ref(UVZS)*ref(TTS',I{n},')"'))x";
constexpr auto kSegmentsHead = textio::format("('    ),',/,'  linear_segments        : table',/,'    (',/)");
// Segment rows: number, two nodes, the regions on either side, then fixed
// texts; the metal line is the only segment with 0.0 in the first.
constexpr auto kMetalSegment = textio::format("(I11,2I6,2I4,'    0.0    0.0')");
constexpr auto kSegment = textio::format("(I11,2I6,2I4,'   -1.0    0.0')");
constexpr auto kMeshTail = textio::format("('    ),',/,'  length_unit       : ',A2,/,'  )')");

constexpr Text<1> kPlus{"+"};
constexpr Text<1> kMinus{"-"};
constexpr Text<4> kConnectionZ{"SHCZ"};
constexpr Text<4> kConnectionR{"SHCR"};
constexpr Text<4> kFarZ{"SHEZ"};
constexpr Text<4> kFarR{"SHER"};
constexpr Text<10> kUnitWords{"inftmmcmm "};

constexpr std::int32_t kRegionOutside = 0;

// The node of surface `layer` at the end whose metal point is (z, r).
void write_layer_node(int unit, std::int32_t node, std::int32_t orientation, const Text<4>& z, const Text<4>& r,
                      std::int32_t layer) {
  if (orientation == kRadial) {
    write_for_layer<kRadialNode>(unit, layer, node, z, r, layer);
  } else {
    write_for_layer<kNormalNode>(unit, layer, node, z, layer, r, layer);
  }
}

Text<2> unit_word(std::int32_t code) {
  Text<2> word;
  word.c[0] = kUnitWords.c[2 * code - 2];
  word.c[1] = kUnitWords.c[2 * code - 1];
  return word;
}

}  // namespace

std::int32_t stacking_sign(float angle) { return angle > kRightAngle ? 1 : -1; }

void write_variables(int unit, const Shroud& s) {
  const Text<1>& sign = s.stacking_sign > 0 ? kPlus : kMinus;
  for (std::int32_t i = 1; i <= s.layers; ++i) {
    write_for_layer<kShth>(unit, i, i, s.thickness[i]);
    if (i > 1) {
      write_for_layer<kTts>(unit, i, i, i - 1, sign, i);
    } else if (s.stacking_sign > 0) {
      textio::write_formatted<kFirstTtsPlus>(unit);
    } else {
      textio::write_formatted<kFirstTtsMinus>(unit);
    }
  }
  textio::write_formatted<kDtr>(unit);
  textio::write_formatted<kShang>(unit, s.angle);
  textio::write_formatted<kUvzs>(unit);
  textio::write_formatted<kUvrs>(unit);
  textio::write_formatted<kShlen>(unit, s.length);
  textio::write_formatted<kShcz>(unit, s.connection_z);
  textio::write_formatted<kShcr>(unit, s.connection_r);
  textio::write_formatted<kShez>(unit);
  textio::write_formatted<kSher>(unit);
}

void write_bor_mesh(int unit, const Shroud& s) {
  const std::int32_t n = s.layers;

  textio::write_formatted<kMeshHead>(unit, s.object_name);
  for (std::int32_t i = 1; i <= n; ++i) {
    textio::write_formatted<kRegion>(unit, i, s.permittivity[i], s.permeability[i], s.loss_tangent[i]);
  }

  // Surface 0 is the metal line, surface j the outside of layer j; surface j
  // has node 2j+1 at the connection end and node 2j+2 at the far end.
  textio::write_formatted<kNodesHead>(unit);
  textio::write_formatted<kEndNode>(unit, std::int32_t{1}, kConnectionZ, kConnectionR);
  textio::write_formatted<kEndNode>(unit, std::int32_t{2}, kFarZ, kFarR);
  for (std::int32_t j = 1; j <= n; ++j) {
    write_layer_node(unit, 2 * j + 1, s.connection_end, kConnectionZ, kConnectionR, j);
    write_layer_node(unit, 2 * j + 2, s.far_end, kFarZ, kFarR, j);
  }

  // Surface j lies between layer j (region 0 for the metal side) and layer
  // j+1, the outermost one between layer n and the outside; each layer is then
  // closed by its two end segments.
  textio::write_formatted<kSegmentsHead>(unit);
  std::int32_t k = 1;
  for (std::int32_t j = 0; j <= n; ++j, ++k) {
    const std::int32_t outer = j < n ? j + 1 : kRegionOutside;
    if (j == 0) {
      textio::write_formatted<kMetalSegment>(unit, k, 2 * j + 1, 2 * j + 2, j, outer);
    } else {
      textio::write_formatted<kSegment>(unit, k, 2 * j + 1, 2 * j + 2, j, outer);
    }
  }
  for (std::int32_t j = 1; j <= n; ++j) {
    textio::write_formatted<kSegment>(unit, k++, 2 * j - 1, 2 * j + 1, kRegionOutside, j);
    textio::write_formatted<kSegment>(unit, k++, 2 * j, 2 * j + 2, kRegionOutside, j);
  }

  textio::write_formatted<kMeshTail>(unit, unit_word(s.unit_code));
}

}  // namespace linermesh
