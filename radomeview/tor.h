// The object syntax of a TOR file. An object is a name, a type, "(", the
// attributes `key : value` separated by commas, and ")". A value is a number
// (with a unit word or without), a word, a quoted string, ref(NAME),
// struct(key: value, ...), sequence(value, ...) or table( rows ), a row
// being one line of fields. Only the types whose meaning is checked have
// their attributes kept; every other object is passed over with its nested
// parentheses and strings balanced.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "radomeview/findings.h"
#include "radomeview/mesh.h"
#include "radomeview/source.h"

namespace radomeview {

// A row of a table: its fields, words (numbers, mostly) and quoted text with
// its quotes, blanks between them, kept in one of its table's blocks of
// text: a table of a million fields is not a million strings.
// split_fields(..., quoted) gives them back.
struct Row {
  std::size_t line = 0;
  std::size_t at = 0;  // in its block's text, up to the next row's text
};

// The rows of a table in blocks of text, each filled in turn and then left
// alone: a table of 100,000 rows is not copied as it grows.
class Table {
 public:
  // A new row of the given line, with room for `most` bytes.
  void begin_row(std::size_t line, std::size_t most);
  // Text added to the row begun.
  void add(std::string_view text);
  bool row_empty() const { return blocks_.empty() || blocks_.back().text.size() == row_.at; }
  // The row begun is kept if it holds any text; nothing may be added after
  // it until the next row is begun.
  void end_row();

  // The rows of a mesh's nodes or segments that are plain numbers, read as
  // the table was parsed and kept as numbers rather than text, in the
  // order of their lines; the other rows are kept as text (read_mesh merges
  // the two).
  std::vector<Node> nodes;
  std::vector<Segment> segments;

  // The rows kept as text.
  std::size_t size() const { return rows_; }
  // f(row, its text) for each row, in order.
  template <class F>
  void each(F f) const {
    for (const Block& b : blocks_) {
      for (std::size_t i = 0; i < b.rows.size(); ++i) {
        const std::size_t end = i + 1 < b.rows.size() ? b.rows[i + 1].at : b.text.size();
        f(b.rows[i], std::string_view(b.text).substr(b.rows[i].at, end - b.rows[i].at));
      }
    }
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  struct Block {
    std::string text;
    std::vector<Row> rows;
  };
  std::vector<Block> blocks_;
  Row row_;
  std::size_t rows_ = 0;
};

struct Value {
  enum class Type { number, word, text, ref, call, table } type = Type::word;
  std::size_t line = 0;
  std::string text;   // the number or word as written, the quoted text, the ref's NAME, or a call's name
  std::string unit;   // the word after a number
  std::string key;    // of a struct's member
  std::vector<Value> items;  // of struct(...), sequence(...) or another call
  Table table;
};

struct Attribute {
  std::string key;
  std::size_t line = 0;
  Value value;
};

struct Object {
  std::string name, type;  // a name of several words is kept with one blank between them
  std::size_t name_words = 0;
  std::size_t line = 0;
  bool read = false;      // its attributes are kept
  bool complete = true;   // no syntax mistake inside it
  std::vector<Attribute> attributes;
};

struct TorText {
  std::vector<Object> objects;
  std::size_t records = 0;
};

// The types whose attributes are kept.
bool read_type(const std::string& type);

// Reads every object; syntax mistakes and line ends are findings.
void parse_tor(ByteSource& source, TorText* tor, Findings* findings);

}  // namespace radomeview
