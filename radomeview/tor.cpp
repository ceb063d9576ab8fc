#include "radomeview/tor.h"

#include <string_view>

#include "radomeview/lines.h"
#include "radomeview/numtext.h"

namespace radomeview {
namespace {

void tokenize(std::string_view r, std::size_t line, std::vector<Token>* out, Findings* f) {
  std::size_t i = 0;
  while (i < r.size()) {
    const char c = r[i];
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '(' || c == ')' || c == ',' || c == ':') {
      const Token::Type t = c == '(' ? Token::open : c == ')' ? Token::close : c == ',' ? Token::comma : Token::colon;
      out->push_back(Token{t, std::string(1, c), line});
      ++i;
    } else if (c == '"') {
      const std::size_t close = r.find('"', i + 1);
      if (close == std::string_view::npos) {
        f->add(line, Severity::error, "quoted text not closed on its line");
        out->push_back(Token{Token::text, std::string(r.substr(i + 1)), line});
        return;
      }
      out->push_back(Token{Token::text, std::string(r.substr(i + 1, close - i - 1)), line});
      i = close + 1;
    } else {
      const std::size_t from = i;
      while (i < r.size() && r[i] != ' ' && r[i] != '\t' && r[i] != '(' && r[i] != ')' && r[i] != ',' &&
             r[i] != ':' && r[i] != '"') {
        ++i;
      }
      out->push_back(Token{Token::word, std::string(r.substr(from, i - from)), line});
    }
  }
}

class Parser {
 public:
  Parser(const std::vector<Token>& t, Findings* f) : t_(t), f_(f) {}

  void file(TorText* tor) {
    while (at_ < t_.size()) {
      Object o;
      if (object(&o)) tor->objects.push_back(std::move(o));
    }
  }

 private:
  bool is(Token::Type type) const { return at_ < t_.size() && t_[at_].type == type; }
  std::size_t line() const { return at_ < t_.size() ? t_[at_].line : (t_.empty() ? 0 : t_.back().line); }

  // Passes over the rest of a parenthesised group whose "(" is behind.
  void skip_group() {
    int depth = 1;
    while (at_ < t_.size() && depth > 0) {
      if (t_[at_].type == Token::open) ++depth;
      if (t_[at_].type == Token::close) --depth;
      ++at_;
    }
  }

  bool object(Object* o) {
    o->line = line();
    std::vector<std::string> words;
    while (at_ < t_.size() && (t_[at_].type == Token::word || t_[at_].type == Token::text) &&
           t_[at_].line == o->line) {
      words.push_back(t_[at_++].s);
    }
    if (!is(Token::open) || words.empty()) {
      f_->add(o->line, Severity::error, "expected an object: its name and type, then \"(\"");
      // On to the next record that could start an object.
      const std::size_t from = line();
      while (at_ < t_.size() && t_[at_].line == from) ++at_;
      return false;
    }
    ++at_;
    o->type = words.back();
    words.pop_back();
    for (const std::string& w : words) o->name += (o->name.empty() ? "" : " ") + w;
    o->name_words = words.size();
    while (!is(Token::close)) {
      if (at_ >= t_.size()) {
        f_->add(line(), Severity::error, "object " + shown(o->name) + " is not closed by \")\"");
        return true;
      }
      Attribute a;
      if (!attribute(&a)) {
        skip_group();
        return true;
      }
      o->attributes.push_back(std::move(a));
      if (is(Token::comma)) ++at_;
    }
    ++at_;
    return true;
  }

  bool attribute(Attribute* a) {
    a->line = line();
    if (!is(Token::word)) {
      f_->add(a->line, Severity::error, "expected an attribute name");
      return false;
    }
    a->name = t_[at_++].s;
    if (!is(Token::colon)) {
      f_->add(a->line, Severity::error, "expected \":\" after " + shown(a->name));
      return false;
    }
    ++at_;
    if (is(Token::word) && t_[at_].s == "table" && at_ + 1 < t_.size() && t_[at_ + 1].type == Token::open) {
      a->table = true;
      at_ += 2;
      int depth = 1;
      std::size_t row_line = 0;
      while (at_ < t_.size()) {
        const Token& k = t_[at_];
        if (k.type == Token::open) ++depth;
        if (k.type == Token::close && --depth == 0) break;
        if (a->rows.empty() || k.line != row_line) {
          a->rows.emplace_back();
          row_line = k.line;
        }
        a->rows.back().push_back(k);
        ++at_;
      }
      if (at_ >= t_.size()) {
        f_->add(a->line, Severity::error, "table " + shown(a->name) + " is not closed by \")\"");
        return false;
      }
      ++at_;
      return true;
    }
    int depth = 0;
    while (at_ < t_.size()) {
      const Token& k = t_[at_];
      if (depth == 0 && (k.type == Token::comma || k.type == Token::close)) break;
      if (k.type == Token::open) ++depth;
      if (k.type == Token::close) --depth;
      a->value.push_back(k);
      ++at_;
    }
    if (a->value.empty()) {
      f_->add(a->line, Severity::error, "attribute " + shown(a->name) + " has no value");
    }
    return true;
  }

  const std::vector<Token>& t_;
  Findings* f_;
  std::size_t at_ = 0;
};

}  // namespace

void parse_tor(std::FILE* file, TorText* tor, Findings* f) {
  LineReader lines(file);
  std::vector<Token> tokens;
  std::string_view record;
  std::size_t lf_alone = 0, first_lf_alone = 0;
  while (lines.next(&record)) {
    const std::size_t line = lines.number();
    if (lines.lf_alone() && lf_alone++ == 0) first_lf_alone = line;
    if (lines.no_line_end()) f->add(line, Severity::warning, "the last record has no line end");
    if (lines.too_long()) f->add(line, Severity::error, "record longer than " + std::to_string(LineReader::kBuffer) + " bytes");
    tokenize(record, line, &tokens, f);
  }
  tor->records = lines.number();
  if (lines.failed()) f->add(lines.number(), Severity::error, "read error after this record");
  if (lf_alone > 0) {
    f->add(first_lf_alone, Severity::warning,
           std::to_string(lf_alone) + (lf_alone == 1 ? " record ends" : " records end") + " with LF alone, not CR LF");
  }
  Parser(tokens, f).file(tor);
}

}  // namespace radomeview
