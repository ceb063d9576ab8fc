// The three kinds of file, known from the first records, and the count
// record that a points file and a .rsf file begin with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "radomeview/source.h"

namespace radomeview {

enum class Kind { points, rsf, tor };

const char* kind_name(Kind k);
std::optional<Kind> kind_from_name(std::string_view name);

// The first records of a file, as detection sees them.
struct Head {
  std::vector<std::string> records;
};

// Reads up to 400 records and goes back to the start of the source.
Head read_head(ByteSource& source);

// What each kind looks like from its head.
bool looks_like_points(const Head& h);  // the count alone
bool looks_like_rsf(const Head& h);     // a label, then the count and two more numbers
bool looks_like_tor(const Head& h);     // an object's name and type, then "("

// A count record: the number of points, and for a .rsf file two more
// numbers, which our programs write as 1 and 0.
struct CountRecord {
  bool read = false;      // the count is a whole number
  long long count = 0;
  std::string error;      // what makes the record unreadable, or empty
  std::string note;       // the two numbers where they are not 1 and 0, or empty
};
CountRecord read_count_record(std::string_view record, Kind kind);

}  // namespace radomeview
