#include "textio/file_name.h"

#include "textio/input.h"

namespace textio {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string cut_name(std::string_view line, int width) {
  const auto w = static_cast<std::size_t>(width);
  if (width <= 0 || line.size() <= w || blank(line[w - 1]) || blank(line[w])) return {};
  std::size_t begin = 0;
  while (blank(line[begin])) ++begin;
  std::size_t end = w;
  while (end < line.size() && !blank(line[end])) ++end;
  return std::string(line.substr(begin, end - begin));
}

void read_file_name(int unit, char* field, int length, std::string* cut_answer) {
  *cut_answer = cut_name(read_text_field(unit, field, length, length), length);
}

}  // namespace textio
