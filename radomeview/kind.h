// Which of the three files a file is, from its content.
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace radomeview {

enum class Kind { points, rsf, tor };

const char* kind_name(Kind k);
std::optional<Kind> kind_from_name(std::string_view name);

// Reads the first records and goes back to the start of the file; nothing
// when the file is none of the three.
std::optional<Kind> detect_kind(std::FILE* file);

// The blank-separated words of a record.
void split_words(std::string_view record, std::vector<std::string_view>* words);

}  // namespace radomeview
