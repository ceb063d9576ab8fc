// A file name read into a text variable too short for it. The fixed-width
// read notes when its cut fell inside a word (the last character kept and the
// one after it both non-blank); an open by that variable then refuses the
// name rather than open a different file under the shorter one. Text after
// the name beyond a blank (a comment in an answer file) is no such cut.
#pragma once

#include <cstddef>
#include <string_view>

namespace textio {

// After a fixed-width read of `line` into field[0, length) through a field of
// `width` characters.
void note_text_cut(const char* field, int length, std::string_view line, int width);

// Before opening `unit` by the name held in `name`: when that text was read
// cut inside a word, fails with the file name error and the whole name as
// typed (without its leading blanks). Any other name returns.
void refuse_cut_name(int unit, std::string_view name);

}  // namespace textio
