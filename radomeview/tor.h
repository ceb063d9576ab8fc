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
#include "radomeview/source.h"

namespace radomeview {

// A row of a table: its fields, words (numbers, mostly) and quoted text with
// its quotes, one blank between them, kept in its table's one string: a
// table of a million fields is not a million strings. split_fields(...,
// quoted) gives them back.
struct Row {
  std::size_t line = 0;
  std::size_t at = 0, size = 0;  // in Table::text
};

struct Table {
  std::string text;
  std::vector<Row> rows;
  std::string_view of(const Row& r) const { return std::string_view(text).substr(r.at, r.size); }
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
