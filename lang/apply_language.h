// ApplyLanguage: one language section of LangRes.ini applied to the running interface.
#pragma once
#include <string>

#include "engine/key_value_list.h"
#include "ui/services.h"

namespace sorel {

// The texts a language gives the program besides control captions.
struct LanguageState {
  KeyValueList UiTexts;  // starts with BuiltInUiTexts()
  std::string HelpPagePath;
  std::string DefNLsSubst;
  std::string DefLangVal;
};

// What ApplyLanguage may change in the windows, by control name (names as the windows give them;
// a name the window does not have is ignored).
class LanguageTarget {
 public:
  enum class Kind { None, Label, Button, TabSheet, Other };
  virtual ~LanguageTarget() = default;
  // The kind of the main window's control of that name, letter case ignored; its exact name.
  virtual Kind ControlKind(const std::string& name, std::string& exactName) = 0;
  virtual void SetCaption(const std::string& name, const std::string& text) = 0;
  virtual std::string Caption(const std::string& name) = 0;
  virtual void SetHint(const std::string& name, const std::string& text) = 0;
  virtual std::string Hint(const std::string& name) = 0;
  // The preview window's caption, when that window exists.
  virtual void SetPreviewCaption(const std::string& text) = 0;
};

// Applies section of LangResPath; nothing changes when the file is missing.
void ApplyLanguage(Platform& platform, const std::string& section, bool isNT, LanguageTarget& target,
                   LanguageState& state);

}  // namespace sorel
