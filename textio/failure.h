// The one failure path: every I/O failure is reported here as one diagnostic
// on standard error, and a severe one ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/messages.h"

namespace textio {

// What went wrong and where.
struct Failure {
  int message = 0;
  int unit = 0;       // 0 when no unit is concerned
  int sys_error = 0;  // the platform's code the failure carries, 0 for none
  // The file named in the message; empty for the unit's own name. For a
  // console event, the event's name.
  std::string_view file = {};
  // Replaces the message's own description: an answer that was read but lies
  // outside what the program can hold.
  std::string_view what = {};
};

// A diagnostic in the caller's buffer: memory may be what ran out, and the
// console-event reports are built before any event can arrive.
struct Diagnostic {
  static constexpr std::size_t kCapacity = 1024;
  char text[kCapacity];
  std::size_t length = 0;
  std::string_view view() const { return {text, length}; }
};

// Every diagnostic line, each with its line end: the platform's own text for
// sys_error first when there is one ("textio: <text>"), then
// "textio: <severity> (<n>): <description>[, unit <u>, file <f>]".
void format_diagnostic(Diagnostic& out, Severity severity, const Failure& failure);

// Reports the failure. A severe one closes all units and ends the process
// with the message number's low eight bits; an error or information returns.
void report(Severity severity, const Failure& failure);

// The severe case, for callers that must not go on.
[[noreturn]] void fail(const Failure& failure);

// An answer that was read but lies outside what the program can hold: the
// input conversion error with the program's own description, for example
// "number of absorber layers above 99, unit 5, file CONIN$".
[[noreturn]] void reject_answer(int unit, std::string_view what);

// A domain error of cosine or sine ("cos" or "sin"): its own report on
// standard error, all units closed, exit status 3.
[[noreturn]] void report_math_error(const char* function);

// The exit status of a run that got to its normal end: 0, or the number of
// the output conversion error when a field had to be filled with asterisks.
int normal_exit_status();

}  // namespace textio
