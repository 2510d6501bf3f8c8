// The system's words for an error code, for the messages the Win32 backends show the user.
#pragma once
#include <windows.h>

#include <string>

namespace sorel {

// FormatMessageA's text for code, without the line break it ends with; fallback when the code is 0
// or the system has no text for it.
std::string SystemErrorText(DWORD code, const char* fallback);

// The same for the calling thread's last error: call it right after the call that failed.
inline std::string LastErrorText(const char* fallback) { return SystemErrorText(GetLastError(), fallback); }

}  // namespace sorel
