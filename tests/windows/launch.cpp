// launch PROGRAM [ARGUMENT...]: runs a Windows program with this process's
// standard handles and writes its whole 32-bit exit status, as 0x%08X, to the
// file named by E2E_STATUS_FILE. Wine hands only the low 8 bits of a status
// back to the Unix side, so the scenario runner reads the status from here.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

// The command line after the launcher's own name, quoting kept as given.
const wchar_t* rest_of_command_line() {
  const wchar_t* p = GetCommandLineW();
  bool quoted = false;
  for (; *p != L'\0'; ++p) {
    if (*p == L'"') quoted = !quoted;
    if (!quoted && (*p == L' ' || *p == L'\t')) break;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

// Events sent to the console group reach the launcher too: it outlives the
// program to report its status. Set after the start, as a handler routine,
// so that the program does not inherit it.
BOOL WINAPI outlive_console_events(DWORD) { return TRUE; }

}  // namespace

int main() {
  wchar_t* command = _wcsdup(rest_of_command_line());
  if (command == nullptr || *command == L'\0') {
    std::fputs("usage: launch PROGRAM [ARGUMENT...]\n", stderr);
    return 125;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "launch: cannot start the program (error %lu)\n", GetLastError());
    return 127;
  }
  SetConsoleCtrlHandler(outlive_console_events, TRUE);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  if (const char* path = std::getenv("E2E_STATUS_FILE")) {
    if (std::FILE* f = std::fopen(path, "wb")) {
      std::fprintf(f, "0x%08lX\n", static_cast<unsigned long>(status));
      std::fclose(f);
    }
  }
  return static_cast<int>(status & 0xFF);
}
