// eventprobe FILE: writes three records to FILE, asks on the console and
// waits for the answer; half a second later a second thread sends Ctrl-C to
// the console group. The event, not the interrupted read, must end the run:
// message 200 on standard error, the records whole in FILE, the interrupted
// status.
#include <windows.h>

#include <cstdint>

#include "textio/textio.h"

namespace {
constexpr auto kRecord = textio::format("(' record',I2,TR2,'x')");
constexpr auto kAsk = textio::format("(' Enter count ',$)");
textio::FileName<70> file_name;  // blank: the name comes from the command line
std::int32_t n;
DWORD WINAPI send_interrupt(void*) {
  Sleep(500);
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) ExitProcess(2);  // no console to send it on
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  textio::start_run(argc, argv);
  textio::open_file(40, file_name, "UNKNOWN");
  for (std::int32_t i = 1; i <= 3; ++i) textio::write_formatted<kRecord>(40, i);
  textio::write_formatted<kAsk>(6);
  CloseHandle(CreateThread(nullptr, 0, send_interrupt, nullptr, 0, nullptr));
  textio::read_list(5, n);
  textio::end_run();
}
