// The body shared by the radomeview fuzz targets: one file read as the
// given kind, checked and drawn, then properties that must hold for any input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "radomeview/report.h"

// Freshly allocated memory is not filled with a pattern, and freed memory is
// held back 8 MB deep rather than 256: the pictures make many small strings,
// and fresh pages for each cost most of an execution on this machine.
extern "C" const char* __asan_default_options() { return "max_malloc_fill_size=0:quarantine_size_mb=8"; }

namespace radomeview_fuzz {

// One file read as the given kind and checked: every finding counted, every
// kept one printable text.
inline void check(const std::uint8_t* data, std::size_t size, radomeview::Kind kind, radomeview::FileReport* r) {
  radomeview::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
  radomeview::check_file(source, "fuzz", kind, r);
  if (r->findings.kept().size() > radomeview::Findings::kKept) __builtin_trap();
  for (const radomeview::Finding& k : r->findings.kept()) {
    for (char c : k.text) {
      if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
    }
  }
}

// The picture of a checked file: no byte of the file's own that could break
// the XML, balanced tags, and a bounded size.
inline void draw(const radomeview::FileReport& r) {
  std::string svg;
  radomeview::DrawOptions o;
  o.labels = true;
  radomeview::draw(r, o, &svg);
  int depth = 0;
  const char* s = svg.data();
  const std::size_t n = svg.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 && c != '\n') __builtin_trap();
    const char next = i + 1 < n ? s[i + 1] : '\0';
    if (c == '<') depth += next == '/' ? -1 : next == '?' ? 0 : 1;
    if (c == '/' && next == '>') --depth;
    if (depth < 0) __builtin_trap();
  }
  if (depth != 0) __builtin_trap();
  if (svg.size() > 2 * 1024 * 1024) __builtin_trap();
}

}  // namespace radomeview_fuzz
