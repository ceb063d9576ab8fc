// dishsurface's dialogue: five questions, always the same.
#pragma once

#include <string_view>

#include "cli/dialogue.h"

namespace dishsurface {

inline constexpr std::string_view kBanner = "TICRA .rsf file of parabola";

inline constexpr cli::Step kAskFile{"file", "Enter output file",
                                    "file name of up to 70 characters; blank takes NAME or asks again"};
inline constexpr cli::Step kAskFocus{"focus", "Enter focal length, z offset",
                                     "two reals: the focal length and the height offset"};
inline constexpr cli::Step kAskDiameters{"diameters", "Enter diameter start,stop,step",
                                         "three reals: the first and last diameter and the step"};
inline constexpr cli::Step kAskOrientation{"orientation", "Enter +1 forward, -1 reverse reflector",
                                           "one real: +1 forward, -1 reverse (a factor on the height)"};
inline constexpr cli::Step kAskLabel{"label", "Enter label", "a text of up to 40 characters: the file's first line"};

inline constexpr cli::Step kSteps[] = {kAskFile, kAskFocus, kAskDiameters, kAskOrientation, kAskLabel};
static_assert(cli::well_formed(kSteps));

inline constexpr std::string_view kExamples[] = {"dishsurface.answers"};

inline constexpr cli::Dialogue kDialogue{
    .name = "dishsurface",
    .arguments = "[NAME]",
    .summary = "Writes the reflector surface file (.rsf) of a paraboloid.",
    .writes =
        "and writes the label, a count line and the radius and height of each point,\n"
        "with CR LF line ends.",
    .banner = kBanner,
    .steps = kSteps,
    .examples = kExamples,
};

}  // namespace dishsurface
