// The one failure path: every I/O failure is reported here as one diagnostic
// line on standard error, and a severe one ends the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace textio {

// The run-time prefix of every diagnostic.
inline constexpr std::string_view kPrefix = "textio";

// Message numbers the programs can reach.
enum Message : int {
  kMsgRecordTooLong = 22,
  kMsgEndOfFile = 24,
  kMsgOpenFailure = 30,
  kMsgWriteError = 38,
  kMsgReadError = 39,
  kMsgNoMemory = 41,
  kMsgNoDevice = 42,
  kMsgBadName = 43,
  kMsgReadOnly = 47,
  kMsgSyntax = 59,
  kMsgOutputConversion = 63,
  kMsgInputConversion = 64,
  kMsgAborting = 200,
  kMsgDivideFlaw = 201,
  kMsgAccess = 600,
  kMsgExists = 601,
  kMsgNotFound = 602,
  kMsgTooManyFiles = 603,
};

// A failure status: the severity in the top two bits, the message number in
// the low sixteen.
enum class Severity : std::uint32_t { info = 1, error = 2, severe = 3 };
constexpr std::uint32_t make_status(Severity s, int message) {
  return (static_cast<std::uint32_t>(s) << 30) | static_cast<std::uint32_t>(message);
}
constexpr Severity severity_of(std::uint32_t status) { return static_cast<Severity>(status >> 30); }
constexpr int message_of(std::uint32_t status) { return static_cast<int>(status & 0xFFFFu); }

// The message text with the unit number and file name filled in where the
// template has them (the argument of message 200 is passed as `file`).
std::string message_text(int message, int unit, std::string_view file);

// The diagnostic line, without its line end: prefix, severity word, number,
// text.
std::string diagnostic_line(std::uint32_t status, std::string_view text);

// Reports `status` for `unit` (0 when no unit is concerned). sys_error is the
// platform error code the failure carries, 0 for none; its text is written on
// a line of its own first. A severe status closes all units and ends the
// process with the status's low eight bits; an error or information status
// returns.
void report_failure(std::uint32_t status, int unit, int sys_error = 0);

// The same for a unit that is not connected (a failed open): the file name
// for the message is given.
void report_failure_named(std::uint32_t status, int unit, std::string_view file, int sys_error);

// The severe case, for callers that must not go on.
[[noreturn]] void fail(int message, int unit, int sys_error = 0);
[[noreturn]] void fail_named(int message, int unit, std::string_view file, int sys_error);

// An answer that was read but lies outside what the program can hold: the
// input conversion error with the program's own description, for example
// "number of absorber layers above 99, unit 5, file CONIN$".
[[noreturn]] void reject_answer(int unit, std::string_view what);

// Memory exhausted where no caller handles it: message 41 written without
// allocating, all units closed, the run ended.
[[noreturn]] void fail_out_of_memory();

// A domain error of cosine or sine ("cos" or "sin"): its own report on
// standard error, all units closed, exit status 3.
[[noreturn]] void report_math_error(const char* function);

// True while the failure path closes the units; writes then ignore errors.
bool failing();

// The exit status of a run that got to its normal end: 0, or the number of
// the output conversion error when a field had to be filled with asterisks.
int normal_exit_status();

}  // namespace textio
