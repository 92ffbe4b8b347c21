#pragma once
// Fitting a text into a label of a few lines: breaking it between any two
// characters (a path has no spaces to break at), and shortening it in its
// middle when it is too long, so that both its start (a path's drive and
// first folders) and its end (the file name) stay readable.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The horizontal ellipsis put where characters were left out.
inline constexpr std::string_view kEllipsis = "…";

// The width of a text on one line, in any unit.
using TextWidth = std::function<int(std::string_view utf8)>;

// The text in lines no wider than `width`: each line takes as many whole
// UTF-8 characters as fit (one at least, even when it alone is wider).
std::vector<std::string> break_into_lines(std::string_view utf8, int width, const TextWidth& text_width);

// The text itself when `fits` accepts it. Otherwise the longest form
// "start…end" that `fits` accepts, keeping as many characters of each side
// as it can (the end one more when the count is odd), and "…" alone when
// nothing more fits. Cuts fall between whole UTF-8 characters. `fits` should
// accept every shorter text when it accepts a longer one.
std::string shorten_in_middle(std::string_view utf8, const std::function<bool(std::string_view)>& fits);

// The text in lines of at most `characters` UTF-8 characters each, joined by
// line breaks: a message box breaks only at spaces, so a long path would make
// it wider than the screen.
std::string broken_for_message(std::string_view utf8, int characters);

// The text broken into at most `lines` lines of `width`, shortened in its
// middle first when it needs more.
std::vector<std::string> fit_into_lines(std::string_view utf8, int width, std::size_t lines,
                                        const TextWidth& text_width);

}  // namespace vantrel
