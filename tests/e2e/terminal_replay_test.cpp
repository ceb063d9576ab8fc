// The dialogues the programs show, checked against their declarations.
//
// Scenarios replayed at a terminal: each answer is typed once its prompt is
// on screen, as a person would. The files written must be the same as from a
// pipe, and the screen must be the piped transcript with each answer echoed
// right after its prompt and every LF shown as CR LF.
//
// Prompts in order: for each example answer file and some answers that take
// the other branches, the prompts a piped run shows must be the ones its
// declared dialogue predicts for those answers, in that order and number.
//
// The `dialogues` listing: every declared step, in order, with its members.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cli/dialogues.h"
#include "e2e/scenario.h"
#include "radome_programs.h"

namespace {

const cli::Dialogue& dialogue_of(const std::string& name) {
  for (const cli::Dialogue* d : cli::kDialogues) {
    if (d->name == name) return *d;
  }
  throw std::runtime_error("no dialogue declared for " + name);
}

// Each declared question as it ends on the screen: its last line and the
// blank the answer follows.
const std::map<std::string, std::vector<std::string>> kPrompts = [] {
  std::map<std::string, std::vector<std::string>> prompts;
  for (const cli::Dialogue* d : cli::kDialogues) {
    for (const cli::Step& s : d->steps) {
      const std::size_t lf = s.prompt.rfind('\n');
      prompts[std::string(d->name)].push_back(std::string(s.prompt.substr(lf == std::string_view::npos ? 0 : lf + 1)) +
                                              " ");
    }
  }
  return prompts;
}();

std::string onlcr(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Where each answer is typed: just after the next prompt in the piped
// transcript.
std::vector<std::size_t> answer_points(const std::string& piped, const std::vector<std::string>& prompts,
                                       std::size_t answers) {
  std::vector<std::size_t> at;
  std::size_t from = 0;
  while (at.size() < answers) {
    std::size_t best = std::string::npos, end = 0;
    for (const std::string& p : prompts) {
      const std::size_t k = piped.find(p, from);
      if (k < best) best = k, end = k + p.size();
    }
    if (best == std::string::npos) break;
    at.push_back(end);
    from = end;
  }
  return at;
}

class Replay : public testing::TestWithParam<std::string> {};

TEST_P(Replay, SameFilesAndEchoedTranscript) {
  const e2e::Scenario sc = e2e::load_scenario(std::string(E2E_CASES_DIR) + "/" + GetParam() + ".case");
  std::vector<std::string> answers;
  std::istringstream lines(sc.run.stdin_bytes);
  for (std::string line; std::getline(lines, line);) answers.push_back(line);
  const std::vector<std::size_t> at = answer_points(sc.expected_stdout, kPrompts.at(sc.program), answers.size());
  ASSERT_EQ(at.size(), answers.size()) << "a prompt for every answer";

  proc::Request rq = e2e::request_for(sc, PROGRAMS_DIR);
  rq.terminal = true;
  proc::Process t(rq);
  std::string shown;
  std::size_t done = 0;
  for (std::size_t k = 0; k < answers.size(); ++k) {
    const std::string before = onlcr(sc.expected_stdout.substr(done, at[k] - done));
    ASSERT_TRUE(t.expect(before)) << "waiting for: " << e2e::escaped(before)
                                  << "\nscreen: " << e2e::escaped(t.transcript());
    t.type(answers[k] + "\r");
    shown += before + answers[k] + "\r\n";
    done = at[k];
  }
  shown += onlcr(sc.expected_stdout.substr(done));
  const proc::Result r = t.finish();
  // Diagnostics share the terminal; compare the screen only for clean runs.
  if (sc.expected_stderr.empty()) {
    EXPECT_EQ(e2e::escaped(r.out), e2e::escaped(shown));
  }
  EXPECT_EQ(r.status, sc.expected_status);
  EXPECT_EQ(e2e::compare_files(sc, r), "");
}

INSTANTIATE_TEST_SUITE_P(Programs, Replay,
                         testing::Values("dishsurface/worked_example", "dishsurface/step_falls_short_of_stop",
                                         "domeprofile/circle", "domeprofile/parabola", "domeprofile/ellipse",
                                         "domeprofile/sinusoid", "domeprofile/circle_one_point",
                                         "linermesh/example_console", "linermesh/example_answer_file"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// Every registered dialogue program has its dialogue declared, and no other.
TEST(Dialogues, DeclaredForEveryProgram) {
  std::set<std::string> registered, declared;
  for (const RegisteredProgram& p : kRegisteredPrograms) registered.insert(p.name);
  for (const cli::Dialogue* d : cli::kDialogues) declared.insert(std::string(d->name));
  EXPECT_EQ(registered, declared);
}

// The prompt with the layer's number as the program shows it, in two columns.
std::string shown(std::string_view prompt, int layer) {
  std::string s(prompt);
  if (const std::size_t k = s.find(cli::kLayer); k != std::string::npos) {
    const std::string number = std::to_string(layer);
    s.replace(k, cli::kLayer.size(), std::string(number.size() < 2 ? 2 - number.size() : 0, ' ') + number);
  }
  // A line of its own on the console starts after a CR LF.
  for (std::size_t k = 0; (k = s.find('\n', k)) != std::string::npos; k += 2) s.replace(k, 1, "\r\n");
  return s;
}

// The prompts the dialogue asks for these answers, in order: a step is asked
// when its `when` holds for the integer its earlier step was answered with; a
// loop's steps are asked as often as its count step's answer (none for 0 or
// less). In a program that reads an answer file, the steps the switch to the
// file takes from the console are answered from `file` instead, and shown all
// the same.
std::vector<std::string> predicted(const cli::Dialogue& d, std::vector<std::string> console,
                                   std::vector<std::string> file) {
  std::vector<std::string> prompts;
  std::map<std::string_view, long> integers;
  auto ask = [&](const cli::Step& s, int layer) {
    const auto answer = integers.find(s.when.id);
    const bool asked =
        s.when.test == cli::When::Test::always || (answer != integers.end() && s.when.asks(answer->second));
    const bool from_file =
        !asked && !d.answer_file.empty() && s.when.test == cli::When::Test::not_in && answer != integers.end();
    if (!asked && !from_file) return;
    std::vector<std::string>& source = asked ? console : file;
    prompts.push_back(shown(s.prompt, layer));
    const std::string line = source.empty() ? "" : source.front();
    if (!source.empty()) source.erase(source.begin());
    integers[s.id] = std::strtol(line.c_str(), nullptr, 10);
  };
  for (std::size_t j = 0; j < d.steps.size();) {
    const cli::Step& s = d.steps[j];
    if (s.repeat.empty()) {
      ask(s, 0);
      ++j;
      continue;
    }
    std::size_t end = j;
    while (end < d.steps.size() && d.steps[end].repeat == s.repeat) ++end;
    const long count = integers.count(s.repeat) != 0 ? integers[s.repeat] : 0;
    for (int layer = 1; layer <= count; ++layer) {
      for (std::size_t k = j; k < end; ++k) ask(d.steps[k], layer);
    }
    j = end;
  }
  return prompts;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string example(std::string_view name) {
  std::ifstream in(std::string(E2E_CASES_DIR) + "/../../../examples/" + std::string(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Where the answers come from: the console, and for linermesh's file mode an
// answer file named on it.
struct Answers {
  std::string program;
  std::string console;
  std::string file;  // answers.txt, present before the run, when not empty
};

// Every example answer file, fed the way its program takes it.
std::vector<Answers> from_examples() {
  std::vector<Answers> runs;
  for (const cli::Dialogue* d : cli::kDialogues) {
    for (const std::string_view name : d->examples) {
      if (d->answer_file.empty()) {
        runs.push_back({std::string(d->name), example(name), ""});
      } else {
        runs.push_back({std::string(d->name), "0\n" + example(name), ""});
        runs.push_back({std::string(d->name), "1\nanswers.txt\n", example(name)});
      }
    }
  }
  return runs;
}

// Answers that take the branches the examples leave.
const std::vector<Answers> kBranches = {
    {"domeprofile", "0\nzero.dat\n1\n0 90 3\n", ""},  // below 1: center and angles only
    {"domeprofile", "-3\nminus.dat\n1\n0 90 2\n", ""},
    {"domeprofile", "5\nfive.dat\n", ""},                          // above 4: nothing after the file
    {"domeprofile", "4\ns.dat\n0 1\n2 3\n0\n0.5\n2\n", ""},        // no points
    {"linermesh", "0\nl.tor\n0\n45\n1\n0 1\n3\nnone\n0 0\n", ""},  // no layers
    {"linermesh", "2\nl.tor\n-4\n45\n1\n0 1\n3\nnone\n0 0\n", ""},
    {"linermesh", "1\nanswers.txt\n", "l.tor\n0\n90\n2\n1 2\n5\nflat\n1 1\n"},
    {"linermesh", "0\nl.tor\n3\n1 1 0\n.1\n2 1 0\n.2\n3 1 0\n.3\n10\n5\n0 2\n4\nthree\n0 1\n", ""},
    {"dishsurface", "d.rsf\n10 0\n0 10 5\n-1\nREVERSE\n", ""},
};

void PrintTo(const Answers& a, std::ostream* os) {
  *os << a.program << (a.file.empty() ? "" : ", answer file");
}

class PromptsInOrder : public testing::TestWithParam<Answers> {};

// Each predicted prompt, with the blank the answer follows, must come after
// the one before it, the banner first. Between them a run shows only numbers
// and, where it echoes them, the answers: a word of two letters or more that
// no answer holds belongs to a question that is not declared.
TEST_P(PromptsInOrder, AsDeclared) {
  const Answers& a = GetParam();
  const cli::Dialogue& d = dialogue_of(a.program);
  proc::Request rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/" + a.program;
  rq.stdin_bytes = a.console;
  if (!a.file.empty()) rq.before["answers.txt"] = a.file;
  const proc::Result r = proc::run(rq);
  ASSERT_EQ(r.status, 0) << r.err;

  const std::vector<std::string> console = lines_of(a.console), file = lines_of(a.file);
  std::vector<std::string> expected = predicted(d, console, file);
  ASSERT_FALSE(expected.empty());
  expected.front() = std::string(d.banner) + "\r\n" + expected.front();
  std::string between;  // what the run shows besides the prompts, from the banner on
  std::size_t at = std::string::npos;
  for (const std::string& prompt : expected) {
    const std::size_t k = r.out.find(prompt + " ", at == std::string::npos ? 0 : at);
    ASSERT_NE(k, std::string::npos) << "missing, or out of order: " << e2e::escaped(prompt)
                                    << "\nin: " << e2e::escaped(r.out);
    if (at != std::string::npos) between += r.out.substr(at, k - at) + "\n";
    at = k + prompt.size() + 1;
  }
  between += r.out.substr(at);
  for (std::size_t k = 0; k < between.size();) {
    std::size_t end = k;
    while (end < between.size() && std::isalpha(static_cast<unsigned char>(between[end]))) ++end;
    const std::string word = between.substr(k, end - k);
    k = std::max(end, k + 1);
    if (word.size() < 2) continue;
    const bool answered =
        std::any_of(console.begin(), console.end(),
                    [&](const std::string& l) { return l.find(word) != std::string::npos; }) ||
        std::any_of(file.begin(), file.end(), [&](const std::string& l) { return l.find(word) != std::string::npos; });
    EXPECT_TRUE(answered) << "\"" << word << "\" shown, not declared:\n" << e2e::escaped(r.out);
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, PromptsInOrder, testing::ValuesIn(from_examples()),
                         [](const testing::TestParamInfo<Answers>& info) {
                           return info.param.program + "_" + std::to_string(info.index);
                         });
INSTANTIATE_TEST_SUITE_P(Branches, PromptsInOrder, testing::ValuesIn(kBranches),
                         [](const testing::TestParamInfo<Answers>& info) {
                           return info.param.program + "_" + std::to_string(info.index);
                         });

// Every answer file under examples/ is listed as an example of its program.
TEST(Dialogues, EveryExampleListed) {
  std::set<std::string> listed, present;
  for (const cli::Dialogue* d : cli::kDialogues) {
    for (const std::string_view e : d->examples) listed.insert(std::string(e));
  }
  for (const auto& entry : std::filesystem::directory_iterator(std::string(E2E_CASES_DIR) + "/../../../examples")) {
    if (entry.path().extension() == ".answers") present.insert(entry.path().filename().string());
  }
  EXPECT_EQ(listed, present);
}

// A JSON string as the listing writes it, for the texts the dialogues hold.
std::string json(std::string_view text) {
  std::string s = "\"";
  for (const char c : text)
    s += c == '\n' ? std::string("\\n") : c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
  return s + "\"";
}

// The listing holds every declared step, in order, with its prompt and what
// it holds; and the members that shape the page, written out here by hand.
TEST(Dialogues, ListingHoldsEveryStep) {
  proc::Request rq;
  rq.executable = std::string(PROGRAMS_DIR) + "/dialogues";
  const proc::Result r = proc::run(rq);
  ASSERT_EQ(r.status, 0) << r.err;
  std::size_t at = 0;
  for (const cli::Dialogue* d : cli::kDialogues) {
    for (const std::string& member : std::vector<std::string>{"{\"name\":" + json(d->name)}) {
      at = r.out.find(member, at);
      ASSERT_NE(at, std::string::npos) << member;
    }
    for (const cli::Step& s : d->steps) {
      const std::string step =
          "{\"id\":" + json(s.id) + ",\"prompt\":" + json(s.prompt) + ",\"holds\":" + json(s.holds);
      at = r.out.find(step, at);
      ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << step;
    }
  }
  const char* const fragments[] = {
      R"({"programs":[{"name":"domeprofile","banner":"Curved radome section points",)"
      R"("examples":["domeprofile-circle.answers","domeprofile-parabola.answers",)"
      R"("domeprofile-ellipse.answers","domeprofile-sinusoid.answers"],"steps":[)",
      R"("id":"curve","prompt":"Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal",)",
      R"("id":"file","prompt":"Enter output file","holds":"file name of up to 40 characters;)",
      R"("id":"center","prompt":"Enter center (focus) along X-axis",)",
      R"("when":{"id":"curve","at_most":3}},)",
      R"("id":"radius","prompt":"Enter circle radius","holds":"one real: the radius Rc","when":{"id":"curve","in":[1]}},)",
      R"("id":"exponent","prompt":"Enter sinusoidal factor exponent",)",
      R"({"name":"linermesh","banner":"CHAMP TOR file for absorber lined shroud","examples":["linermesh.answers"],)"
      R"("answer_file":"the answers from \"Enter TOR file addition output\" on, one a line,)",
      R"({"id":"answer_file","prompt":"Enter input text file",)",
      R"("when":{"id":"file_input","in":[1]}},)",
      R"({"id":"layers","prompt":"Enter number of absorber layers",)",
      R"({"repeat":"layers","when":{"id":"file_input","not_in":[1]},"steps":[)",
      R"({"id":"material","prompt":"Layer: {layer} starting against metal\nEnter dielectric constant, )"
      R"(Permability, Loss tangent","holds":"three reals: permittivity, permeability, loss tangent",)"
      R"("when":{"id":"file_input","not_in":[1]}},)",
      R"({"id":"thickness","prompt":"Enter initial thickness",)",
      R"("when":{"id":"file_input","not_in":[1]}}]},)",
      R"({"id":"ends","prompt":"Absorber ends orientation, Enter 1 for radial",)",
      R"({"name":"dishsurface","banner":"TICRA .rsf file of parabola","examples":["dishsurface.answers"],"steps":[)",
      R"({"id":"label","prompt":"Enter label","holds":"a text of up to 40 characters: the file's first line"}]}]})",
  };
  for (const char* fragment : fragments) {
    EXPECT_NE(r.out.find(fragment), std::string::npos) << fragment;
  }
}

}  // namespace
