// The console format that shows a step's prompt, made from its text at build
// time: each line after a blank (the carriage control), lines parted by '/',
// {layer} as a two-column integer, the last line followed by one blank and
// left open ($) for the answer. A banner goes on a line of its own first.
//
//   textio::write_formatted<cli::kPrompt<kAskFile>>(kConsoleOut);
//   textio::write_formatted<cli::kPrompt<kAskMaterial>>(kConsoleOut, layer);
#pragma once

#include <cstddef>
#include <string_view>

#include "cli/dialogue.h"
#include "textio/format.h"

namespace cli {
namespace detail {

// Writes the format's text to `out` unless it is null; returns its length.
constexpr std::size_t prompt_format_text(std::string_view banner, std::string_view prompt, char* out) {
  std::size_t n = 0;
  auto put = [&](std::string_view s) {
    for (char c : s) {
      if (out != nullptr) out[n] = c;
      ++n;
    }
  };
  auto quoted = [&](std::string_view s) {  // a quote inside a text is doubled
    for (std::size_t j = 0; j < s.size(); ++j) put(s[j] == '\'' ? "''" : s.substr(j, 1));
  };
  put("(");
  if (!banner.empty()) {
    put("' ");
    quoted(banner);
    put("',/,");
  }
  for (std::size_t from = 0;;) {
    const std::size_t lf = prompt.find('\n', from);
    const std::string_view line =
        prompt.substr(from, lf == std::string_view::npos ? std::string_view::npos : lf - from);
    put("' ");
    if (const std::size_t k = line.find(kLayer); k != std::string_view::npos) {
      quoted(line.substr(0, k));
      put("',I2,'");
      quoted(line.substr(k + kLayer.size()));
    } else {
      quoted(line);
    }
    if (lf == std::string_view::npos) break;
    put("',/,");
    from = lf + 1;
  }
  put(" ',$)");
  return n;
}

template <std::size_t N>
struct FormatText {
  char text[N]{};
};

template <const std::string_view& Banner, const Step& S>
constexpr auto make_prompt_text() {
  FormatText<prompt_format_text(Banner, S.prompt, nullptr) + 1> t{};
  prompt_format_text(Banner, S.prompt, t.text);
  return t;
}

template <const std::string_view& Banner, const Step& S>
inline constexpr auto kPromptText = make_prompt_text<Banner, S>();

}  // namespace detail

inline constexpr std::string_view kNoBanner{};

template <const Step& S, const std::string_view& Banner = kNoBanner>
inline constexpr auto kPrompt = textio::format(detail::kPromptText<Banner, S>.text);

}  // namespace cli
