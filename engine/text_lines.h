// Splitting a text file's bytes into lines and joining lines back, the way win.ini is edited.
#pragma once
#include <string>
#include <vector>

namespace sorel {

// Lines of bytes split at CR, LF or CR LF. A line end at the very end gives no extra empty line;
// text after the last line end is a line of its own. Empty input gives no lines. Nothing else
// (blanks, zero bytes, other control characters) is touched.
std::vector<std::string> SplitLines(const std::string& bytes);

// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace sorel
