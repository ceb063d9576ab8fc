// The free-form and fixed-width reads, driven through standard input in a
// child, with the values filled and the message that ended the run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "textio/textio.h"
#include "unit/child_run.h"

namespace {

const char* const kCodes[] = {
    "",
    "textio: severe (24): end-of-file during read, unit 5, file CONIN$\n",
    "textio: severe (59): list-directed I/O syntax error, unit 5, file CONIN$\n",
    "textio: severe (64): input conversion error, unit 5, file CONIN$\n",
};

std::string diagnostic_for(int status) {
  switch (status) {
    case 0: return kCodes[0];
    case 24: return kCodes[1];
    case 59: return kCodes[2];
    case 64: return kCodes[3];
  }
  return "?";
}

void say(const std::string& s) {
  ssize_t ignored = write(2, s.data(), s.size());
  (void)ignored;
}

std::string float_text(float v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.9g", static_cast<double>(v));
  return b;
}

struct TwoFloats {
  const char* input;
  float a, b;  // values afterwards (A and B hold 1 and 2 before)
  int status;  // or the message that ends the run
};

// A statement reading two floats A and B.
TEST(ReadList, TwoFloatItems) {
  const float f_max = std::numeric_limits<float>::max();
  const float denorm = std::numeric_limits<float>::denorm_min();
  const TwoFloats cases[] = {
      // Separators and lines.
      {"3 4\n", 3, 4, 0},
      {"3,4\n", 3, 4, 0},
      {"  3 ,  4  \n", 3, 4, 0},
      {"3\n4\n", 3, 4, 0},
      {"\n   \n3 4\n", 3, 4, 0},
      {"3\t4\n", 3, 4, 0},
      {"3\r\n4\r\n", 3, 4, 0},
      {"3 4", 3, 4, 0},  // a last line without LF
      {"3 4 5 junk\n", 3, 4, 0},
      {"1,5\n", 1, 5, 0},
      // Null values and the slash.
      {",4\n", 1, 4, 0},
      {"3,,\n", 3, 2, 0},
      {"3, ,4\n", 3, 2, 0},
      {"3,\n4\n", 3, 4, 0},
      {"3,\n,4\n", 3, 2, 0},  // a line ending in a comma: the next comma is a null
      {"3\n,4\n", 3, 4, 0},   // after a value, a comma only separates
      {"3/\n", 3, 2, 0},
      {"/\n", 1, 2, 0},
      {"3 / 4\n", 3, 2, 0},
      // Repeats.
      {"2*5\n", 5, 5, 0},
      {"2*\n", 1, 2, 0},
      {"3*7\n", 7, 7, 0},
      {"1*5 6\n", 5, 6, 0},
      {"2*,9\n", 1, 2, 0},
      {"0*5\n", 1, 2, 64},
      {"x*5\n", 1, 2, 64},
      {"*5\n", 1, 2, 64},
      {"12*0.5\n", 0.5f, 0.5f, 0},  // counts of several digits
      {"10*\n", 1, 2, 0},
      {"1*5 12*6\n", 5, 6, 0},
      {"2147483647*1\n", 1, 1, 0},  // up to the 32-bit limit
      {"2147483648*1\n", 1, 2, 64},
      {"99999999999*1\n", 1, 2, 64},
      {"-2*5\n", 1, 2, 64},
      // Number forms.
      {".5 -5.\n", 0.5f, -5, 0},
      {"+1.5E3 1.5D-3\n", 1500, 0.0015f, 0},
      {"1.5+3 2e1\n", 1500, 20, 0},
      {"1E 2\n", 1, 2, 0},
      {"1-2 1q2\n", 0.01f, 100, 0},
      {"T F\n", -1, 0, 0},
      {".true. .F.\n", -1, 0, 0},
      {"123456789012345678901234567890 0.000000000000123456789\n", 1.2345679e29f, 1.23456789e-13f, 0},
      // Thresholds of the 32-bit float.
      {"3.4028235e38 -3.4028235677e38\n", f_max, -f_max, 0},
      {"3.40282357e38 0\n", 1, 2, 64},
      {"1E39\n", 1, 2, 64},
      {"1e99999999999 0\n", 1, 2, 64},
      {"1E-50 7.1e-46\n", 0, denorm, 0},
      {"1.4e-45 7e-46\n", denorm, 0, 0},
      {"0e999 -1e-50\n", 0, -0.0f, 0},
      // Syntax errors.
      {"1..5\n", 1, 2, 59},
      {"abc\n", 1, 2, 59},
      {"--5\n", 1, 2, 59},
      {"E5\n", 1, 2, 59},
      {"1E5E2\n", 1, 2, 59},
      {"+\n", 1, 2, 59},
      {".\n", 1, 2, 59},
      {"3x\n", 1, 2, 59},
      {"+E5\n", 1, 2, 59},
      {"1E+\n", 1, 2, 59},
      {")\n", 1, 2, 59},
      {"(1,2)\n", 1, 2, 59},
      {"3 4x\n", 3, 2, 59},
      // Conversion errors.
      {"'a' 4\n", 1, 2, 64},
      {"1E5.5\n", 1, 2, 64},
      {"1+2+3\n", 1, 2, 64},
      // End of input.
      {"", 1, 2, 24},
      {"3\n", 3, 2, 24},
      {"3\n\x1A\n", 3, 2, 24},
      {"\x1A\n4 5\n", 1, 2, 24},
      {"\x1A\r\n", 1, 2, 24},
  };
  for (const TwoFloats& c : cases) {
    child::Result r = child::run(
        [] {
          float a = 1, b = 2;
          textio::read_list(5, a, b);
          say(float_text(a) + " " + float_text(b) + " " + (std::signbit(b) ? "-" : "+") + "\n");
        },
        c.input);
    std::string want = c.status == 0 ? float_text(c.a) + " " + float_text(c.b) + " " + (std::signbit(c.b) ? "-" : "+") + "\n"
                                     : diagnostic_for(c.status);
    EXPECT_EQ(r.err, want) << "input: \"" << c.input << "\"";
    EXPECT_EQ(r.status, c.status) << "input: \"" << c.input << "\"";
  }
}

struct OneInteger {
  const char* input;
  std::int32_t n;
  int status;
};

TEST(ReadList, IntegerItem) {
  const OneInteger cases[] = {
      {"3\n", 3, 0},
      {"+3\n", 3, 0},
      {"3.7\n", 3, 0},
      {"-3.7\n", -3, 0},
      {"1E3\n", 1000, 0},
      {"T\n", -1, 0},
      {"F\n", 0, 0},
      {"-2147483648\n", INT32_MIN, 0},
      {"2147483647\n", INT32_MAX, 0},
      {"0002147483647\n", INT32_MAX, 0},
      {"2147483647.9\n", INT32_MAX, 0},
      {"-2147483648.9\n", INT32_MIN, 0},
      {"2147483648\n", 0, 64},
      {"-2147483649\n", 0, 64},
      {"99999999999999999999\n", 0, 64},
      {"2.5e9\n", 0, 64},  // a real form beyond the 32-bit range
      {"-3e10\n", 0, 64},
      {"1-2\n", 0, 64},
      {"'5'\n", 0, 64},
      {"3x\n", 0, 59},
      {"2*7\n", 7, 0},
      {"12*7\n", 7, 0},
      {"2147483648*7\n", 0, 64},
  };
  for (const OneInteger& c : cases) {
    child::Result r = child::run(
        [] {
          std::int32_t n = 0;
          textio::read_list(5, n);
          say(std::to_string(n) + "\n");
        },
        c.input);
    EXPECT_EQ(r.err, c.status == 0 ? std::to_string(c.n) + "\n" : diagnostic_for(c.status)) << c.input;
    EXPECT_EQ(r.status, c.status) << c.input;
  }
}

TEST(ReadList, MixedItemsAndRepeatsAcrossKinds) {
  child::Result r = child::run(
      [] {
        float a = 0, b = 0;
        std::int32_t n = 0;
        textio::read_list(5, a, b, n);
        say(float_text(a) + " " + float_text(b) + " " + std::to_string(n) + "\n");
      },
      "3*2.5\n");
  EXPECT_EQ(r.err, "2.5 2.5 2\n");
}

TEST(ReadList, TakesNoByteBeyondTheLineFromAPipeOrFile) {
  child::Result r = child::run(
      [] {
        std::int32_t n = 0;
        textio::read_list(5, n);
        char rest[16] = {};
        ssize_t got = read(0, rest, sizeof rest);
        say(std::to_string(n) + "|" + std::string(rest, got > 0 ? static_cast<std::size_t>(got) : 0));
      },
      "7 8 9\nnext line\n");
  EXPECT_EQ(r.err, "7|next line\n");
}

TEST(ReadList, ReadErrorCarriesThePlatformText) {
  child::Result r = child::run([] {
    const int dir = open(".", O_RDONLY);
    dup2(dir, 0);
    std::int32_t n = 0;
    textio::read_list(5, n);
  });
  EXPECT_EQ(r.err, "textio: Is a directory\ntextio: severe (39): error during read, unit 5, file CONIN$\n");
  EXPECT_EQ(r.status, 39);
}

TEST(ReadList, VeryLongLineGrowsTheBuffer) {
  std::string input(300000, ' ');
  input += "42\n";
  child::Result r = child::run(
      [] {
        std::int32_t n = 0;
        textio::read_list(5, n);
        say(std::to_string(n) + "\n");
      },
      input);
  EXPECT_EQ(r.err, "42\n");
}

struct TextCase {
  const char* input;
  std::string want;  // the 10-character field, or the diagnostic
  int status;
};

TEST(ReadText, FieldOfTenCharacters) {
  const TextCase cases[] = {
      {"out.dat\n", "out.dat   ", 0},
      {"\n", "          ", 0},
      {"0123456789abcdef\n", "0123456789", 0},
      {"  a b\n", "  a b     ", 0},
      {"\t'x'\n", "\t'x'      ", 0},
      {"abc\r\n", "abc       ", 0},
      {"abc", "abc       ", 0},
      {"abc\r", "abc\r      ", 0},  // a CR not before an LF is data
      {"", "", 24},
      {"\x1A\n", "", 24},
  };
  for (const TextCase& c : cases) {
    child::Result r = child::run(
        [] {
          textio::Text<10> field;
          textio::read_text(5, field);
          say(std::string(1, '[').append(field.view()).append("]\n"));
        },
        c.input);
    EXPECT_EQ(r.err, c.status == 0 ? "[" + c.want + "]\n" : diagnostic_for(c.status)) << c.input;
    EXPECT_EQ(r.status, c.status) << c.input;
  }
}

TEST(ReadText, WidthOtherThanTheLength) {
  child::Result r = child::run(
      [] {
        char field[4];
        textio::read_text_field(5, field, 4, 6);  // A6 into 4 characters: the rightmost 4
        say(std::string(1, '[').append(field, 4).append("]"));
        textio::read_text_field(5, field, 4, 2);  // A2 into 4: 2 then blanks
        say(std::string(1, '[').append(field, 4).append("]\n"));
      },
      "abcdefgh\nxyz\n");
  EXPECT_EQ(r.err, "[cdef][xy  ]\n");
}

}  // namespace
