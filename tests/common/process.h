// The one way the tests run something in a process of its own: a program or
// a piece of code against the layer, in a fresh temporary directory, with
// standard input from bytes, a file, a device or a pipe held open, or every
// standard stream on a new pseudo-terminal; under another user id, resource
// limits and ignored signals. Everything it leaves is collected at the end.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace proc {

struct Request {
  std::string executable;
  // Words run before the executable (a Windows program's `wine launch.exe`);
  // the launcher writes the whole exit status to $E2E_STATUS_FILE.
  std::vector<std::string> launcher;
  std::function<void()> body;  // run in the child instead of an executable; it exits with 0 if body returns
  std::vector<std::string> args;
  std::string stdin_bytes;
  bool stdin_from_file = false;
  std::string stdin_path;   // standard input opened on this (relative: in the work directory)
  bool stdin_held = false;  // a pipe the caller writes through Process::type
  std::string stdout_path;  // standard output opened on this instead of being captured
  bool stdout_pipe = false;  // a pipe the caller reads through Process::stdout_reader
  // Standard input, output and error on a new terminal, which echoes what is
  // typed, turns Enter into a line end and Ctrl-C into an interrupt; its
  // screen is the transcript, and the output of the result.
  bool terminal = false;
  int user = -1;
  std::map<int, long long> limits;
  std::vector<int> ignored_signals;  // ignored from the start, as `trap ''` does
  std::map<std::string, std::string> before;
  std::map<std::string, int> modes;
  std::vector<std::string> dirs;
  std::vector<std::pair<std::string, std::string>> symlinks;
  int timeout_seconds = 60;
};

struct Result {
  std::string out;
  std::string err;
  int status = -1;    // exit status, or 128 + signal; all 32 bits through a launcher
  int signal = 0;     // the signal that ended the process, 0 if it exited
  bool timed_out = false;
  std::map<std::string, std::string> files;  // every file in the work directory afterwards
};

// Started and left running, so that a test can act on it (type, signal it,
// read its output as it comes) before collecting the result.
class Process {
 public:
  explicit Process(const Request& request);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return child_; }
  const std::string& directory() const { return work_; }
  // The captured standard output so far (empty with stdout_path or stdout_pipe).
  std::string output_so_far() const;
  // Sends bytes to a held standard input or a terminal; close_input() ends
  // the input, and hangs a terminal up.
  void type(const std::string& bytes);
  void close_input();
  // The read end of a standard output pipe; the caller closes it.
  int stdout_reader();
  // On a terminal: reads until the screen (from where the last expect
  // matched) holds `text`; false after the timeout or at the end of output.
  bool expect(const std::string& text, int timeout_ms = 10000);
  const std::string& transcript() const { return transcript_; }
  // Waits for the end (killing it after the timeout, the request's when not
  // given), collects everything and removes the directories.
  Result finish(int timeout_seconds = -1);

 private:
  bool pump(int timeout_ms);

  std::string work_, io_;
  pid_t child_ = -1;
  pid_t feeder_ = -1;
  int input_ = -1;   // a held input pipe, or the terminal
  int output_ = -1;
  bool terminal_ = false;
  int timeout_seconds_ = 60;
  bool finished_ = false;
  std::string transcript_;
  std::size_t mark_ = 0;
};

// Runs to the end and collects everything.
Result run(const Request& request);

}  // namespace proc
