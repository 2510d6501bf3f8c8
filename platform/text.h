// The text helpers every layer shares: letter case of ASCII, integer text, line ends. The
// program's names, keys and protocol words are ASCII, so their case is folded for ASCII only:
// "\xC4" and "\xE4" stay different, whatever the locale.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
// Equal when equal after folding ASCII letters.
bool AsciiEqualIgnoreCase(std::string_view a, std::string_view b);

// The value of c as a digit of base (up to 16, letters in either case); -1 when it is none.
int DigitValue(char c, int base);

// The program's integer conversion. Input: any number of leading spaces, at most one "+" or "-",
// then either decimal digits or "$", "0x" or "0X" followed by hexadecimal digits (either case), and
// nothing else. The signed value must lie in the 32-bit range (-0x80000000 is, 0x80000000 is not).
// Empty text, a sign or prefix without digits, a trailing blank or any stray character give
// nothing; each caller says what that counts as.
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// Lines of bytes split at CR, LF or CR LF. A line end at the very end gives no extra empty line;
// text after the last line end is a line of its own. Empty input gives no lines. Nothing else
// (blanks, zero bytes, other control characters) is touched.
std::vector<std::string> SplitLines(std::string_view bytes);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// Every line end of text (CR LF, a lone CR or a lone LF) becomes CR LF, as a multi-line edit shows
// them; nothing else changes. A line end at the very end stays one, and no line end is added.
std::string CrLfLineBreaks(std::string_view text);

}  // namespace sorel
