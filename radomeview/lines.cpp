#include "radomeview/lines.h"

#include <cstring>
#include <string>

namespace radomeview {

LineReader::LineReader(ByteSource& source, Findings* findings)
    : source_(source), findings_(findings), buffer_(new char[kBuffer]) {}

// Moves what is left to the front and reads more behind it.
bool LineReader::fill() {
  if (eof_) return false;
  const std::size_t left = end_bytes_ - begin_;
  if (left > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, left);
  begin_ = 0;
  end_bytes_ = left;
  const std::size_t got = source_.read(buffer_.get() + left, kBuffer - left);
  end_bytes_ += got;
  if (got == 0) {
    eof_ = true;
    if (source_.failed()) failed_ = true;
    return false;
  }
  return true;
}

// The findings of the record just read.
void LineReader::report() {
  ++number_;
  if (!findings_) return;
  if (end_ == End::lf && lf_alone_++ == 0) first_lf_alone_ = number_;
  if (end_ == End::none) findings_->add(number_, Severity::warning, "the last record has no line end");
  if (too_long_) findings_->add(number_, Severity::error, "record longer than " + std::to_string(kBuffer) + " bytes");
}

bool LineReader::next(std::string_view* record) {
  too_long_ = false;
  while (skipping_) {
    // The rest of a record too long for the buffer, up to its line end.
    const void* lf = std::memchr(buffer_.get() + begin_, '\n', end_bytes_ - begin_);
    if (lf != nullptr) {
      begin_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get()) + 1;
      skipping_ = false;
    } else {
      begin_ = end_bytes_;
      if (!fill()) return false;
    }
  }
  std::size_t scanned = 0;
  for (;;) {
    const std::size_t avail = end_bytes_ - begin_ - scanned;
    const void* lf = avail > 0 ? std::memchr(buffer_.get() + begin_ + scanned, '\n', avail) : nullptr;
    if (lf != nullptr) {
      const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get());
      std::size_t len = at - begin_;
      end_ = End::lf;
      if (len > 0 && buffer_[at - 1] == '\r') {
        --len;
        end_ = End::crlf;
      }
      *record = std::string_view(buffer_.get() + begin_, len);
      begin_ = at + 1;
      report();
      return true;
    }
    scanned = end_bytes_ - begin_;
    if (scanned == kBuffer) {
      // Too long: its first part stands for it.
      *record = std::string_view(buffer_.get(), kBuffer);
      too_long_ = true;
      skipping_ = true;
      end_ = End::crlf;
      begin_ = end_bytes_;
      report();
      return true;
    }
    if (!fill()) {
      if (end_bytes_ == begin_) return false;
      // The last record, without a line end.
      *record = std::string_view(buffer_.get() + begin_, end_bytes_ - begin_);
      begin_ = end_bytes_;
      end_ = End::none;
      report();
      return true;
    }
    // fill() moved the unscanned rest to the front.
  }
}

void LineReader::finish() {
  if (!findings_) return;
  if (failed_) findings_->add(number_, Severity::error, "read error after this record");
  if (lf_alone_ > 0) {
    findings_->add(first_lf_alone_, Severity::warning,
                   std::to_string(lf_alone_) + (lf_alone_ == 1 ? " record ends" : " records end") +
                       " with LF alone, not CR LF");
  }
}

}  // namespace radomeview
