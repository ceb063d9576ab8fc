// The free-form write statement: each item laid out by fixed rules, without a
// format, and appended to the record.
#include "textio/edit.h"
#include "textio/output.h"
#include "textio/record.h"

namespace textio {
namespace {

constexpr int kConsoleWidth = 80;  // free-form fields past this column start a new record
constexpr int kFileWidth = 79;

}  // namespace

void write_list_items(int unit, const OutItem* items, int count) {
  Unit& u = begin_statement(unit);
  Record& r = u.record;
  const int width = u.console == ConsoleEnd::output ? kConsoleWidth : kFileWidth;
  for (int j = 0; j < count; ++j) {
    const OutItem& item = items[j];
    char field[kListFloatWidth];
    const char* text = field;
    int len = 0;
    switch (item.kind) {
      case ItemKind::integer:
        edit_list_int(field, item.i);
        len = kListIntWidth;
        break;
      case ItemKind::real:
        edit_list_float(field, item.f);
        len = kListFloatWidth;
        break;
      case ItemKind::text:
        text = item.s;
        len = item.len;
        break;
    }
    bool blank = item.kind == ItemKind::text && (j == 0 || r.len == 0);
    if (r.pos > 0 && r.pos + len + (blank ? 1 : 0) > width) {
      put_record(u);
      blank = item.kind == ItemKind::text;
    }
    if (blank) put_chars(r, " ", 1);
    put_chars(r, text, len);
  }
  if (r.len == 0) put_chars(r, " ", 1);
  end_statement(u, false);
}

}  // namespace textio
