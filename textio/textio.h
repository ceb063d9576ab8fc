// What the programs use of the console and text I/O layer: fixed-length text
// variables, file names, and read, write and open statements over their own
// variables.
//
//   static constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
//   textio::FileName<40> file_name;
//   textio::read_text(5, file_name);
//   textio::open_file(40, file_name, "UNKNOWN");
//   textio::read_list(5, a1, a2, n);
//   textio::write_formatted<kPoint>(40, x, y);
//
// A format and its items are matched at build time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "textio/failure.h"
#include "textio/file_name.h"
#include "textio/format.h"
#include "textio/input.h"
#include "textio/open.h"
#include "textio/output.h"
#include "textio/run.h"
#include "textio/text.h"
#include "textio/units.h"

namespace textio {
namespace detail {

template <class T>
struct ItemTraits {
  static constexpr bool known = false;
};
template <>
struct ItemTraits<std::int32_t> {
  static constexpr bool known = true;
  static constexpr ItemKind kind = ItemKind::integer;
};
template <>
struct ItemTraits<float> {
  static constexpr bool known = true;
  static constexpr ItemKind kind = ItemKind::real;
};
template <std::size_t N>
struct ItemTraits<Text<N>> {
  static constexpr bool known = true;
  static constexpr ItemKind kind = ItemKind::text;
};
template <std::size_t N>
struct ItemTraits<FileName<N>> {
  static constexpr bool known = true;
  static constexpr ItemKind kind = ItemKind::text;
};
template <std::size_t N>
struct ItemTraits<char[N]> {
  static constexpr bool known = true;
  static constexpr ItemKind kind = ItemKind::text;
};

inline OutItem out_item(std::int32_t v) {
  OutItem o{ItemKind::integer};
  o.i = v;
  return o;
}
inline OutItem out_item(float v) {
  OutItem o{ItemKind::real};
  o.f = v;
  return o;
}
template <std::size_t N>
OutItem out_item(const Text<N>& t) {
  OutItem o{ItemKind::text};
  o.s = t.c;
  o.len = static_cast<int>(N);
  return o;
}
template <std::size_t N>
OutItem out_item(const FileName<N>& name) {
  return out_item(name.text);
}
template <std::size_t N>
OutItem out_item(const char (&s)[N]) {
  OutItem o{ItemKind::text};
  o.s = s;
  o.len = static_cast<int>(N - 1);
  return o;
}

template <const auto& F, class... T>
consteval bool items_fit() {
  constexpr ItemKind kinds[] = {ItemTraits<T>::kind..., ItemKind::integer};
  for (std::size_t j = 0; j < sizeof...(T); ++j) {
    if (item_kind(F.data_op(static_cast<int>(j))) != kinds[j]) return false;
  }
  return true;
}

}  // namespace detail

// One formatted write statement of the items through the format F.
template <const auto& F, class... T>
void write_formatted(int unit, const T&... items) {
  static_assert((detail::ItemTraits<T>::known && ...), "items are 32-bit integers, floats and texts");
  static_assert(static_cast<int>(sizeof...(T)) <= F.data_count, "more items than data descriptors in the format");
  static_assert(detail::items_fit<F, T...>(), "an item does not suit its edit descriptor (A: text, I: integer, E: float)");
  const OutItem list[] = {detail::out_item(items)..., OutItem{ItemKind::integer}};
  write_formatted_items(unit, F.view(), list, static_cast<int>(sizeof...(T)));
}

// One free-form write statement.
template <class... T>
void write_list(int unit, const T&... items) {
  static_assert((detail::ItemTraits<T>::known && ...), "items are 32-bit integers, floats and texts");
  const OutItem list[] = {detail::out_item(items)..., OutItem{ItemKind::integer}};
  write_list_items(unit, list, static_cast<int>(sizeof...(T)));
}

// One free-form read statement into integers and floats.
template <class... T>
void read_list(int unit, T&... items) {
  static_assert(((std::is_same_v<T, std::int32_t> || std::is_same_v<T, float>) && ...),
                "free-form reads fill 32-bit integers and floats");
  const InItem list[] = {InItem{detail::ItemTraits<T>::kind, &items}..., InItem{ItemKind::integer, nullptr}};
  read_list_items(unit, list, static_cast<int>(sizeof...(T)));
}

// One fixed-width text read (Aw with w the variable's length).
template <std::size_t N>
void read_text(int unit, Text<N>& field) {
  read_text_field(unit, field.c, static_cast<int>(N), static_cast<int>(N));
}

// The same read into a file name, which also remembers an answer too long
// for it.
template <std::size_t N>
void read_text(int unit, FileName<N>& name) {
  read_file_name(unit, name.text.c, static_cast<int>(N), &name.cut_answer);
}

// Connects the unit to the named file; an answer that the name's text had to
// cut is refused.
template <std::size_t N>
void open_file(int unit, const FileName<N>& name, std::string_view status) {
  open_unit(unit, name.text.view(), name.cut_answer, status);
}

}  // namespace textio
