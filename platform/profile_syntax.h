// How the system's profile functions read the text of an ini file: the blanks they drop, how they
// read a header or key line, how they match names and which quotes they remove. Shared by the
// emulation of those functions and by the win.ini writer, which must end and match sections
// exactly as they do.
#pragma once
#include <cstddef>
#include <string>

#include "platform/text.h"

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

// The system keeps names and values as zero-terminated strings: a zero byte read from the file
// ends them as far as every lookup is concerned.
inline std::string UpToZero(const std::string& s) { return s.substr(0, s.find('\0')); }

// Whether line is a section header, and its name. Without the blanks around it, a header starts
// with "[" and holds a "]"; the name is the text between them up to the LAST "]", without the
// blanks around it, and whatever follows that "]" is ignored. A "[" line without "]" is an ordinary
// key line, so it does not end the section around it. The name is given as the file spells it,
// zero bytes included (see UpToZero). name is left alone when line is no header.
inline bool ParseProfileHeader(const std::string& line, std::string& name) {
  const std::string trimmed = TrimProfileBlanks(line);
  const std::size_t close = trimmed.rfind(']');
  if (trimmed.empty() || trimmed[0] != '[' || close == std::string::npos) return false;
  name = TrimProfileBlanks(trimmed.substr(1, close - 1));
  return true;
}

// A line that is no header read as a key: without the blanks around the line, the name is the
// text before the first "=" and the value the text after it, each without the blanks around it.
// Returns false for a line without "=", a name without value: then name is the whole line without
// its blanks and value is "". Comment lines (name starting with ";") are keys here too; the callers
// decide whether to skip them. Zero bytes are kept (see UpToZero).
inline bool ParseProfileKeyLine(const std::string& line, std::string& name, std::string& value) {
  const std::string trimmed = TrimProfileBlanks(line);
  const std::size_t eq = trimmed.find('=');
  if (eq == std::string::npos) {
    name = trimmed;
    value.clear();
    return false;
  }
  // The line is trimmed already: the name can only have blanks at its end, the value at its start.
  name = TrimProfileBlanksRight(trimmed.substr(0, eq));
  value = TrimProfileBlanksLeft(trimmed.substr(eq + 1));
  return true;
}

// Names match folding ASCII letters only: "\xC4" and "\xE4" are different names, and so are "AB"
// and "A\xADB". Two names match when their folded forms are equal.
inline std::string FoldProfileName(const std::string& name) {
  return AsciiLower(name);
}

// A value in a pair of its own quotes ("..." or '...'), which a lookup removes.
inline bool HasEnclosingQuotes(const std::string& value) {
  return value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

}  // namespace sorel
