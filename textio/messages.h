// The numbers of the messages the layer can raise, and the status that
// carries one with its severity. Pure constants: the scanner returns these
// numbers, the failure path reports them.
#pragma once

#include <cstdint>
#include <string_view>

namespace textio {

// The run-time prefix of every diagnostic.
inline constexpr std::string_view kPrefix = "textio";

enum Message : int {
  kMsgRecordTooLong = 22,
  kMsgEndOfFile = 24,
  kMsgOpenFailure = 30,
  kMsgWriteError = 38,
  kMsgReadError = 39,
  kMsgNoMemory = 41,
  kMsgNoDevice = 42,  // a name on a drive that does not exist
  kMsgBadName = 43,
  kMsgReadOnly = 47,
  kMsgSyntax = 59,            // a free-form token breaks the numeric scan rules
  kMsgOutputConversion = 63,  // a field filled with asterisks
  kMsgInputConversion = 64,   // a token well formed but not convertible
  kMsgAborting = 200,         // a console event
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

}  // namespace textio
