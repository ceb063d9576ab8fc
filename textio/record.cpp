#include "textio/record.h"

#include <algorithm>
#include <new>

#include "textio/failure.h"

namespace textio {

// Apart from the first record of a unit, only an unusually long record gets
// here; out of line, so the per-record path stays short.
[[gnu::noinline]] void grow_record(Record& r, std::size_t need) {
  try {
    r.buf.resize(std::max(need, std::max<std::size_t>(r.buf.size() * 2, 128)));
  } catch (const std::bad_alloc&) {
    fail({kMsgNoMemory});
  }
}

}  // namespace textio
