// Every system call of the layer goes through here, so that a second platform
// is one more implementation file (platform_<name>.cpp, chosen in CMake) and
// nothing else. The rest of textio/ includes no system header.
//
// The functions are thin: they do what the system call does, retry a call
// the system interrupted, and report a failure as a portable kind plus the
// platform's own code (for its message text). Policy (which message a
// failure raises, what a record is) stays in the layer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio::platform {

// An open file or stream; wide enough for a descriptor or an OS handle.
using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

enum class StandardStream { input, output, error };

// The process's standard stream; it stays open for the whole run.
Handle standard_stream(StandardStream s);

// What a failed call means to the layer, whatever the platform's code. For a
// failed open each kind has its own message: not_found (file or path),
// access (denied, write protected, a directory), exists, too_many_files,
// no_device (a drive or unit that does not exist), bad_name (invalid or too
// long); other is the generic open failure with the platform's text.
enum class ErrorKind { none, not_found, access, exists, too_many_files, no_device, bad_name, other };

struct Error {
  ErrorKind kind = ErrorKind::none;
  int code = 0;  // the platform's own code, 0 for none; see error_text
};

// The platform's text for one of its codes, without a line end. Static
// storage: the failure path must not allocate.
const char* error_text(int code);

// How the files were opened: the first of read-write, read-only, write-only
// that the file allows.
enum class Access : unsigned char { read_write, read_only, write_only };

struct Opened {
  Handle handle = kNoHandle;
  Access access = Access::read_write;
};

// Opens the named file, creating it when it does not exist and keeping its
// content when it does, trying read-write, then read-only, then write-only.
// On failure the handle is kNoHandle and *error is the last attempt's error.
// The handle is not inherited by child processes.
Opened open_always(const char* name, Error* error);

// The device that discards what is written and reads as empty, read-write.
Handle open_null_device(Error* error);

// What is behind a handle. unknown when the platform cannot tell.
enum class FileKind { unknown, disk, directory, character, pipe, other };
FileKind kind_of(Handle h);

// Reads up to n bytes: the count, 0 at end of data, -1 on error.
std::ptrdiff_t read(Handle h, char* buf, std::size_t n, Error* error);

// Writes up to n bytes: the count written (possibly fewer), -1 on error.
// Safe in a console-event handler.
std::ptrdiff_t write(Handle h, const char* buf, std::size_t n, Error* error);

// The current byte position of a disk file, -1 when it has none.
std::int64_t position(Handle h);

// Moves to the byte position; false on failure.
bool seek(Handle h, std::int64_t at);

// Ends the file at the current position.
bool set_end_of_file(Handle h, Error* error);

bool close(Handle h, Error* error);

// Console events: an interrupt, a break, the console window closing.
enum class ConsoleEvent { interrupt, brk, close };

// Called where only write is safe. When it returns, the process ends with
// the platform's status for a run ended by that event.
using EventHandler = void (*)(ConsoleEvent);

// Routes the console events to the handler (an event the process was told to
// ignore when it started stays ignored), and makes a write to a closed pipe
// or past the file size limit fail as a write instead of ending the process.
void route_console_events(EventHandler handler);

// Keeps the console events waiting, so that a write and the state it
// settles are seen by the handler together or not at all. Nests.
void hold_console_events();
void release_console_events();

// Holds the console events for a scope.
class ConsoleEventsHeld {
 public:
  ConsoleEventsHeld() { hold_console_events(); }
  ~ConsoleEventsHeld() { release_console_events(); }
  ConsoleEventsHeld(const ConsoleEventsHeld&) = delete;
  ConsoleEventsHeld& operator=(const ConsoleEventsHeld&) = delete;
};

// All floating-point exceptions masked and their flags cleared.
void mask_float_exceptions();

// Ends the process at once with the status; nothing is flushed or run. The
// status is the run's whole 32-bit status (0xC000003B for a severe message
// 59); a platform whose exit statuses hold 8 bits keeps the low 8.
[[noreturn]] void exit_process(std::uint32_t status);

}  // namespace textio::platform
