// What the programs use of the console and text I/O layer: fixed-length text
// variables, and read and write statements over their own variables.
//
//   static constexpr auto kPoint = textio::format("(1P,E13.5,TR2,E13.5)");
//   textio::write_formatted<kPoint>(40, x, y);
//   textio::read_list(5, a1, a2, n);
//
// A format and its items are matched at build time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "textio/failure.h"
#include "textio/format.h"
#include "textio/input.h"
#include "textio/open.h"
#include "textio/output.h"
#include "textio/run.h"
#include "textio/units.h"

namespace textio {

// A fixed-length text variable, blank-padded; trailing blanks are part of
// its value.
template <std::size_t N>
struct Text {
  char c[N];

  constexpr Text() {
    for (char& x : c) x = ' ';
  }
  template <std::size_t M>
  constexpr Text(const char (&s)[M]) {  // NOLINT: a literal initialises a text
    for (std::size_t j = 0; j < N; ++j) c[j] = j + 1 < M ? s[j] : ' ';
  }
  constexpr std::string_view view() const { return {c, N}; }
};

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

template <std::size_t N>
void open_file(int unit, const Text<N>& name, std::string_view status) {
  open_file(unit, name.view(), status);
}

}  // namespace textio
