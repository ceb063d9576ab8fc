// Pure free-form token scanning and number conversion: text in, value or
// message number out. No state, no allocation.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/items.h"
#include "textio/messages.h"

namespace textio {

// Characters that end a value token.
constexpr bool is_value_end(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/' || c == ')';
}

// Splits a repeat form r*c. Returns 0 and sets count (>= 1) and rest (empty
// for r*, the null repeat) when the token has an asterisk; returns 0 with
// count 0 when it has none; returns kMsgInputConversion for a malformed count.
int split_repeat(std::string_view token, std::int32_t* count, std::string_view* rest);

// A logical constant: T or F (either case), optionally after one period.
// Returns true and sets *value to true or false when the token is one.
bool logical_value(std::string_view token, bool* value);

constexpr bool is_quoted(std::string_view token) {
  return !token.empty() && (token[0] == '\'' || token[0] == '"');
}

// Checks a numeric token against the scan rules. Returns 0 or kMsgSyntax;
// sets *integer_form when it has neither a decimal point nor an exponent letter.
int scan_number(std::string_view token, bool* integer_form);

// A scanned numeric token as a 64-bit float: digits accumulated nine at a
// time, scaled once by a tabled power of ten. Returns 0 or kMsgInputConversion.
int convert_real(std::string_view token, double* value);

// convert_real, then the 32-bit float thresholds: above the largest value
// that rounds to a finite float it is kMsgInputConversion, below half the
// smallest denormal it is a zero of its sign.
int convert_float(std::string_view token, float* value);

// Integer form into a 32-bit integer: out of range or a sign after the first
// digit is kMsgInputConversion.
int convert_integer(std::string_view token, std::int32_t* value);

// Real form into a 32-bit integer: convert_real, truncated toward zero; a
// value outside the 32-bit range (or NaN) is kMsgInputConversion.
int convert_integer_real(std::string_view token, std::int32_t* value);

// The fixed-width text read of a line (Aw) into a variable of `length`
// characters: the first w characters of the line, blank-padded; for w above
// the length the rightmost `length` of them, for w below it w characters and
// blanks.
void fill_text(std::string_view line, char* field, int length, int width);

// Where a free-form statement takes its lines from. next() gives the next
// line, or returns the message that ends the statement (end of file, read
// error).
class LineSource {
 public:
  virtual int next(std::string_view* line) = 0;

 protected:
  ~LineSource() = default;
};

// One free-form read statement: starts on a fresh line from `lines` and fills
// the items in order. Returns 0, or the number of the message that ends the
// run (the line source's own, kMsgSyntax or kMsgInputConversion). Items filled
// before a failure keep their new values.
int read_list_from(LineSource& lines, const InItem* items, int count);

}  // namespace textio
