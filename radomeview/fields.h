// The fields of a record, split at blanks and tabs, and the one wording of a
// field that does not hold a finite number: every kind of file says it alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "radomeview/numtext.h"

namespace radomeview {

// The fields of `record`: the first `max` of them stored in out[0..max), the
// number of all of them returned. With `quoted`, a field that begins with a
// double quote runs to the next one, blanks and all, quotes included (the
// rows of a TOR table).
std::size_t split_fields(std::string_view record, std::string_view* out, std::size_t max, bool quoted = false);

// Every field of `record`.
void split_fields(std::string_view record, std::vector<std::string_view>* out);

// "WHAT 'TEXT' is not finite", "WHAT is asterisks: the value did not fit it",
// "WHAT is empty" or "WHAT 'TEXT' is not a number" (nothing for a number).
std::string field_problem(std::string_view what, Field kind, std::string_view text);

}  // namespace radomeview
