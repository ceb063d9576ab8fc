// Records of a text file, read through one fixed buffer: memory does not
// grow with the file. The reader itself reports what concerns line ends,
// record lengths and reading: every kind of file gets the same findings.
#pragma once

#include <memory>
#include <string_view>

#include "radomeview/findings.h"
#include "radomeview/source.h"

namespace radomeview {

class LineReader {
 public:
  static constexpr std::size_t kBuffer = 1 << 14;

  // Findings go to `findings`; none are made when it is null.
  LineReader(ByteSource& source, Findings* findings);

  // The next record without its line end; false at the end of the file or
  // on a read error. The view lasts until the next call.
  bool next(std::string_view* record);

  // After the last record: the count of records ended by LF alone, and a read
  // error, as findings.
  void finish();

  std::size_t number() const { return number_; }          // of the last record, from 1
  bool lf_alone() const { return end_ == End::lf; }        // ended by LF without CR
  bool no_line_end() const { return end_ == End::none; }  // the last record of a file without one
  bool too_long() const { return too_long_; }              // cut at kBuffer bytes
  bool failed() const { return failed_; }                  // a read error

 private:
  enum class End { crlf, lf, none };
  bool fill();
  void report();

  ByteSource& source_;
  Findings* findings_;
  std::unique_ptr<char[]> buffer_;  // not cleared: only what read() fills is read
  std::size_t begin_ = 0, end_bytes_ = 0;
  std::size_t number_ = 0;
  std::size_t lf_alone_ = 0, first_lf_alone_ = 0;
  End end_ = End::crlf;
  bool too_long_ = false, skipping_ = false, eof_ = false, failed_ = false;
};

}  // namespace radomeview
