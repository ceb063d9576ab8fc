#include "textio/failure.h"

#include <cstdlib>

#include "textio/platform.h"
#include "textio/units.h"

namespace textio {
namespace {

struct MessageEntry {
  int number;
  const char* text;  // %d: unit number, %s: file name (or the event of 200)
};

constexpr MessageEntry kMessages[] = {
    {kMsgRecordTooLong, "input record too long, unit %d, file %s"},
    {kMsgEndOfFile, "end-of-file during read, unit %d, file %s"},
    {kMsgOpenFailure, "open failure, unit %d, file %s"},
    {kMsgWriteError, "error during write, unit %d, file %s"},
    {kMsgReadError, "error during read, unit %d, file %s"},
    {kMsgNoMemory, "insufficient virtual memory"},
    {kMsgNoDevice, "no such device, unit %d, file %s"},
    {kMsgBadName, "file name specification error, unit %d, file %s"},
    {kMsgReadOnly, "write to READONLY file, unit %d, file %s"},
    {kMsgSyntax, "list-directed I/O syntax error, unit %d, file %s"},
    {kMsgOutputConversion, "output conversion error, unit %d, file %s"},
    {kMsgInputConversion, "input conversion error, unit %d, file %s"},
    {kMsgAborting, "program aborting due to %s event"},
    {kMsgDivideFlaw, "Intel Pentium fdiv flaw detected, please update the processor"},
    {kMsgAccess, "access not allowed"},
    {kMsgExists, "file already exists"},
    {kMsgNotFound, "file not found"},
    {kMsgTooManyFiles, "too many open files"},
};

bool g_failing = false;
bool g_conversion_error = false;

void write_stderr(std::string_view line) {
  const platform::Handle err = platform::standard_stream(platform::StandardStream::error);
  const char* p = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    const std::ptrdiff_t n = platform::write(err, p, left, nullptr);
    if (n <= 0) return;  // nowhere left to report to
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

const char* severity_word(Severity s) {
  switch (s) {
    case Severity::severe:
      return "severe";
    case Severity::error:
      return "error";
    default:
      return "info";
  }
}

[[noreturn]] void end_failed_run(std::uint32_t exit_status) {
  g_failing = true;
  close_all_units(true);
  platform::exit_process(exit_status);
}

}  // namespace

std::string message_text(int message, int unit, std::string_view file) {
  for (const MessageEntry& m : kMessages) {
    if (m.number != message) continue;
    std::string out;
    for (const char* p = m.text; *p != '\0'; ++p) {
      if (p[0] == '%' && p[1] == 'd') {
        out += std::to_string(unit);
        ++p;
      } else if (p[0] == '%' && p[1] == 's') {
        out += file;
        ++p;
      } else {
        out += *p;
      }
    }
    return out;
  }
  return "unknown error " + std::to_string(message);
}

std::string diagnostic_line(std::uint32_t status, std::string_view text) {
  std::string head(kPrefix);
  head += ": ";
  head += severity_word(severity_of(status));
  // "%s (%i): %s"
  return head + " (" + std::to_string(message_of(status)) + "): " + std::string(text);
}

void report_failure(std::uint32_t status, int unit, int sys_error) {
  std::string_view file;
  if (const Unit* u = find_unit(unit)) {
    file = u->name;
  } else if (unit == kConsoleIn) {
    file = "CONIN$";
  } else if (unit == kConsoleOut) {
    file = "CONOUT$";
  }
  report_failure_named(status, unit, file, sys_error);
}

void report_failure_named(std::uint32_t status, int unit, std::string_view file, int sys_error) {
  std::string out;
  if (sys_error != 0) {
    out += kPrefix;
    out += ": ";
    out += platform::error_text(sys_error);
    out += '\n';
  }
  out += diagnostic_line(status, message_text(message_of(status), unit, file));
  out += '\n';
  write_stderr(out);
  if (severity_of(status) == Severity::severe) end_failed_run(status);
  if (message_of(status) == kMsgOutputConversion) g_conversion_error = true;
}

void fail(int message, int unit, int sys_error) {
  report_failure(make_status(Severity::severe, message), unit, sys_error);
  platform::exit_process(make_status(Severity::severe, message));  // not reached
}

void fail_named(int message, int unit, std::string_view file, int sys_error) {
  report_failure_named(make_status(Severity::severe, message), unit, file, sys_error);
  platform::exit_process(make_status(Severity::severe, message));  // not reached
}

void reject_answer(int unit, std::string_view what) {
  std::string file;
  if (const Unit* u = find_unit(unit)) file = u->name;
  const std::uint32_t status = make_status(Severity::severe, kMsgInputConversion);
  write_stderr(diagnostic_line(status, std::string(what) + ", unit " + std::to_string(unit) + ", file " + file) + "\n");
  end_failed_run(status);
}

void fail_out_of_memory() {
  static constexpr char kLine[] = "textio: severe (41): insufficient virtual memory\n";
  static_assert(std::string_view(kLine).starts_with(kPrefix));
  write_stderr(std::string_view(kLine, sizeof kLine - 1));
  end_failed_run(make_status(Severity::severe, kMsgNoMemory));
}

void report_math_error(const char* function) {
  std::string out = "\nrun-time error M6201: MATH\n- ";
  out += function;
  out += ": DOMAIN error\n";
  write_stderr(out);
  end_failed_run(3);
}

bool failing() { return g_failing; }

int normal_exit_status() { return g_conversion_error ? kMsgOutputConversion : 0; }

}  // namespace textio
