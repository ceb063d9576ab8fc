// Records of a text file, read through one fixed buffer: memory does not
// grow with the file.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

namespace radomeview {

class LineReader {
 public:
  static constexpr std::size_t kBuffer = 1 << 14;

  explicit LineReader(std::FILE* file);

  // The next record without its line end; false at the end of the file or
  // on a read error. The view lasts until the next call.
  bool next(std::string_view* record);

  std::size_t number() const { return number_; }          // of the last record, from 1
  bool lf_alone() const { return end_ == End::lf; }        // ended by LF without CR
  bool no_line_end() const { return end_ == End::none; }  // the last record of a file without one
  bool too_long() const { return too_long_; }              // cut at kBuffer bytes
  bool failed() const { return failed_; }                  // a read error

 private:
  enum class End { crlf, lf, none };
  bool fill();

  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;  // not cleared: only what fread fills is read
  std::size_t begin_ = 0, end_bytes_ = 0;
  std::size_t number_ = 0;
  End end_ = End::crlf;
  bool too_long_ = false, skipping_ = false, eof_ = false, failed_ = false;
};

}  // namespace radomeview
