// linermesh: an absorber-lined metal shroud, a body of revolution, written as
// a TOR object file for CHAMP. The answers come from the console or, after
// the first two, from an answer file that replays them; in that case every
// answer is echoed after its prompt.
#include <cstdint>
#include <string>

#include "cli/help.h"
#include "cli/prompt.h"
#include "linermesh/dialogue.h"
#include "linermesh/tor_writer.h"
#include "textio/textio.h"

namespace {

using cli::kPrompt;
using linermesh::kAskAngle;
using linermesh::kAskAnswerFile;
using linermesh::kAskConnection;
using linermesh::kAskEnds;
using linermesh::kAskFileInput;
using linermesh::kAskLayers;
using linermesh::kAskLength;
using linermesh::kAskMaterial;
using linermesh::kAskObjectName;
using linermesh::kAskOutputFile;
using linermesh::kAskThickness;
using linermesh::kAskUnits;
using linermesh::kBanner;
using linermesh::kMaxLayers;
using textio::FileName;
using textio::kConsoleIn;
using textio::kConsoleOut;

constexpr auto kEchoOutputFile = textio::format("(/,A70)");
constexpr auto kEchoObjectName = textio::format("(A20)");

constexpr int kTor = 43;
constexpr int kAnswers = 50;
constexpr std::int32_t kFileInput = 1;
// The answer that turns to the answer file, as the dialogue declares it.
static_assert(kAskAnswerFile.when.asks(kFileInput) && !kAskOutputFile.when.asks(kFileInput));

// These start at zero, and the run relies on it: a null answer (a lone comma)
// keeps a number as it was, so it is zero.
std::int32_t input_mode;
int source;  // where the answers come from: kConsoleIn or kAnswers
FileName<40> answer_file;
FileName<70> output_file;
linermesh::Shroud shroud;

// In answer-file mode nobody typed the answer: show it after its prompt.
bool echoing() { return source == kAnswers; }

// The layer tables end at 99 and names hold at most two digits.
void check_layer_count() {
  if (shroud.layers > kMaxLayers) {
    textio::reject_answer(source, "number of absorber layers " + std::to_string(shroud.layers) + " is above " +
                                      std::to_string(kMaxLayers));
  }
}

// Any other code would pick its unit word from outside the table.
void check_unit_code() {
  if (shroud.unit_code < linermesh::kFirstUnitCode || shroud.unit_code > linermesh::kLastUnitCode) {
    textio::reject_answer(source, "unit code " + std::to_string(shroud.unit_code) + " is not one of 1 to 5");
  }
}

void no_check() {}

// The answers to the question just shown, from where the answers come; an
// answer the program cannot hold is refused before it is echoed.
template <void (*Check)() = no_check, class... T>
void answer(T&... values) {
  textio::read_list(source, values...);
  Check();
  if (echoing()) textio::write_list(kConsoleOut, values...);
}

// One question of the dialogue: its prompt, then its answers.
template <const cli::Step& Question, void (*Check)() = no_check, class... T>
void ask(T&... values) {
  textio::write_formatted<kPrompt<Question>>(kConsoleOut);
  answer<Check>(values...);
}

// A question answered with a text or a file name, echoed through its own
// format.
template <const cli::Step& Question, const auto& Echo, class T>
void ask_text(T& value) {
  textio::write_formatted<kPrompt<Question>>(kConsoleOut);
  textio::read_text(source, value);
  if (echoing()) textio::write_formatted<Echo>(kConsoleOut, value);
}

}  // namespace

int main(int argc, char** argv) {
  cli::answer_help_or_version(argc, argv, linermesh::kDialogue);
  textio::start_run(argc, argv);

  textio::write_formatted<kPrompt<kAskFileInput, kBanner>>(kConsoleOut);
  textio::read_list(kConsoleIn, input_mode);
  source = kConsoleIn;
  if (input_mode == kFileInput) {
    textio::write_formatted<kPrompt<kAskAnswerFile>>(kConsoleOut);
    textio::read_text(kConsoleIn, answer_file);
    source = kAnswers;
    textio::open_file(kAnswers, answer_file, "UNKNOWN");
  }

  ask_text<kAskOutputFile, kEchoOutputFile>(output_file);
  ask<kAskLayers, check_layer_count>(shroud.layers);
  for (std::int32_t i = 1; i <= shroud.layers; ++i) {
    textio::write_formatted<kPrompt<kAskMaterial>>(kConsoleOut, i);
    answer(shroud.permittivity[i], shroud.permeability[i], shroud.loss_tangent[i]);
    ask<kAskThickness>(shroud.thickness[i]);
  }
  ask<kAskAngle>(shroud.angle);
  ask<kAskLength>(shroud.length);
  ask<kAskConnection>(shroud.connection_z, shroud.connection_r);
  ask<kAskUnits, check_unit_code>(shroud.unit_code);
  shroud.stacking_sign = linermesh::stacking_sign(shroud.angle);
  ask_text<kAskObjectName, kEchoObjectName>(shroud.object_name);
  ask<kAskEnds>(shroud.connection_end, shroud.far_end);

  // Opened only now, so a run that fails in the dialogue leaves no TOR file.
  textio::open_file(kTor, output_file, "UNKNOWN");
  linermesh::write_variables(kTor, shroud);
  linermesh::write_bor_mesh(kTor, shroud);
  textio::close_file(kTor);

  textio::end_run();
}
