// The formatted write statement: a format walked descriptor by descriptor,
// each data descriptor taking the next item.
#include <cstdlib>

#include "textio/edit.h"
#include "textio/failure.h"
#include "textio/output.h"
#include "textio/record.h"

namespace textio {
namespace {

[[noreturn]] void item_mismatch() {
  // Formats and items are matched at build time; this is a caller's bug.
  std::abort();
}

}  // namespace

void write_formatted_items(int unit, FormatView format, const OutItem* items, int count) {
  Unit& u = begin_statement(unit);
  Record& r = u.record;
  int scale = 0;
  int next = 0;
  bool overflow = false;
  bool prompt = false;  // the current record is marked by $
  for (int j = 0; j < format.count; ++j) {
    const Descriptor& d = format.desc[j];
    switch (d.op) {
      case Op::text:
        put_chars(r, format.pool + d.at, d.len);
        break;
      case Op::tr:
        r.pos += d.w;
        break;
      case Op::scale:
        scale = d.k;
        break;
      case Op::slash:
        put_record(u);
        prompt = false;
        break;
      case Op::dollar:
        prompt = true;
        break;
      case Op::a:
      case Op::i:
      case Op::e: {
        if (next == count) {
          j = format.count;  // no item left: the statement ends here
          break;
        }
        const OutItem& item = items[next++];
        char* out = field_at(r, d.w);
        if (d.op == Op::a) {
          if (item.kind != ItemKind::text) item_mismatch();
          edit_a(out, item.s, item.len, d.w);
        } else if (d.op == Op::i) {
          if (item.kind != ItemKind::integer) item_mismatch();
          overflow |= !edit_i(out, item.i, d.w);
        } else {
          if (item.kind != ItemKind::real) item_mismatch();
          overflow |= !edit_e(out, item.f, d.w, d.d, scale);
        }
        break;
      }
    }
  }
  end_statement(u, prompt);
  if (overflow) report(Severity::error, {kMsgOutputConversion, unit});
}

}  // namespace textio
