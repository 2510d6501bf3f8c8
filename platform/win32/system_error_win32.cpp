// The system's words for an error code, for the messages the Win32 backends show the user.
#include "platform/win32/system_error_win32.h"

namespace sorel {

std::string SystemErrorText(DWORD code, const char* fallback) {
  char text[512] = {};
  const DWORD length = code ? FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                             code, 0, text, sizeof(text), nullptr)
                            : 0;
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? fallback : message;
}

}  // namespace sorel
