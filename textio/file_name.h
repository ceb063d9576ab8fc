// A file name answered into a fixed-length text: what the program holds and
// echoes is the text, and the open goes by it. When the answer did not fit
// (the text's end fell inside a word), the name remembers the whole answer,
// and the open refuses it rather than open a different file under the
// shorter name. Text after the name beyond a blank (a remark in an answer
// file) is no such cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textio/text.h"

namespace textio {

template <std::size_t N>
struct FileName {
  Text<N> text;
  // The whole name as answered, without its leading blanks, when the text
  // cut it inside a word; empty when the text holds the whole answer.
  std::string cut_answer;

  constexpr FileName() = default;
  template <std::size_t M>
  constexpr FileName(const char (&s)[M]) : text(s) {}  // NOLINT: a literal names a file
  // A name the program sets: its first N characters, blank-padded.
  explicit FileName(std::string_view s) {
    for (std::size_t j = 0; j < N && j < s.size(); ++j) text.c[j] = s[j];
  }
};

// The whole name in `line` when a field of `width` characters cut it inside a
// word (the last character kept and the one after it both non-blank); else
// an empty string.
std::string cut_name(std::string_view line, int width);

// One fixed-width read (Aw, w = length) of a file name into field[0, length),
// with *cut_answer set as cut_name() says.
void read_file_name(int unit, char* field, int length, std::string* cut_answer);

}  // namespace textio
