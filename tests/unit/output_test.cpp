// Records as bytes: the console's first-column control, split line ends and
// prompts; file records with CR LF; free-form fields; field overflow.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "textio/console.h"
#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

using textio::Text;

constexpr auto kPiBanner = textio::format(
    "(' Curved radome section points',/,' Enter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal ',$)");
constexpr auto kAskFile = textio::format("(' Enter output file ',$)");
constexpr auto kAskLayers = textio::format("(' Enter number of absorber layers ',$)");
constexpr auto kAskMaterial = textio::format("(' Enter dielectric constant, Permability, Loss tangent ',$)");
constexpr auto kA3 = textio::format("(A3)");
constexpr auto kA6 = textio::format("(A6)");
constexpr auto kSlash = textio::format("(/)");
constexpr auto kTwoRecords = textio::format("(' first',/,' second')");
constexpr auto kTrailingSlash = textio::format("('x',/)");
constexpr auto kSkip = textio::format("('ab',TR3,'cd')");
constexpr auto kSkipAtEnd = textio::format("('ab',TR3)");
constexpr auto kI1 = textio::format("(I1)");
constexpr auto kLabel = textio::format("(A20)");
constexpr auto kEchoName = textio::format("(/,A20)");
constexpr auto kHeader = textio::format("(A40,/,3I4)");
constexpr auto kRow = textio::format("('       ',I2,1P,E12.4,E12.4,E12.4)");
constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");

constexpr auto kA1 = textio::format("(A1)");

// Marks, on standard error, how many bytes the console has received so far.
void mark_console() {
  struct stat st {};
  fstat(1, &st);
  const std::string s = std::to_string(st.st_size);
  ssize_t ignored = write(2, s.data(), s.size());
  (void)ignored;
}

// What the console received after the mark: what was still held back then.
std::string after_mark(const child::Result& r) { return r.out.substr(std::stoul(r.err)); }

TEST(Console, OpeningLinesOfADialogue) {
  const float pi = 3.14159274f;
  std::int32_t curve = 0;
  child::Result r = child::run(
      [&] {
        textio::write_list(6, "pi", pi);
        textio::write_formatted<kPiBanner>(6);
        textio::read_list(5, curve);
        textio::write_formatted<kAskFile>(6);
        mark_console();
      },
      "1\n");
  EXPECT_EQ(r.out,
            "pi   3.141593    \r"
            "\nCurved radome section points\r"
            "\nEnter curve: 1 circle, 2 parabola, 3 ellipse, 4 Sinusoidal "
            " Enter output file ");
  // The second prompt was still pending; the end of the run showed it whole,
  // since the answered prompt before it had already ended the line.
  EXPECT_EQ(after_mark(r), " Enter output file ");
  EXPECT_EQ(r.status, 0);
}

TEST(Console, TwoAnsweredPromptsAndTheRecordAfterThem) {
  std::int32_t a = 0, b = 0;
  child::Result r = child::run(
      [&] {
        textio::write_formatted<kAskFile>(6);
        textio::read_list(5, a);
        textio::write_formatted<kAskLayers>(6);
        textio::read_list(5, b);
        textio::write_formatted<kTwoRecords>(6);
        mark_console();
      },
      "1\n2\n");
  EXPECT_EQ(r.out,
            "Enter output file "           // first prompt: control blank dropped
            " Enter number of absorber layers "  // after a prompt: shown whole
            " first\r"                     // the record after it, whole, no LF
            "\nsecond\r"
            "\n");  // the owed LF at the end of the run
  EXPECT_EQ(after_mark(r), "\n");  // nothing pending, a line end owed
}

TEST(Console, PromptContinuedByAnEcho) {
  std::int32_t n = 3;
  child::Result r = child::run([&] {
    textio::write_formatted<kAskLayers>(6);
    textio::write_list(6, n);
  });
  EXPECT_EQ(r.out, "Enter number of absorber layers            3\r\n");
}

TEST(Console, EchoThatPassesColumn80StartsANewRecord) {
  const float a = 4.0f, b = 1.0f, c = 0.5f;
  child::Result r = child::run([&] {
    textio::write_formatted<kAskMaterial>(6);
    textio::write_list(6, a, b, c);
  });
  EXPECT_EQ(r.out,
            "Enter dielectric constant, Permability, Loss tangent    4.000000    \r"
            "\n  1.000000      0.5000000    \r\n");  // its first blank is the control character
}

TEST(Console, PromptFollowedByAnEchoRecord) {
  // The answer read from elsewhere, then echoed through (/,A20): the slash
  // ends the prompt's line, the text is a record of its own.
  const Text<20> name("liner");
  child::Result r = child::run([&] {
    textio::write_formatted<kAskLayers>(6);
    textio::write_formatted<kEchoName>(6, name);
  });
  EXPECT_EQ(r.out, "Enter number of absorber layers \r\niner               \r\n");
}

