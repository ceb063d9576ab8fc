// Opening a unit by name: the name resolved (typed, else the next
// command-line argument, else asked for on the console), the console device
// names connected to the standard streams, any other name opened as a file.
#pragma once

#include <string>
#include <string_view>

namespace textio {

// Connects `unit` to the file named by `name` (the text of a file name:
// leading and trailing blanks and trailing NULs are not part of it). Only the
// status "UNKNOWN" is supported: open or create, keep the content, cut after
// the first record written. A `cut_answer` (the whole name, when the text cut
// it inside a word) is refused with the file name error before anything else.
void open_unit(int unit, std::string_view name, std::string_view cut_answer, std::string_view status);

// The name trimmed as open_unit trims it, at most 256 characters.
std::string trim_file_name(std::string_view name);

}  // namespace textio
