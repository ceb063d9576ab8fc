#include "textio/failure.h"

#include "textio/platform.h"
#include "textio/run_state.h"
#include "textio/units.h"

namespace textio {
namespace {

struct MessageEntry {
  int number;
  const char* description;  // %s: the event's name (message 200)
  bool located;             // followed by ", unit <u>, file <f>"
};

constexpr MessageEntry kMessages[] = {
    {kMsgRecordTooLong, "input record too long", true},
    {kMsgEndOfFile, "end-of-file during read", true},
    {kMsgOpenFailure, "open failure", true},
    {kMsgWriteError, "error during write", true},
    {kMsgReadError, "error during read", true},
    {kMsgNoMemory, "insufficient virtual memory", false},
    {kMsgNoDevice, "no such device", true},
    {kMsgBadName, "file name specification error", true},
    {kMsgReadOnly, "write to READONLY file", true},
    {kMsgSyntax, "list-directed I/O syntax error", true},
    {kMsgOutputConversion, "output conversion error", true},
    {kMsgInputConversion, "input conversion error", true},
    {kMsgAborting, "program aborting due to %s event", false},
    {kMsgDivideFlaw, "Intel Pentium fdiv flaw detected, please update the processor", false},
    {kMsgAccess, "access not allowed", false},
    {kMsgExists, "file already exists", false},
    {kMsgNotFound, "file not found", false},
    {kMsgTooManyFiles, "too many open files", false},
};

// Appends as much as fits; the buffer is sized for the longest file name.
class Appender {
 public:
  explicit Appender(Diagnostic& d) : d_(d) {}
  Appender& operator<<(std::string_view s) {
    for (char c : s) {
      if (d_.length < Diagnostic::kCapacity) d_.text[d_.length++] = c;
    }
    return *this;
  }
  Appender& operator<<(int n) {
    char digits[12];
    int k = 0;
    unsigned v = n < 0 ? 0u - static_cast<unsigned>(n) : static_cast<unsigned>(n);
    do {
      digits[k++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    if (n < 0) *this << "-";
    while (k > 0) *this << std::string_view(&digits[--k], 1);
    return *this;
  }

 private:
  Diagnostic& d_;
};

std::string_view severity_word(Severity s) {
  switch (s) {
    case Severity::severe:
      return "severe";
    case Severity::error:
      return "error";
    default:
      return "info";
  }
}

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

[[noreturn]] void end_failed_run(std::uint32_t exit_status) {
  g_run.failing = true;
  close_all_units();
  platform::exit_process(exit_status);
}

}  // namespace

void format_diagnostic(Diagnostic& out, Severity severity, const Failure& f) {
  out.length = 0;
  Appender a(out);
  if (f.sys_error != 0) a << kPrefix << ": " << platform::error_text(f.sys_error) << "\n";
  a << kPrefix << ": " << severity_word(severity) << " (" << f.message << "): ";
  const MessageEntry* entry = nullptr;
  for (const MessageEntry& m : kMessages) {
    if (m.number == f.message) entry = &m;
  }
  if (entry == nullptr) {
    a << "unknown error " << f.message << "\n";
    return;
  }
  if (!f.what.empty()) {
    a << f.what;
  } else {
    for (std::string_view d = entry->description; !d.empty(); d.remove_prefix(1)) {
      if (d.starts_with("%s")) {
        a << f.file;
        d.remove_prefix(1);
      } else {
        a << d.substr(0, 1);
      }
    }
  }
  if (entry->located) a << ", unit " << f.unit << ", file " << f.file;
  a << "\n";
}

void report(Severity severity, const Failure& failure) {
  Failure f = failure;
  if (f.file.empty()) {
    if (const Unit* u = find_unit(f.unit)) {
      f.file = u->name;
    } else if (f.unit == kConsoleIn) {
      f.file = kConsoleInName;
    } else if (f.unit == kConsoleOut) {
      f.file = kConsoleOutName;
    }
  }
  Diagnostic line;
  format_diagnostic(line, severity, f);
  write_stderr(line.view());
  if (severity == Severity::severe) end_failed_run(make_status(severity, f.message));
  if (f.message == kMsgOutputConversion) g_run.conversion_error = true;
}

void fail(const Failure& failure) {
  report(Severity::severe, failure);
  platform::exit_process(make_status(Severity::severe, failure.message));  // not reached
}

void reject_answer(int unit, std::string_view what) { fail({kMsgInputConversion, unit, 0, {}, what}); }

void report_math_error(const char* function) {
  Diagnostic line;
  Appender(line) << "\nrun-time error M6201: MATH\n- " << function << ": DOMAIN error\n";
  write_stderr(line.view());
  end_failed_run(3);
}

int normal_exit_status() { return g_run.conversion_error ? kMsgOutputConversion : 0; }

}  // namespace textio
