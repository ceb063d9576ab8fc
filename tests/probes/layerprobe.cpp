// A small program on the layer alone: it asks for a file name and a record
// count and writes that many numbered records, so the open, cut, close and
// failure rules can be driven end to end without a real program's dialogue.
#include <cstdint>

#include "textio/textio.h"

namespace {
constexpr auto kAskFile = textio::format("(' Layer probe',/,' Enter output file ',$)");
constexpr auto kAskCount = textio::format("(' Enter record count ',$)");
constexpr auto kRecord = textio::format("(' record',I2,TR2,'x')");
textio::FileName<70> file_name;
std::int32_t n;
}  // namespace

int main(int argc, char** argv) {
  textio::start_run(argc, argv);
  textio::write_formatted<kAskFile>(6);
  textio::read_text(5, file_name);
  textio::open_file(40, file_name, "UNKNOWN");
  textio::write_formatted<kAskCount>(6);
  textio::read_list(5, n);
  for (std::int32_t i = 1; i <= n; ++i) textio::write_formatted<kRecord>(40, i);
  textio::close_file(40);
  textio::end_run();
}
