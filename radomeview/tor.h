// The object syntax of a TOR file: objects of a name and a type, each a
// parenthesised list of attributes `name : value`, a value being words,
// quoted text or a table of rows (one row a record).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "radomeview/findings.h"

namespace radomeview {

struct Token {
  enum Type { word, text, open, close, comma, colon } type = word;
  std::string s;  // a word, or quoted text without its quotes
  std::size_t line = 0;
};

struct Attribute {
  std::string name;
  std::size_t line = 0;
  bool table = false;
  std::vector<Token> value;              // when not a table
  std::vector<std::vector<Token>> rows;  // of a table, one per record
};

struct Object {
  std::string name, type;  // a name of several words is kept with one blank between them
  std::size_t name_words = 0;
  std::size_t line = 0;
  std::vector<Attribute> attributes;
};

struct TorText {
  std::vector<Object> objects;
  std::size_t records = 0;
};

// Reads every object; syntax mistakes and line ends are findings.
void parse_tor(std::FILE* file, TorText* tor, Findings* findings);

}  // namespace radomeview
