// dishsurface: the profile of a rotationally symmetric paraboloid, written as
// a reflector surface file (.rsf): a label line, a count line, then radius and
// height of each point.
#include <bit>
#include <cstdint>

#include "cli/help.h"
#include "cli/prompt.h"
#include "dishsurface/dialogue.h"
#include "textio/textio.h"

namespace {

using cli::kPrompt;
using dishsurface::kAskDiameters;
using dishsurface::kAskFile;
using dishsurface::kAskFocus;
using dishsurface::kAskLabel;
using dishsurface::kAskOrientation;
using dishsurface::kBanner;
using textio::FileName;
using textio::kConsoleIn;
using textio::kConsoleOut;
using textio::Text;

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
  cli::answer_help_or_version(argc, argv, dishsurface::kDialogue);
  textio::start_run(argc, argv);

  textio::write_formatted<kPrompt<kAskFile, kBanner>>(kConsoleOut);
  textio::read_text(kConsoleIn, file_name);
  textio::open_file(kOut, file_name, "UNKNOWN");

  textio::write_formatted<kPrompt<kAskFocus>>(kConsoleOut);
  textio::read_list(kConsoleIn, f, z0);

  textio::write_formatted<kPrompt<kAskDiameters>>(kConsoleOut);
  textio::read_list(kConsoleIn, d1, d2, dd);
  n = point_count(d1, d2, dd);

  textio::write_formatted<kPrompt<kAskOrientation>>(kConsoleOut);
  textio::read_list(kConsoleIn, s);

  textio::write_formatted<kPrompt<kAskLabel>>(kConsoleOut);
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
