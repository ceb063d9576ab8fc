// Lines from a real unit over arbitrary bytes: standard input is a file
// holding the input, unit 5 reads it line by line and each line fills text
// fields of the widths the programs use.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "textio/input.h"
#include "textio/scan.h"
#include "textio/units.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const int fd = memfd_create("input", 0);
  dup2(fd, 0);
  close(fd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ftruncate(0, 0) != 0 || pwrite(0, data, size, 0) != static_cast<ssize_t>(size)) __builtin_trap();
  lseek(0, 0, SEEK_SET);
  textio::close_file(textio::kConsoleIn);  // a fresh connection with no bytes read ahead
  textio::Unit& in = textio::acquire_unit(textio::kConsoleIn);
  std::size_t taken = 0;
  for (;;) {
    int err = 0;
    const textio::LineStatus s = textio::next_line(in, &err);
    if (s == textio::LineStatus::error) __builtin_trap();
    if (s == textio::LineStatus::end_of_file) break;
    const std::string_view line = textio::current_line(in);
    taken += line.size();
    if (taken > size) __builtin_trap();  // more line than input
    char field[70];
    for (int w : {20, 40, 70}) {
      textio::fill_text(line, field, w, w);
      if (static_cast<int>(line.size()) < w && !line.empty() && std::memcmp(field, line.data(), line.size()) != 0) {
        __builtin_trap();
      }
    }
    textio::fill_text(line, field, 4, 6);
    textio::fill_text(line, field, 6, 4);
  }
  return 0;
}
