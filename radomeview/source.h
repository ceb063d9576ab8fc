// Where the bytes of a file come from. main() reads files through a FILE*;
// the tests and fuzz targets hand over memory, with nothing of the C
// library's stream machinery in between.
#pragma once

#include <cstddef>
#include <string_view>

namespace radomeview {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to n bytes into `to`; 0 at the end or on a read error.
  virtual std::size_t read(char* to, std::size_t n) = 0;
  // True once a read has failed (rather than reached the end).
  virtual bool failed() const = 0;
  // Back to the first byte; false when the source cannot go back.
  virtual bool rewind() = 0;
};

// Bytes already in memory, which must outlive the source.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t read(char* to, std::size_t n) override;
  bool failed() const override { return false; }
  bool rewind() override {
    at_ = 0;
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace radomeview
