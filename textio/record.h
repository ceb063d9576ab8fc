// The record being built for an output unit: a line of columns, written at a
// position that moves right, blank where only skipped.
#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

namespace textio {

// The record's characters start at kRecordHead in buf: the room in front lets
// the console's owed line end be put before them in place, and the capacity is
// kept from record to record, so a record goes out in one write call without
// allocating.
inline constexpr int kRecordHead = 2;

struct Record {
  std::vector<char> buf;
  int pos = 0;  // column of the next character, counted from 0
  int len = 0;  // columns written so far
};

// A fresh blank record at column 1; the capacity stays.
inline void begin_record(Record& r) {
  r.pos = 0;
  r.len = 0;
}

// Grows the buffer to at least `need` bytes; a growth that fails ends the run.
void grow_record(Record& r, std::size_t need);

// Makes room for columns [0, end) plus the two bytes of a line end.
inline void reserve_columns(Record& r, int end) {
  const std::size_t need = static_cast<std::size_t>(kRecordHead + end + 2);
  if (r.buf.size() < need) grow_record(r, need);
}

// The record's first column, with room for its columns and a line end after
// them, and kRecordHead bytes before it.
inline char* record_columns(Record& r) {
  reserve_columns(r, r.len);
  return r.buf.data() + kRecordHead;
}

// The place for n characters at the current position; skipped columns become
// blanks once something is written after them.
inline char* field_at(Record& r, int n) {
  reserve_columns(r, r.pos + n);
  char* base = r.buf.data() + kRecordHead;
  if (r.pos > r.len) std::memset(base + r.len, ' ', static_cast<std::size_t>(r.pos - r.len));
  char* out = base + r.pos;
  r.pos += n;
  if (r.pos > r.len) r.len = r.pos;
  return out;
}

inline void put_chars(Record& r, const char* s, int n) {
  if (n > 0) std::memcpy(field_at(r, n), s, static_cast<std::size_t>(n));
}

}  // namespace textio
