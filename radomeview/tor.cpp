#include "radomeview/tor.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "radomeview/numtext.h"
#include "radomeview/quickrow.h"
#include "radomeview/torlex.h"

namespace radomeview {

bool read_type(const std::string& type) { return type == "real_variable" || type == "bor_mesh"; }

void Table::begin_row(std::size_t line, std::size_t most) {
  if (blocks_.empty() || blocks_.back().text.size() + most > kBlock) {
    blocks_.emplace_back();
    blocks_.back().text.reserve(std::max(kBlock, most));
  }
  row_ = Row{line, blocks_.back().text.size()};
}

void Table::add(std::string_view text) { blocks_.back().text += text; }

void Table::end_row() {
  if (row_empty()) return;
  blocks_.back().rows.push_back(row_);
  ++rows_;
}

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Whether a table row holds anything but blank-separated words: quotes,
// comments, marks, odd blanks. Every byte is looked at, without a branch
// for each: most rows are plain.
bool plain(std::string_view r) {
  static const auto kSpecial = [] {
    std::array<unsigned char, 256> t{};
    for (unsigned char c : std::string_view("\"/():,\r\f\v")) t[c] = 1;
    return t;
  }();
  const auto* p = reinterpret_cast<const unsigned char*>(r.data());
  const auto* const end = p + r.size();
  unsigned special = 0;
  for (; end - p >= 4; p += 4) special |= kSpecial[p[0]] | kSpecial[p[1]] | kSpecial[p[2]] | kSpecial[p[3]];
  for (; p != end; ++p) special |= kSpecial[*p];
  return special == 0;
}

// What a table's plain rows are read as while it is parsed: the nodes and
// segments of a bor_mesh, which make up most of a large file, as numbers.
enum class Rows { text, nodes, linear_segments, cubic_segments };

Rows rows_of(const std::string& type, const std::string& key) {
  if (type != "bor_mesh") return Rows::text;
  if (key == "nodes") return Rows::nodes;
  if (key == "linear_segments") return Rows::linear_segments;
  if (key == "cubic_segments") return Rows::cubic_segments;
  return Rows::text;
}

const char* describe(Token::Type t) {
  switch (t) {
    case Token::word: return "a word";
    case Token::text: return "quoted text";
    case Token::open: return "\"(\"";
    case Token::close: return "\")\"";
    case Token::comma: return "\",\"";
    case Token::colon: return "\":\"";
  }
  return "?";
}

class Parser {
 public:
  Parser(TorLexer& lexer, Findings* f) : lexer_(lexer), f_(f) {}

  void file(TorText* tor) {
    while (peek()) {
      Object o;
      if (object(&o)) tor->objects.push_back(std::move(o));
    }
  }

 private:
  // The tokens looked ahead, at most two, in slots that keep the room of
  // their text from one token to the next: reading one allocates nothing.
  // A token taken stays in its slot until two more have been read.
  class Lookahead {
   public:
    bool empty() const { return n_ == 0; }
    std::size_t size() const { return n_; }
    Token& operator[](std::size_t k) { return slots_[(first_ + k) % kSlots]; }
    Token& front() { return (*this)[0]; }
    Token& next_slot() { return (*this)[n_]; }
    void push() { ++n_; }
    void pop() {
      first_ = (first_ + 1) % kSlots;
      --n_;
    }

   private:
    static constexpr std::size_t kSlots = 4;
    std::array<Token, kSlots> slots_;
    std::size_t first_ = 0, n_ = 0;
  };

  // Token k ahead (0: the next, 1: the one after) without taking it; null
  // past the end.
  const Token* peek(std::size_t k = 0) {
    while (ahead_.size() <= k && lexer_.next(&ahead_.next_slot())) ahead_.push();
    return k < ahead_.size() ? &ahead_[k] : nullptr;
  }
  bool is(Token::Type type, std::size_t k = 0) { return peek(k) && ahead_[k].type == type; }
  // The next token; valid until two more are looked at.
  const Token& take() {
    if (!peek()) return none_;
    const Token& t = ahead_.front();
    ahead_.pop();
    last_line_ = t.line;
    return t;
  }
  std::size_t line() { return peek() ? ahead_.front().line : last_line_; }

  void error(std::size_t line, std::string text) { f_->add(line, Severity::error, std::move(text)); }

  // "expected X", naming what stands there instead.
  void expected(const std::string& what) {
    const Token* t = peek();
    if (!t) {
      error(last_line_, "expected " + what + ", found the end of the file");
    } else {
      error(t->line, "expected " + what + ", found " +
                         (t->type == Token::word || t->type == Token::text ? shown(t->s)
                                                                           : std::string(describe(t->type))));
    }
  }

