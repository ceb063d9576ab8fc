// The tokens of a TOR file: words (names, numbers, unit words), quoted
// strings, and the marks ( ) , : — comments, // to the end of the line and
// /* ... */ across lines, taken out on the way. Line numbers count every
// line, comments included.
#pragma once

#include <string>
#include <string_view>

#include "radomeview/findings.h"
#include "radomeview/lines.h"
#include "radomeview/source.h"

namespace radomeview {

struct Token {
  enum Type { word, text, open, close, comma, colon } type = word;
  std::string s;  // a word, or quoted text without its quotes
  std::size_t line = 0;
};

class TorLexer {
 public:
  // Findings (line ends, quoted text or a comment not closed) go to
  // `findings`; none are made when it is null.
  TorLexer(ByteSource& source, Findings* findings);

  // The next token; false at the end of the file. Without `text` the
  // token's text is left empty: what is passed over needs only its type.
  bool next(Token* t, bool text = true);

  // The rows of a table are read raw, a record at a time, which is far
  // quicker than a token at a time: the rest of the current record, or of
  // the next that is not blank, with its line; false at the end of the
  // file. Comments and quotes in it are the caller's.
  bool raw(std::string_view* text, std::size_t* line);
  // The caller has read n bytes of what raw() gave.
  void consume(std::size_t n) { rest_.remove_prefix(n); }
  // The caller has met "/*" that its record does not close.
  void open_comment(std::size_t line) {
    rest_ = {};
    comment_ = true;
    comment_line_ = line;
  }

  std::size_t records() const { return lines_.number(); }

 private:
  bool more();  // the next record into rest_; false at the end

  LineReader lines_;
  Findings* findings_;
  std::string_view rest_;  // of the current record, not yet read
  std::size_t line_ = 0;
  bool comment_ = false;   // inside /* ... */
  std::size_t comment_line_ = 0;
  bool done_ = false;
};

}  // namespace radomeview
