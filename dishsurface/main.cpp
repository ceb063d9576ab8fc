// dishsurface: the profile of a rotationally symmetric paraboloid, written as
// a reflector surface file (.rsf): a label line, a count line, then radius and
// height of each point.
#include <bit>
#include <cstdint>

#include "cli/help.h"
#include "textio/textio.h"

namespace {

using textio::FileName;
using textio::kConsoleIn;
using textio::kConsoleOut;
using textio::Text;

constexpr char kHelp[] =
    "Usage: dishsurface [NAME]\n"
    "       dishsurface --help | --version\n"
    "Writes the reflector surface file (.rsf) of a paraboloid. Asks, in order:\n"
    "  output file            (a blank answer takes NAME)\n"
    "  focal length, z offset\n"
    "  diameter start, stop, step\n"
    "  +1 forward, -1 reverse reflector\n"
    "  label\n"
    "and writes the label, a count line and the radius and height of each point,\n"
    "with CR LF line ends. Manual: man dishsurface (man -l doc/dishsurface.1).\n";

constexpr auto kBanner = textio::format("(' TICRA .rsf file of parabola',/,' Enter output file ',$)");
constexpr auto kAskFocus = textio::format("(' Enter focal length, z offset ',$)");
constexpr auto kAskDiameters = textio::format("(' Enter diameter start,stop,step ',$)");
constexpr auto kAskOrientation = textio::format("(' Enter +1 forward, -1 reverse reflector ',$)");
constexpr auto kAskLabel = textio::format("(' Enter label ',$)");
constexpr auto kHeader = textio::format("(A40,/,3I4)");
constexpr auto kPoint = textio::format("(2E18.10)");

constexpr int kOut = 40;

// With n = trunc((d2 - d1) / dd + 1.4) the last diameter lies up to 0.4 of a
// step beyond the stop value or less than 0.6 of a step short of it: 0 100 40
// ends at 80, 0 100 35 at 105.
constexpr float kCountBias = 1.4f;
static_assert(std::bit_cast<std::uint32_t>(kCountBias) == 0x3FB33333u);

// These start at zero, and the run relies on it: a null answer (a lone comma)
// keeps a number as it was, so it is zero.
FileName<70> file_name;
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
  cli::answer_help_or_version(argc, argv, "dishsurface", kHelp);
  textio::start_run(argc, argv);

  textio::write_formatted<kBanner>(kConsoleOut);
  textio::read_text(kConsoleIn, file_name);
  textio::open_file(kOut, file_name, "UNKNOWN");

  textio::write_formatted<kAskFocus>(kConsoleOut);
  textio::read_list(kConsoleIn, f, z0);

  textio::write_formatted<kAskDiameters>(kConsoleOut);
  textio::read_list(kConsoleIn, d1, d2, dd);
  n = point_count(d1, d2, dd);

  textio::write_formatted<kAskOrientation>(kConsoleOut);
  textio::read_list(kConsoleIn, s);

  textio::write_formatted<kAskLabel>(kConsoleOut);
  textio::read_text(kConsoleIn, label);

  one = 1;
  zero = 0;
  textio::write_formatted<kHeader>(kOut, label, n, one, zero);

  // 64-bit: the count may be INT32_MAX.
  for (std::int64_t i = 1; i <= n; ++i) {
    d = static_cast<float>(static_cast<double>(i - 1) * dd + d1);
    r = static_cast<float>(double{d} / 2.0);
    z = static_cast<float>(double{r} * r * s / 4.0 / f + z0);
    textio::write_formatted<kPoint>(kOut, r, z);
  }

  textio::close_file(kOut);
  textio::end_run();
}