  // Passes over the rest of a parenthesised group whose "(" is behind,
  // nested groups included; false when the file ends first.
  bool skip_group() {
    int depth = 1;
    const auto passed = [&](Token::Type t) { return (t == Token::open && ++depth == 0) || (t == Token::close && --depth == 0); };
    // What is looked ahead already, then straight from the lexer: a group
    // passed over needs no token kept, nor their text.
    while (!ahead_.empty()) {
      if (passed(take().type)) return true;
    }
    Token t;
    while (lexer_.next(&t, false)) {
      last_line_ = t.line;
      if (passed(t.type)) return true;
    }
    return false;
  }

  bool object(Object* o) {
    // The header: words on the line of the first, then "(".
    std::vector<std::string> words;
    while (is(Token::word) && (words.empty() || ahead_.front().line == o->line)) {
      if (words.empty()) o->line = ahead_.front().line;
      words.push_back(take().s);
    }
    if (!is(Token::open) || words.empty()) {
      if (words.empty()) {
        expected("an object: its name and type, then \"(\"");
        take();
      } else {
        error(o->line, "expected an object: its name and type, then \"(\"");
      }
      return false;
    }
    take();
    o->type = words.back();
    words.pop_back();
    for (const std::string& w : words) o->name += (o->name.empty() ? "" : " ") + w;
    o->name_words = words.size();
    o->read = read_type(o->type);
    if (!o->read) {
      if (!skip_group()) not_closed(*o);
      return true;
    }
    for (;;) {
      if (is(Token::close)) {
        take();
        return true;
      }
      if (!peek()) {
        not_closed(*o);
        o->complete = false;
        return true;
      }
      Attribute a;
      if (!attribute(&a, *o)) {
        o->complete = false;
        if (!skip_group()) not_closed(*o);
        return true;
      }
      o->attributes.push_back(std::move(a));
      if (is(Token::comma)) {
        take();
      } else if (!is(Token::close) && peek()) {
        expected("\",\" or \")\" after the value of " + shown(o->attributes.back().key));
        o->complete = false;
        if (!skip_group()) not_closed(*o);
        return true;
      }
    }
  }

  void not_closed(const Object& o) {
    error(last_line_, "object " + shown(o.name) + " is not closed by \")\"");
  }

  bool attribute(Attribute* a, const Object& o) {
    a->line = line();
    if (!is(Token::word)) {
      expected("an attribute name");
      return false;
    }
    a->key = take().s;
    if (!is(Token::colon)) {
      expected("\":\" after " + shown(a->key));
      return false;
    }
    take();
    rows_ = rows_of(o.type, a->key);
    // As many segments as nodes read so far, most likely, or a third as
    // many cubic ones: room made at once, not grown by copying. (Room not
    // used is not touched.)
    expected_ = 0;
    if (rows_ == Rows::linear_segments || rows_ == Rows::cubic_segments) {
      for (const Attribute& b : o.attributes) expected_ += b.value.table.nodes.size();
      if (rows_ == Rows::cubic_segments) expected_ = expected_ / 3 + 1;
    }
    return value(&a->value, a->key);
  }

  // A value; on false a finding is made and the parentheses it opened are closed.
  bool value(Value* v, const std::string& of) {
    const Rows rows = std::exchange(rows_, Rows::text);  // for this value, not those inside it
    v->line = line();
    if (is(Token::text)) {
      v->type = Value::Type::text;
      v->text = take().s;
      return true;
    }
    if (!is(Token::word)) {
      expected("the value of " + shown(of));
      return false;
    }
    v->text = take().s;
    if (is(Token::open)) {
      take();
      const std::string name = lower(v->text);
      if (name == "table") return table(v, of, rows);
      if (name == "ref") return ref(v, of);
      v->type = Value::Type::call;
      return items(v, of);
    }
    double number;
    const Field field = read_field(v->text, &number);
    if (field == Field::number || field == Field::not_finite) {
      v->type = Value::Type::number;
      if (is(Token::word)) v->unit = take().s;  // 12.5 GHz
    } else {
      v->type = Value::Type::word;
    }
    return true;
  }

  bool ref(Value* v, const std::string& of) {
    if (!is(Token::word)) {
      expected("a name in ref( ) of " + shown(of));
      skip_group();
      return false;
    }
    v->type = Value::Type::ref;
    v->text = take().s;
    if (!is(Token::close)) {
      expected("\")\" after ref(" + v->text);
      skip_group();
      return false;
    }
    take();
    return true;
  }

  // The members of struct( ) or the items of sequence( ), up to ")".
  bool items(Value* v, const std::string& of) {
    for (;;) {
      if (is(Token::close)) {
        take();
        return true;
      }
      Value item;
      if (is(Token::word) && is(Token::colon, 1)) {
        item.key = take().s;
        take();
      }
      if (!value(&item, item.key.empty() ? of : item.key)) {
        skip_group();
        return false;
      }
      v->items.push_back(std::move(item));
      if (is(Token::comma)) {
        take();
      } else if (!is(Token::close)) {
        expected("\",\" or \")\" in " + v->text + "( ) of " + shown(of));
        skip_group();
        return false;
      }
    }
  }

