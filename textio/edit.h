// Pure output editing: a value in, exactly w characters out, no allocation.
#pragma once

#include <cstdint>

namespace textio {

// Ew.d with scale k (0 or 1), 1 <= d <= kMaxEFraction (format.h). Writes
// exactly w characters; returns false when the value does not fit and the
// field was filled with asterisks.
bool edit_e(char* out, float x, int w, int d, int k);

// Iw. Same contract as edit_e.
bool edit_i(char* out, std::int32_t v, int w);

// Aw of a text of length len: right-justified when w >= len, else its first w
// characters.
void edit_a(char* out, const char* text, int len, int w);

// The free-form fields.
inline constexpr int kListIntWidth = 12;
inline constexpr int kListFloatWidth = 15;
void edit_list_float(char* out, float x);
inline bool edit_list_int(char* out, std::int32_t v) { return edit_i(out, v, kListIntWidth); }

}  // namespace textio