TEST(Console, FirstColumnControl) {
  const Text<6> blank(" one"), zero("0two"), page("1three"), over("+four"), dollar("$five"), last(" six");
  Text<6> nul("?nul");
  nul.c[0] = '\0';
  child::Result r = child::run([&] {
    for (const Text<6>* t : {&blank, &zero, &page, &over, &dollar, static_cast<const Text<6>*>(&nul), &last}) {
      textio::write_formatted<kA6>(6, *t);
    }
  });
  const std::string want =
      "one  \r"        // blank: the rest, then CR; the LF is owed
      "\n\ntwo  \r"    // 0: one empty line between
      "\fthree\r"      // 1: a new page
      "four \r"        // +: overprints, no LF
      "\nfive "        // $: no CR
      + std::string("nul  ", 5) +  // NUL: neither LF nor CR
      "\nsix  \r"
      "\n";
  EXPECT_EQ(r.out, want);
}

TEST(Console, EmptyRecordsAreEmptyLines) {
  child::Result r = child::run([&] { textio::write_formatted<kSlash>(6); });
  EXPECT_EQ(r.out, "\r\n\r\n");
}

TEST(Console, PendingPromptIsShownAtTheEnd) {
  child::Result r = child::run([&] {
    textio::write_formatted<kTwoRecords>(6);
    textio::write_formatted<kAskFile>(6);
  });
  EXPECT_EQ(r.out, "first\r\nsecond\r\nEnter output file ");
}

TEST(Console, TwoPromptsWithoutAReadShareTheLine) {
  std::int32_t n = 0;
  child::Result r = child::run(
      [&] {
        textio::write_formatted<kAskFile>(6);
        textio::write_formatted<kAskLayers>(6);
        textio::read_list(5, n);
      },
      "4\n");
  EXPECT_EQ(r.out, "Enter output file  Enter number of absorber layers ");
}

// The console line step by step. Steps: p a prompt on the console; r a
// console read; a a read from an answer file; e a free-form echo of 3 on the
// console; c a record " x" on a unit opened as CON (the same stream, without
// first-column control); q the question for a blank file name, answered;
// any other character a console record of that character and "x" ('n' for
// NUL). The state is the console's after the steps; the bytes include what
// the end of the run sends.
struct ConsoleSteps {
  const char* steps;
  const char* state;  // "P<owner>" when a prompt is pending, "L" line open, "A" after a prompt
  std::string shown;
};

TEST(Console, LineStateStepByStep) {
  const std::string ask = "Enter output file ";
  const std::string question = "File name missing or blank - please enter file name\r\nUNIT 45? ";
  const ConsoleSteps cases[] = {
      {"p", "P6--", ask},                           // shown at the end, its control blank dropped
      {" p", "P6L-", "x\r\n" + ask},                // the owed LF goes before it
      {"pr", "--A", ask},                           // the read shows it and ends nothing
      {"pr0", "-L-", ask + "0x\r\n"},               // after an answered prompt a record is shown
      {"pr$", "-L-", ask + "$x\r\n"},               //   whole, whatever its first character,
      {"prn", "-L-", ask + std::string("\0x\r\n", 4)},  //   and ends with CR
      {"pe", "-L-", ask + "           3\r\n"},      // the echo continues the prompt's record
      {"pre", "-L-", ask + "           3\r\n"},     // after the read: a record of its own, whole
      {"pc", "P6--", " x\r\n" + ask},               // another unit leaves the prompt pending
      {"pa", "P6--", ask},                          // so does a read from a file
      {" a", "-L-", "x\r\n"},
      {"prq", "--A", ask + question},               // the question comes after the answered prompt
      {" q", "--A", "x\r\n" + question},
      {" q ", "-L-", "x\r\n" + question + " x\r\n"},  // and the record after its answer is whole
  };
  for (const ConsoleSteps& c : cases) {
    child::Result r = child::run(
        [&] {
          static constexpr auto kA2 = textio::format("(A2)");
          std::FILE* answers = std::fopen("answers.txt", "w");
          std::fputs("7\n8\n9\n", answers);
          std::fclose(answers);
          textio::open_file(50, textio::FileName<20>("answers.txt"), "UNKNOWN");
          textio::open_file(41, textio::FileName<20>("CON"), "UNKNOWN");
          std::int32_t n = 0;
          for (const char* s = c.steps; *s != '\0'; ++s) {
            switch (*s) {
              case 'p': textio::write_formatted<kAskFile>(6); break;
              case 'r': textio::read_list(5, n); break;
              case 'a': textio::read_list(50, n); break;
              case 'e': textio::write_list(6, std::int32_t{3}); break;
              case 'c': textio::write_formatted<kA2>(41, Text<2>(" x")); break;
              case 'q': textio::open_file(45, textio::FileName<20>(""), "UNKNOWN"); break;
              default: {
                Text<2> record("?x");
                record.c[0] = *s == 'n' ? '\0' : *s;
                textio::write_formatted<kA2>(6, record);
              }
            }
          }
          const textio::ConsoleState& cs = textio::console_state;
          std::string state = cs.prompt_pending() ? 'P' + std::to_string(cs.prompt_owner()) : "-";
          state += cs.line_open() ? 'L' : '-';
          state += cs.after_prompt() ? 'A' : '-';
          ssize_t ignored = write(2, state.data(), state.size());
          (void)ignored;
        },
        "1\nname\n1\n");
    EXPECT_EQ(r.err, c.state) << c.steps;
    EXPECT_EQ(r.out, c.shown) << c.steps;
    EXPECT_EQ(r.status, 0) << c.steps;
  }
}