  // The rows up to ")", read a record at a time. The "(" has just been
  // taken, so nothing is looked ahead.
  bool table(Value* v, const std::string& of, Rows rows) {
    v->type = Value::Type::table;
    Table& t = v->table;
    if (rows == Rows::linear_segments || rows == Rows::cubic_segments) t.segments.reserve(expected_);
    std::string_view r;
    std::size_t line = 0;
    for (;;) {
      if (!lexer_.raw(&r, &line)) {
        last_line_ = lexer_.records();
        error(v->line, "table " + shown(of) + " is not closed by \")\"");
        return false;
      }
      last_line_ = line;
      // A mesh's row of plain numbers, read as the node or segment it is.
      if (quick(rows, r, line, &t)) {
        lexer_.consume(r.size());
        continue;
      }
      // Most other rows are plain fields up to the line end: kept as they stand.
      if (plain(r)) {
        std::size_t n = r.size();
        while (n > 0 && (r[n - 1] == ' ' || r[n - 1] == '\t')) --n;
        t.begin_row(line, n);
        t.add(r.substr(0, n));
        t.end_row();
        lexer_.consume(r.size());
        continue;
      }
      // Fields with one blank between them: at most twice the record ("""""").
      t.begin_row(line, 2 * r.size() + 1);
      std::size_t i = 0;
      bool end = false, opened = false;
      while (i < r.size() && !end) {
        const char c = r[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
          ++i;
          continue;
        }
        if (c == '/' && i + 1 < r.size() && r[i + 1] == '/') {
          i = r.size();  // a comment to the end of the record
          continue;
        }
        if (c == '/' && i + 1 < r.size() && r[i + 1] == '*') {
          const std::size_t close = r.find("*/", i + 2);
          if (close == std::string_view::npos) {
            lexer_.open_comment(line);  // the lexer passes over the rest
            opened = true;
            break;
          }
          i = close + 2;
          continue;
        }
        if (c == ')') {
          end = true;
          ++i;
          break;
        }
        if (c == '(' || c == ',' || c == ':') {
          t.end_row();
          lexer_.consume(i);
          expected("a field of a row of table " + shown(of));
          skip_group();
          return false;
        }
        std::size_t to = i + 1;
        if (c == '"') {
          const std::size_t close = r.find('"', i + 1);
          if (close == std::string_view::npos) {
            error(line, "quoted text not closed on its line");
            to = r.size();
          } else {
            to = close + 1;
          }
        } else {
          while (to < r.size() && r[to] != ' ' && r[to] != '\t' && r[to] != '\r' && r[to] != '(' && r[to] != ')' &&
                 r[to] != ',' && r[to] != ':' && r[to] != '"' &&
                 !(r[to] == '/' && to + 1 < r.size() && (r[to + 1] == '/' || r[to + 1] == '*'))) {
            ++to;
          }
        }
        if (!t.row_empty()) t.add(" ");
        t.add(r.substr(i, to - i));
        i = to;
      }
      t.end_row();
      if (opened) continue;
      lexer_.consume(i);
      if (end) return true;
    }
  }

  // A row of plain numbers read as a node or segment into the table; false
  // if it is to be kept as text. (What a node row holds is plain; what
  // follows a segment's regions is looked at.)
  static bool quick(Rows rows, std::string_view r, std::size_t line, Table* t) {
    switch (rows) {
      case Rows::text: return false;
      case Rows::nodes: {
        Node n;
        if (!quick_node(r, line, &n)) return false;
        t->nodes.push_back(n);
        return true;
      }
      case Rows::linear_segments:
      case Rows::cubic_segments: {
        Segment s;
        std::string_view rest;
        if (!quick_segment(r, line, rows == Rows::cubic_segments ? 3 : 1, &s, &rest) || !plain(rest)) return false;
        t->segments.push_back(s);
        return true;
      }
    }
    return false;
  }

  TorLexer& lexer_;
  Findings* f_;
  Rows rows_ = Rows::text;     // of the value about to be read
  std::size_t expected_ = 0;  // rows of segments in it, likely
  Lookahead ahead_;
  const Token none_{Token::close, "", 0};  // taken past the end
  std::size_t last_line_ = 0;
};

}  // namespace

void parse_tor(ByteSource& source, TorText* tor, Findings* f) {
  TorLexer lexer(source, f);
  Parser(lexer, f).file(tor);
  tor->records = lexer.records();
}

}  // namespace radomeview
