// linermesh: an absorber-lined metal shroud, a body of revolution, written as
// a TOR object file for CHAMP. The answers come from the console or, after
// the first two, from an answer file that replays them; in that case every
// answer is echoed after its prompt.
#include <cstdint>
#include <string>

#include "linermesh/tor_writer.h"
#include "textio/textio.h"

namespace {

using linermesh::kMaxLayers;
using textio::Text;

constexpr auto kBanner = textio::format("(' CHAMP TOR file for absorber lined shroud',/,' Enter 1 for file input ',$)");
constexpr auto kAskAnswerFile = textio::format("(' Enter input text file ',$)");
constexpr auto kAskOutputFile = textio::format("(' Enter TOR file addition output ',$)");
constexpr auto kEchoOutputFile = textio::format("(/,A70)");
constexpr auto kAskLayers = textio::format("(' Enter number of absorber layers ',$)");
constexpr auto kAskMaterial = textio::format(
    "(' Layer: ',I2,' starting against metal',/,' Enter dielectric constant, Permability, Loss tangent ',$)");
constexpr auto kAskThickness = textio::format("(' Enter initial thickness ',$)");
constexpr auto kAskAngle = textio::format("(' Enter shroud angle ',$)");
constexpr auto kAskLength = textio::format("(' Enter shroud length ',$)");
constexpr auto kAskConnection = textio::format("(' Enter connection pt. (metal) Z, R ',$)");
constexpr auto kAskUnits = textio::format("(' Enter units: 1 inches, 2 ft, 3 mm, 4 cm, 5 m ',$)");
constexpr auto kAskObjectName = textio::format("(' Enter bor_mesh object name ',$)");
constexpr auto kEchoObjectName = textio::format("(A20)");
constexpr auto kAskEnds = textio::format("(' Absorber ends orientation, Enter 1 for radial ',$)");

constexpr int kConsoleIn = 5;
constexpr int kConsoleOut = 6;
constexpr int kTor = 43;
constexpr int kAnswers = 50;
constexpr std::int32_t kFileInput = 1;

std::int32_t input_mode;
int source;  // where the answers come from: kConsoleIn or kAnswers
Text<40> answer_file;
Text<70> output_file;
linermesh::Shroud shroud;

// In answer-file mode nobody typed the answer: show it after its prompt.
bool echoing() { return source == kAnswers; }

}  // namespace

int main(int argc, char** argv) {
  textio::start_run(argc, argv);

  textio::write_formatted<kBanner>(kConsoleOut);
  textio::read_list(kConsoleIn, input_mode);
  source = kConsoleIn;
  if (input_mode == kFileInput) {
    textio::write_formatted<kAskAnswerFile>(kConsoleOut);
    textio::read_text(kConsoleIn, answer_file);
    source = kAnswers;
    textio::open_file(kAnswers, answer_file, "UNKNOWN");
  }

  textio::write_formatted<kAskOutputFile>(kConsoleOut);
  textio::read_text(source, output_file);
  if (echoing()) textio::write_formatted<kEchoOutputFile>(kConsoleOut, output_file);

  textio::write_formatted<kAskLayers>(kConsoleOut);
  textio::read_list(source, shroud.layers);
  // The layer tables end at 99 and names hold at most two digits.
  if (shroud.layers > kMaxLayers) {
    textio::reject_answer(source, "number of absorber layers " + std::to_string(shroud.layers) + " is above " +
                                      std::to_string(kMaxLayers));
  }
  if (echoing()) textio::write_list(kConsoleOut, shroud.layers);

  for (std::int32_t i = 1; i <= shroud.layers; ++i) {
    textio::write_formatted<kAskMaterial>(kConsoleOut, i);
    textio::read_list(source, shroud.permittivity[i], shroud.permeability[i], shroud.loss_tangent[i]);
    if (echoing()) {
      textio::write_list(kConsoleOut, shroud.permittivity[i], shroud.permeability[i], shroud.loss_tangent[i]);
    }
    textio::write_formatted<kAskThickness>(kConsoleOut);
    textio::read_list(source, shroud.thickness[i]);
    if (echoing()) textio::write_list(kConsoleOut, shroud.thickness[i]);
  }

  textio::write_formatted<kAskAngle>(kConsoleOut);
  textio::read_list(source, shroud.angle);
  if (echoing()) textio::write_list(kConsoleOut, shroud.angle);

  textio::write_formatted<kAskLength>(kConsoleOut);
  textio::read_list(source, shroud.length);
  if (echoing()) textio::write_list(kConsoleOut, shroud.length);

  textio::write_formatted<kAskConnection>(kConsoleOut);
  textio::read_list(source, shroud.connection_z, shroud.connection_r);
  if (echoing()) textio::write_list(kConsoleOut, shroud.connection_z, shroud.connection_r);

  textio::write_formatted<kAskUnits>(kConsoleOut);
  textio::read_list(source, shroud.unit_code);
  // Any other code would pick its unit word from outside the table.
  if (shroud.unit_code < linermesh::kFirstUnitCode || shroud.unit_code > linermesh::kLastUnitCode) {
    textio::reject_answer(source, "unit code " + std::to_string(shroud.unit_code) + " is not one of 1 to 5");
  }
  if (echoing()) textio::write_list(kConsoleOut, shroud.unit_code);

  shroud.stacking_sign = linermesh::stacking_sign(shroud.angle);

  textio::write_formatted<kAskObjectName>(kConsoleOut);
  textio::read_text(source, shroud.object_name);
  if (echoing()) textio::write_formatted<kEchoObjectName>(kConsoleOut, shroud.object_name);

  textio::write_formatted<kAskEnds>(kConsoleOut);
  textio::read_list(source, shroud.connection_end, shroud.far_end);
  if (echoing()) textio::write_list(kConsoleOut, shroud.connection_end, shroud.far_end);

  // Opened only now, so a run that fails in the dialogue leaves no TOR file.
  textio::open_file(kTor, output_file, "UNKNOWN");
  linermesh::write_variables(kTor, shroud);
  linermesh::write_bor_mesh(kTor, shroud);
  textio::close_file(kTor);

  textio::end_run();
}
