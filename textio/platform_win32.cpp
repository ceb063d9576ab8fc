#include <windows.h>

#include <float.h>

#include <cstdio>

#include "textio/platform.h"

namespace textio::platform {
namespace {

HANDLE handle_of(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle handle_from(HANDLE h) { return reinterpret_cast<Handle>(h); }

ErrorKind kind_of_error(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ErrorKind::not_found;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return ErrorKind::access;
    case ERROR_TOO_MANY_OPEN_FILES:
      return ErrorKind::too_many_files;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return ErrorKind::exists;
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_UNIT:
      return ErrorKind::no_device;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return ErrorKind::bad_name;
    default:
      return ErrorKind::other;
  }
}

void set_error(Error* error, DWORD code) {
  if (error != nullptr) *error = Error{kind_of_error(code), static_cast<int>(code)};
}

// An interrupted console program ends with this status here.
constexpr DWORD kInterruptedStatus = 0xC000013A;

EventHandler g_handler = nullptr;

// Held by the main thread while it writes a record; the event thread takes it
// before reporting, so it never sees half a record. Recursive, so holds nest.
struct EventLock {
  CRITICAL_SECTION section;
  EventLock() { InitializeCriticalSection(&section); }
};
EventLock g_event_lock;

// Set as soon as an event arrives, so that a console read it interrupts is
// not taken for the end of the input.
HANDLE g_event_arrived = CreateEventW(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI on_console_event(DWORD type) {
  ConsoleEvent event;
  switch (type) {
    case CTRL_C_EVENT:
      event = ConsoleEvent::interrupt;
      break;
    case CTRL_BREAK_EVENT:
      event = ConsoleEvent::brk;
      break;
    case CTRL_CLOSE_EVENT:
      event = ConsoleEvent::close;
      break;
    default:
      return FALSE;  // logoff and shutdown belong to services
  }
  SetEvent(g_event_arrived);
  EnterCriticalSection(&g_event_lock.section);
  if (g_handler != nullptr) g_handler(event);
  exit_process(kInterruptedStatus);
}

bool is_console(HANDLE h) {
  DWORD mode = 0;
  return GetConsoleMode(h, &mode) != 0;
}

// A console read that returned nothing: the end of the input (Ctrl-Z typed at
// the start of a line), or a read that a console event cut short. The event's
// thread may start a moment after the read returns.
bool read_cut_by_event() { return WaitForSingleObject(g_event_arrived, 250) == WAIT_OBJECT_0; }

}  // namespace

Handle standard_stream(StandardStream s) {
  switch (s) {
    case StandardStream::input:
      return handle_from(GetStdHandle(STD_INPUT_HANDLE));
    case StandardStream::output:
      return handle_from(GetStdHandle(STD_OUTPUT_HANDLE));
    case StandardStream::error:
      break;
  }
  return handle_from(GetStdHandle(STD_ERROR_HANDLE));
}

const char* error_text(int code) {
  static char text[512];
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  if (n == 0) {
    std::snprintf(text, sizeof text, "FormatMessage failed for sysmem message number %i", code);
    return text;
  }
  std::size_t end = n;
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n')) --end;
  text[end] = '\0';
  return text;
}

Opened open_always(const char* name, Error* error) {
  struct Attempt {
    DWORD rights;
    Access access;
  };
  constexpr Attempt kAttempts[] = {
      {GENERIC_READ | GENERIC_WRITE, Access::read_write},
      {GENERIC_READ, Access::read_only},
      {GENERIC_WRITE, Access::write_only},
  };
  DWORD code = 0;
  for (const Attempt& a : kAttempts) {
    // Not inherited: the security attributes are left null.
    const HANDLE h = CreateFileA(name, a.rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return Opened{handle_from(h), a.access};
    code = GetLastError();
  }
  set_error(error, code);
  return Opened{};
}

Handle open_null_device(Error* error) {
  const HANDLE h = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    set_error(error, GetLastError());
    return kNoHandle;
  }
  return handle_from(h);
}

FileKind kind_of(Handle h) {
  SetLastError(NO_ERROR);
  switch (GetFileType(handle_of(h))) {
    case FILE_TYPE_DISK: {
      BY_HANDLE_FILE_INFORMATION info;
      if (!GetFileInformationByHandle(handle_of(h), &info)) return FileKind::disk;
      return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::directory : FileKind::disk;
    }
    case FILE_TYPE_CHAR:
      return FileKind::character;
    case FILE_TYPE_PIPE:
      return FileKind::pipe;
    default:
      return GetLastError() == NO_ERROR ? FileKind::other : FileKind::unknown;
  }
}

std::ptrdiff_t read(Handle h, char* buf, std::size_t n, Error* error) {
  const DWORD want = n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(n);
  for (;;) {
    DWORD got = 0;
    if (ReadFile(handle_of(h), buf, want, &got, nullptr)) {
      if (got == 0 && want > 0 && is_console(handle_of(h)) && read_cut_by_event()) {
        Sleep(INFINITE);  // the event's thread ends the process
      }
      return static_cast<std::ptrdiff_t>(got);
    }
    const DWORD code = GetLastError();
    // The writer of a pipe has closed it: that is the end of the data.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return 0;
    if (code == ERROR_OPERATION_ABORTED && is_console(handle_of(h))) {
      if (read_cut_by_event()) Sleep(INFINITE);
      continue;
    }
    set_error(error, code);
    return -1;
  }
}

std::ptrdiff_t write(Handle h, const char* buf, std::size_t n, Error* error) {
  const DWORD want = n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(n);
  DWORD done = 0;
  if (WriteFile(handle_of(h), buf, want, &done, nullptr)) return static_cast<std::ptrdiff_t>(done);
  set_error(error, GetLastError());
  return -1;
}

std::int64_t position(Handle h) {
  LARGE_INTEGER zero{}, at{};
  if (GetFileType(handle_of(h)) != FILE_TYPE_DISK) return -1;
  if (!SetFilePointerEx(handle_of(h), zero, &at, FILE_CURRENT)) return -1;
  return at.QuadPart;
}

bool seek(Handle h, std::int64_t at) {
  LARGE_INTEGER to{};
  to.QuadPart = at;
  return SetFilePointerEx(handle_of(h), to, nullptr, FILE_BEGIN) != 0;
}

bool set_end_of_file(Handle h, Error* error) {
  if (SetEndOfFile(handle_of(h))) return true;
  set_error(error, GetLastError());
  return false;
}

bool close(Handle h, Error* error) {
  if (CloseHandle(handle_of(h))) return true;
  set_error(error, GetLastError());
  return false;
}

// A process started with Ctrl-C ignored is not sent the event at all, so an
// ignored event stays ignored. A write to a closed pipe simply fails here.
void route_console_events(EventHandler handler) {
  g_handler = handler;
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

void hold_console_events() { EnterCriticalSection(&g_event_lock.section); }

void release_console_events() { LeaveCriticalSection(&g_event_lock.section); }

void mask_float_exceptions() {
  _clearfp();
  _controlfp(_MCW_EM, _MCW_EM);
}

void exit_process(std::uint32_t status) {
  // Nothing of the C run-time may run: not its exit handlers, not its flushes.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace textio::platform
