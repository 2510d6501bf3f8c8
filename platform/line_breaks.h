// Line ends as a multi-line edit shows them: CR LF only.
#pragma once
#include <string>

namespace sorel {

// Every line end of text (CR LF, a lone CR or a lone LF) becomes CR LF; nothing else changes. A
// line end at the very end stays one. The result is at most twice as long as text.
inline std::string CrLfLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    out += "\r\n";
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

}  // namespace sorel
