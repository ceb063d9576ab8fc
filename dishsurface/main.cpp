// dishsurface: the profile of a rotationally symmetric paraboloid, written as
// a reflector surface file (.rsf): a label line, a count line, then radius and
// height of each point.
#include <bit>
#include <cstdint>

#include "textio/textio.h"

namespace {

using textio::Text;

constexpr auto kBanner = textio::format("(' TICRA .rsf file of parabola',/,' Enter output file ',$)");
constexpr auto kAskFocus = textio::format("(' Enter focal length, z offset ',$)");
constexpr auto kAskDiameters = textio::format("(' Enter diameter start,stop,step ',$)");
constexpr auto kAskOrientation = textio::format("(' Enter +1 forward, -1 reverse reflector ',$)");
constexpr auto kAskLabel = textio::format("(' Enter label ',$)");
constexpr auto kHeader = textio::format("(A40,/,3I4)");
constexpr auto kPoint = textio::format("(2E18.10)");

constexpr int kOut = 40;

// Rounds the count up for a last step that falls short of the stop value by
// less than 0.6 of a step.
constexpr float kCountBias = 1.4f;
static_assert(std::bit_cast<std::uint32_t>(kCountBias) == 0x3FB33333u);

Text<70> file_name;
float f, z0;       // focal length, height offset
float d1, d2, dd;  // first and last diameter, diameter step
std::int32_t n;    // number of points
float s;           // +1 forward, -1 reverse: a factor on the sag
Text<40> label;
std::int32_t one, zero;
float d, r, z;

// trunc((d2 - d1) / dd + 1.4); a sum that is not finite or does not fit a
// 32-bit integer gives the most negative one.
std::int32_t point_count(float first, float last, float step) {
  const double count = (double{last} - double{first}) / double{step} + double{kCountBias};
  if (!(count > -2147483649.0 && count < 2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(count);
}

}  // namespace

int main(int argc, char** argv) {
  textio::start_run(argc, argv);

  textio::write_formatted<kBanner>(6);
  textio::read_text(5, file_name);
  textio::open_file(kOut, file_name, "UNKNOWN");

  textio::write_formatted<kAskFocus>(6);
  textio::read_list(5, f, z0);

  textio::write_formatted<kAskDiameters>(6);
  textio::read_list(5, d1, d2, dd);
  n = point_count(d1, d2, dd);

  textio::write_formatted<kAskOrientation>(6);
  textio::read_list(5, s);

  textio::write_formatted<kAskLabel>(6);
  textio::read_text(5, label);

  one = 1;
  zero = 0;
  textio::write_formatted<kHeader>(kOut, label, n, one, zero);

  for (std::int32_t i = 1; i <= n; ++i) {
    d = static_cast<float>(static_cast<double>(i - 1) * dd + d1);
    r = static_cast<float>(double{d} / 2.0);
    z = static_cast<float>(double{r} * r * s / 4.0 / f + z0);
    textio::write_formatted<kPoint>(kOut, r, z);
  }

  textio::close_file(kOut);
  textio::end_run();
}
