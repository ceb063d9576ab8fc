#include "radomeview/torlex.h"

namespace radomeview {
namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

bool mark(char c) { return c == '(' || c == ')' || c == ',' || c == ':' || c == '"'; }

}  // namespace

TorLexer::TorLexer(ByteSource& source, Findings* findings) : lines_(source, findings), findings_(findings) {}

bool TorLexer::more() {
  if (done_) return false;
  if (!lines_.next(&rest_)) {
    done_ = true;
    lines_.finish();
    if (comment_ && findings_) {
      findings_->add(comment_line_, Severity::error, "comment \"/*\" is not closed by \"*/\"");
    }
    return false;
  }
  line_ = lines_.number();
  return true;
}

bool TorLexer::raw(std::string_view* text, std::size_t* line) {
  for (;;) {
    if (comment_) {
      const std::size_t close = rest_.find("*/");
      if (close == std::string_view::npos) {
        if (!more()) return false;
        continue;
      }
      rest_.remove_prefix(close + 2);
      comment_ = false;
    }
    while (!rest_.empty() && blank(rest_[0])) rest_.remove_prefix(1);
    if (rest_.empty()) {
      if (!more()) return false;
      continue;
    }
    *text = rest_;
    *line = line_;
    return true;
  }
}

bool TorLexer::next(Token* t, bool text) {
  for (;;) {
    if (comment_) {
      const std::size_t close = rest_.find("*/");
      if (close == std::string_view::npos) {
        if (!more()) return false;
        continue;
      }
      rest_.remove_prefix(close + 2);
      comment_ = false;
    }
    while (!rest_.empty() && blank(rest_[0])) rest_.remove_prefix(1);
    if (rest_.empty()) {
      if (!more()) return false;
      continue;
    }
    if (rest_.size() >= 2 && rest_[0] == '/' && rest_[1] == '/') {
      rest_ = {};
      continue;
    }
    if (rest_.size() >= 2 && rest_[0] == '/' && rest_[1] == '*') {
      rest_.remove_prefix(2);
      comment_ = true;
      comment_line_ = line_;
      continue;
    }
    t->line = line_;
    const char c = rest_[0];
    if (c == '"') {
      // Everything up to the next quote on the line belongs to the string.
      const std::size_t close = rest_.find('"', 1);
      t->type = Token::text;
      if (close == std::string_view::npos) {
        if (findings_) findings_->add(line_, Severity::error, "quoted text not closed on its line");
        if (text) t->s.assign(rest_.substr(1));
        rest_ = {};
      } else {
        if (text) t->s.assign(rest_.substr(1, close - 1));
        rest_.remove_prefix(close + 1);
      }
      return true;
    }
    if (mark(c)) {
      t->type = c == '(' ? Token::open : c == ')' ? Token::close : c == ',' ? Token::comma : Token::colon;
      if (text) t->s.assign(1, c);
      rest_.remove_prefix(1);
      return true;
    }
    std::size_t n = 1;
    while (n < rest_.size() && !blank(rest_[n]) && !mark(rest_[n]) &&
           !(rest_[n] == '/' && n + 1 < rest_.size() && (rest_[n + 1] == '/' || rest_[n + 1] == '*'))) {
      ++n;
    }
    t->type = Token::word;
    if (text) t->s.assign(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return true;
  }
}

}  // namespace radomeview
