// How the system's profile functions read the text of an ini file: the blanks they drop, how they
// match names and which quotes they remove. Shared by the emulation of those functions and by the
// win.ini writer, which must end and match sections exactly as they do.
#pragma once
#include <cstddef>
#include <string>

namespace sorel {

// Tab, LF, VT, FF, CR, space and Ctrl-Z; a no-break space (0xA0) is not a blank.
inline bool IsProfileBlank(char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ' || c == '\x1A';
}

inline std::string TrimProfileBlanksRight(const std::string& s) {
  std::size_t end = s.size();
  while (end > 0 && IsProfileBlank(s[end - 1])) --end;
  return s.substr(0, end);
}

inline std::string TrimProfileBlanksLeft(const std::string& s) {
  std::size_t start = 0;
  while (start < s.size() && IsProfileBlank(s[start])) ++start;
  return s.substr(start);
}

inline std::string TrimProfileBlanks(const std::string& s) { return TrimProfileBlanksLeft(TrimProfileBlanksRight(s)); }

// Names match folding ASCII letters only: "\xC4" and "\xE4" are different names, and so are "AB"
// and "A\xADB". Two names match when their folded forms are equal.
inline std::string FoldProfileName(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// A value in a pair of its own quotes ("..." or '...'), which a lookup removes.
inline bool HasEnclosingQuotes(const std::string& value) {
  return value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

}  // namespace sorel
