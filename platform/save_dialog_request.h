// A save-dialog request in the system's terms: the filter list and the option flags it takes.
#pragma once
#include <string>

#include "platform/dialogs.h"

namespace sorel {

// The options of OPENFILENAME that the program asks for, with the system's values.
namespace Ofn {
constexpr unsigned OverwritePrompt = 0x00000002, HideReadOnly = 0x00000004, PathMustExist = 0x00000800;
}  // namespace Ofn

// The filter in the class library's form, "Description|Pattern|Description|Pattern", as the
// system's file dialogs take it: every part ends in a NUL and the list in one more. An empty part
// stays an empty string; a description without a pattern is passed on and the system ignores it.
// "" gives "" (no filter at all). The result is two bytes longer than filter.
inline std::string SystemFilter(const std::string& filter) {
  if (filter.empty()) return "";
  std::string out = filter;
  for (char& c : out)
    if (c == '|') c = '\0';
  out.append(2, '\0');
  return out;
}

// Always without the read-only box, which a save dialog has no use for.
inline unsigned SystemSaveFlags(const SaveFileRequest& request) {
  return Ofn::HideReadOnly | (request.overwritePrompt ? Ofn::OverwritePrompt : 0u) |
         (request.pathMustExist ? Ofn::PathMustExist : 0u);
}

}  // namespace sorel
