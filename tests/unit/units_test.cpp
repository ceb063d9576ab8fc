// The unit table's connections and opening by name.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>

#include <unistd.h>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

void say(const std::string& s) {
  ssize_t ignored = write(2, s.data(), s.size());
  (void)ignored;
}

// A terminal is read in blocks: two lines that arrive in one read both
// count, the second kept for the next statement.
TEST(Units, TerminalInputIsReadInBlocksWithTheSurplusKept) {
  child::Result r = child::run([] {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) _exit(1);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);  // no line discipline: one read returns both lines
    tcsetattr(slave, TCSANOW, &raw);
    dup2(slave, 0);
    const char typed[] = "11 12\n13\n";
    if (write(master, typed, sizeof typed - 1) != sizeof typed - 1) _exit(1);
    usleep(20000);
    std::int32_t a = 0, b = 0, c = 0;
    textio::read_list(5, a, b);
    say(textio::acquire_unit(5).byte_reads ? "bytes " : "blocks ");
    close(master);  // the second line must already be in hand
    textio::read_list(5, c);
    say(std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n");
  });
  EXPECT_EQ(r.err, "blocks 11 12 13\n");
}

TEST(Units, FileNamesAreTrimmed) {
  EXPECT_EQ(textio::trim_file_name("  out.rsf   "), "out.rsf");
  EXPECT_EQ(textio::trim_file_name(std::string_view("a b\0\0 \0", 7)), "a b");
  EXPECT_EQ(textio::trim_file_name("\tx "), "\tx");
  EXPECT_EQ(textio::trim_file_name("     "), "");
  EXPECT_EQ(textio::trim_file_name(std::string(300, 'n')).size(), 256u);
}

// A file name's text of 10 characters against the line answered: the whole
// name is kept only when the text's end falls inside a word.
TEST(Units, FileNameCutInsideAWord) {
  struct Cut {
    std::string_view line;
    std::string_view whole;  // empty: the text holds the name
  };
  const Cut cases[] = {
      {"out.dat", ""},
      {"0123456789", ""},                // fills the text exactly
      {"0123456789 remark", ""},         // a remark after a blank
      {"0123456789\tremark", ""},
      {"012345678 9", ""},               // the text ends at a blank
      {"0123456789a", "0123456789a"},    // one character too many
      {"0123456789abc remark", "0123456789abc"},
      {"  01234567890", "01234567890"},  // leading blanks are not part of it
      {"my file.datx more", "my file.datx"},  // up to the end of the word cut
  };
  for (const Cut& c : cases) EXPECT_EQ(textio::cut_name(c.line, 10), c.whole) << c.line;
}

TEST(Units, ReopeningAUnitClosesItFirst) {
  child::Result r = child::run([] {
    static constexpr auto kRecord = textio::format("('one')");
    textio::open_file(40, textio::FileName<20>("a.txt"), "UNKNOWN");
    textio::write_formatted<kRecord>(40);
    textio::open_file(40, textio::FileName<20>("b.txt"), "UNKNOWN");
    textio::write_formatted<kRecord>(40);
    textio::close_file(40);
    textio::close_file(40);  // closing a unit that is not connected does nothing
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.files["a.txt"], "one\r\n");
  EXPECT_EQ(r.files["b.txt"], "one\r\n");
}

}  // namespace
