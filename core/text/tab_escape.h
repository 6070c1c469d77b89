// Texts kept inside tab-separated lines (a signed version's snapshot, a
// project's measured rooms): a backslash, tab, line feed or carriage return
// in the text is written as \\, \t, \n or \r, so fields and lines split
// where they should and read back to the letter.
#pragma once

#include <string>
#include <string_view>

namespace lty {

// Appends `text` escaped to `out`.
void AppendTabEscaped(std::string& out, std::string_view text);
std::string TabEscaped(std::string_view text);
// The text back; a lone backslash at the end, or before another letter,
// stands for itself and that letter.
std::string TabUnescaped(std::string_view text);

} // namespace lty
