// The program's own registry key under HKEY_CURRENT_USER and the paths the program derives from it.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/registry.h"

namespace sorel {

// The program key, spelt with its trailing backslash as the program has always used it. Lives
// below app/ and lang/ because both keep values here (the settings, the chosen language).
inline constexpr const char* ProgramKey = "Software\\Velmora\\SorelAssistant\\";
static_assert(std::string_view(ProgramKey).back() == '\\', "the derived paths below rely on the backslash");

// The main window's placement (values "L", "T", "P").
inline const std::string MainWndKey = std::string(ProgramKey) + "MainWnd";

// The preview window's placement (values "W", "H", "L", "T").
inline const std::string PrevWndKey = std::string(ProgramKey) + "PrevWnd";

// The base the toolbar layouts are kept under: the program key spelt without its trailing
// backslash, since the layout code adds "\\" and the toolbar's name itself.
inline const std::string ToolbarLayoutBase(ProgramKey, std::string_view(ProgramKey).size() - 1);

// A text value of the program key, or nothing when it is absent or stored with a type other than
// text: such a value counts as missing, so that the program's next write replaces it instead of
// the read failing at every start. Other read errors propagate.
inline std::optional<std::string> ReadTextSetting(RegistryKey& key, const std::string& name) {
  if (!key.ValueExists(name)) return std::nullopt;
  try {
    return key.ReadString(name);
  } catch (const PlatformError& e) {
    if (e.what() != InvalidDataTypeMessage(name)) throw;
    return std::nullopt;
  }
}

}  // namespace sorel
