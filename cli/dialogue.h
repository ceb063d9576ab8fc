// A program's dialogue as data: its questions in order, what each answer
// holds, which earlier answer decides whether a question is asked, and which
// questions repeat once per layer. The program shows its prompts from it, and
// its --help, the `dialogues` listing and the dialogue tests are made from it.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>

namespace cli {

// The integer answers of an earlier step for which a step is asked.
struct When {
  enum class Test : unsigned char { always, in, not_in, at_most };
  std::string_view id;  // the earlier step
  Test test = Test::always;
  std::array<int, 4> values{};  // `in` and `not_in`: the first `count`; `at_most`: the first
  int count = 0;

  constexpr bool asks(int answer) const {
    if (test == Test::always) return true;
    if (test == Test::at_most) return answer <= values[0];
    bool listed = false;
    for (int j = 0; j < count; ++j) listed = listed || values[j] == answer;
    return listed == (test == Test::in);
  }
  constexpr bool operator==(const When&) const = default;
};

namespace detail {
constexpr When listed(std::string_view id, When::Test test, std::initializer_list<int> values) {
  When w{id, test};
  for (int v : values) w.values[static_cast<std::size_t>(w.count++)] = v;
  return w;
}
}  // namespace detail

constexpr When in(std::string_view id, std::initializer_list<int> values) {
  return detail::listed(id, When::Test::in, values);
}
constexpr When not_in(std::string_view id, std::initializer_list<int> values) {
  return detail::listed(id, When::Test::not_in, values);
}
constexpr When at_most(std::string_view id, int most) { return detail::listed(id, When::Test::at_most, {most}); }

// One question, answered with one line.
struct Step {
  std::string_view id;
  // As shown, without the blanks around it; a '\n' starts a line of its own,
  // and {layer} stands for the layer's number, shown in two columns.
  std::string_view prompt;
  std::string_view holds;  // what the answer line holds, for people
  When when{};
  std::string_view repeat{};  // the step whose answer counts the loop this step is in
};

inline constexpr std::string_view kLayer = "{layer}";

struct Dialogue {
  std::string_view name;
  std::string_view arguments;  // on the usage line, after the name
  std::string_view summary;    // what the program writes, one sentence
  std::string_view writes;     // the end of the --help text, after the questions
  std::string_view banner;     // the line shown before the first question, if any
  std::span<const Step> steps;
  std::span<const std::string_view> examples;  // answer files under examples/ that feed it
  std::string_view answer_file{};              // what an answer file holds, if it reads one
};

// The --help layout: a step's prompt lines, then what it holds further in;
// steps asked only for some answers, and a loop's steps, under a heading and
// indented more. No line is longer than kHelpWidth - 1.
inline constexpr std::size_t kHelpWidth = 80;
inline constexpr std::size_t kPromptIndent = 2;
inline constexpr std::size_t kHoldsIndent = 4;  // beyond the prompt's
inline constexpr std::size_t kNestIndent = 2;   // per heading a step is under

constexpr std::size_t prompt_indent(const Step& s) {
  return kPromptIndent + (s.when.test == When::Test::always ? 0 : kNestIndent) + (s.repeat.empty() ? 0 : kNestIndent);
}

// Checked where a dialogue is declared: ids unique; a `when` or a loop names
// an earlier step; a loop's steps follow each other and share one `when`;
// prompt lines without blanks at either end; the --help lines fit.
constexpr bool well_formed(std::span<const Step> steps) {
  auto index_of = [&](std::string_view id) {
    for (std::size_t j = 0; j < steps.size(); ++j) {
      if (steps[j].id == id) return j;
    }
    return steps.size();
  };
  for (std::size_t j = 0; j < steps.size(); ++j) {
    const Step& s = steps[j];
    if (s.id.empty() || index_of(s.id) != j) return false;
    if (s.when.test != When::Test::always && index_of(s.when.id) >= j) return false;
    if (!s.repeat.empty()) {
      if (index_of(s.repeat) >= j) return false;
      const bool continues = j > 0 && steps[j - 1].repeat == s.repeat;
      if (continues && steps[j - 1].when != s.when) return false;
      for (std::size_t k = 0; !continues && k < j; ++k) {
        if (steps[k].repeat == s.repeat) return false;  // the loop was left before
      }
    }
    const std::size_t indent = prompt_indent(s);
    if (s.holds.empty() || indent + kHoldsIndent + s.holds.size() >= kHelpWidth) return false;
    std::size_t from = 0;
    for (;;) {
      const std::size_t end =
          s.prompt.find('\n', from) == std::string_view::npos ? s.prompt.size() : s.prompt.find('\n', from);
      const std::string_view line = s.prompt.substr(from, end - from);
      if (line.empty() || line.front() == ' ' || line.back() == ' ') return false;
      if (indent + line.size() >= kHelpWidth) return false;
      if (end == s.prompt.size()) break;
      from = end + 1;
    }
  }
  return true;
}

}  // namespace cli