TEST(Console, FieldOverflowIsReportedAndTheRunGoesOn) {
  child::Result r = child::run([&] {
    textio::write_formatted<kI1>(6, std::int32_t{10});
    textio::write_formatted<kI1>(6, std::int32_t{7});
  });
  EXPECT_EQ(r.out, "\r\n\r\n");  // "*" and "7" are control characters of their records
  EXPECT_EQ(r.err, "textio: error (63): output conversion error, unit 6, file CONOUT$\n");
  EXPECT_EQ(r.status, 63);
}

TEST(Files, RecordsEndWithCrLfAndKeepTheirBlanks) {
  const Text<40> label("DISH");
  const Text<20> name("liner");
  child::Result r = child::run([&] {
    textio::open_file(40, textio::FileName<20>("out.txt"), "UNKNOWN");
    textio::write_formatted<kSkip>(40);
    textio::write_formatted<kSkipAtEnd>(40);
    textio::write_formatted<kTrailingSlash>(40);
    textio::write_formatted<kLabel>(40, name);
    textio::write_formatted<kHeader>(40, label, std::int32_t{21}, std::int32_t{1}, std::int32_t{0});
    textio::write_formatted<kRow>(40, std::int32_t{1}, 4.0f, 1.0f, 0.5f);
    textio::write_formatted<kPoint>(40, 10.0f, -2.5f);
    textio::write_formatted<kA3>(40, Text<3>("$0+"));
    textio::close_file(40);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.files["out.txt"],
            "ab   cd\r\n"
            "ab\r\n"
            "x\r\n\r\n"
            "liner               \r\n"
            "DISH                                    \r\n  21   1   0\r\n"
            "        1  4.0000E+00  1.0000E+00  5.0000E-01\r\n"
            "  1.00000E+01   -2.50000E+00\r\n"
            "$0+\r\n");
}

TEST(Files, FreeFormRecords) {
  child::Result r = child::run([&] {
    textio::open_file(40, textio::FileName<20>("out.txt"), "UNKNOWN");
    textio::write_list(40, std::int32_t{10});
    textio::write_list(40, "pi", 3.14159274f);
    textio::write_list(40);
    // Six floats are 90 columns: the sixth starts a new record of a file's
    // 79-column line.
    textio::write_list(40, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f);
    textio::close_file(40);
  });
  EXPECT_EQ(r.files["out.txt"],
            "          10\r\n"
            " pi   3.141593    \r\n"
            " \r\n"
            "   1.000000       2.000000       3.000000       4.000000       5.000000    \r\n"
            "   6.000000    \r\n");
}

TEST(Files, PromptOnAFileUnitHasNoLineEnd) {
  child::Result r = child::run([&] {
    textio::open_file(40, textio::FileName<20>("out.txt"), "UNKNOWN");
    textio::write_formatted<kAskFile>(40);
    textio::write_formatted<kA1>(40, Text<1>("z"));
    textio::close_file(40);
  });
  EXPECT_EQ(r.files["out.txt"], " Enter output file z\r\n");
}

TEST(Files, ConsoleDeviceNamesWritePlainRecords) {
  child::Result r = child::run([&] {
    textio::open_file(41, textio::FileName<20>("con"), "UNKNOWN");
    textio::write_formatted<kTwoRecords>(41);
    textio::open_file(42, textio::FileName<20>("NUL.txt"), "UNKNOWN");
    textio::write_formatted<kTwoRecords>(42);
    textio::open_file(43, textio::FileName<20>("Con.log"), "UNKNOWN");
    textio::write_formatted<kSkip>(43);
    mark_console();
  });
  EXPECT_EQ(r.out, " first\r\n second\r\nab   cd\r\n");
  EXPECT_EQ(after_mark(r), "");  // the console owes nothing for them
  EXPECT_TRUE(r.files.empty());
}

}  // namespace
