// linermesh's dialogue: file input or not; then, from the console or from the
// answer file, the TOR file, the layers (two questions for each), the shroud,
// its units, the object's name and how the layers' ends are cut.
#pragma once

#include <string_view>

#include "cli/dialogue.h"

namespace linermesh {

inline constexpr std::string_view kBanner = "CHAMP TOR file for absorber lined shroud";

// The answers that come from the answer file in file mode.
inline constexpr cli::When kFromConsole = cli::not_in("file_input", {1});

inline constexpr cli::Step kAskFileInput{"file_input", "Enter 1 for file input",
                                         "one integer: 1 reads the later answers from an answer file"};
inline constexpr cli::Step kAskAnswerFile{"answer_file", "Enter input text file",
                                          "file name of up to 40 characters; blank takes NAME or asks again",
                                          cli::in("file_input", {1})};
inline constexpr cli::Step kAskOutputFile{"output_file", "Enter TOR file addition output",
                                          "file name of up to 70 characters; blank takes NAME or asks again",
                                          kFromConsole};
inline constexpr cli::Step kAskLayers{"layers", "Enter number of absorber layers",
                                      "one integer, the layer count: below 1 none; above 99 ends the run",
                                      kFromConsole};
inline constexpr cli::Step kAskMaterial{
    "material", "Layer: {layer} starting against metal\nEnter dielectric constant, Permability, Loss tangent",
    "three reals: permittivity, permeability, loss tangent", kFromConsole, "layers"};
inline constexpr cli::Step kAskThickness{"thickness", "Enter initial thickness", "one real: the layer's thickness",
                                         kFromConsole, "layers"};
inline constexpr cli::Step kAskAngle{"angle", "Enter shroud angle", "one real: from the Z axis, degrees", kFromConsole};
inline constexpr cli::Step kAskLength{"length", "Enter shroud length", "one real: the shroud's length", kFromConsole};
inline constexpr cli::Step kAskConnection{"connection", "Enter connection pt. (metal) Z, R",
                                          "two reals: Z and R of the metal's start", kFromConsole};
inline constexpr cli::Step kAskUnits{"units", "Enter units: 1 inches, 2 ft, 3 mm, 4 cm, 5 m",
                                     "one integer, 1 to 5 (any other ends the run)", kFromConsole};
inline constexpr cli::Step kAskObjectName{"object_name", "Enter bor_mesh object name", "a text of up to 20 characters",
                                          kFromConsole};
inline constexpr cli::Step kAskEnds{"ends", "Absorber ends orientation, Enter 1 for radial",
                                    "two integers: connection end, far end (1 radial, else normal)", kFromConsole};

inline constexpr cli::Step kSteps[] = {kAskFileInput,  kAskAnswerFile, kAskOutputFile, kAskLayers,
                                       kAskMaterial,   kAskThickness,  kAskAngle,      kAskLength,
                                       kAskConnection, kAskUnits,      kAskObjectName, kAskEnds};
static_assert(cli::well_formed(kSteps));

inline constexpr std::string_view kExamples[] = {"linermesh.answers"};

inline constexpr cli::Dialogue kDialogue{
    .name = "linermesh",
    .arguments = "[NAME...]",
    .summary = "Writes a TOR object file for an absorber-lined metal shroud.",
    .writes =
        "and writes the numbers as variables and one bor_mesh object, with CR LF line\n"
        "ends.",
    .banner = kBanner,
    .steps = kSteps,
    .examples = kExamples,
    .answer_file =
        "the answers from \"Enter TOR file addition output\" on, one a line, the lines "
        "the console would take; the console shows each after its prompt",
};

}  // namespace linermesh
