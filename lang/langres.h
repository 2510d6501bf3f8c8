// The language file LangRes.ini: where it is, how a section is read, the language's fixed texts.
#pragma once
#include <string>

#include "engine/key_value_list.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace sorel {

// The executable's folder followed by "LangRes.ini".
std::string LangResPath(SystemInfo& system);

// One key of a language section, builtIn when the key is absent. The empty name is no section:
// the profile functions would read it from the lines before the file's first header.
std::string ReadLanguageString(ProfileFiles& profiles, const std::string& file, const std::string& section,
                               const std::string& key, const std::string& builtIn);

// Every "*" becomes CR LF.
std::string ExpandLineBreaks(std::string text);

// Puts text into a format that must take exactly one text ("%s"; "%%" stands for "%"). A format
// with no placeholder is returned unchanged; any other directive, or more than one placeholder,
// gives nothing, so the caller keeps its own text.
bool FormatOneText(const std::string& format, const std::string& text, std::string& result);

// The fixed keys of a language section in the order they are read, with their built-in texts.
struct FixedKey {
  const char* key;
  const char* builtIn;
  bool uiText;            // kept in UiTexts
  bool expandLineBreaks;  // "*" becomes a line break
};
extern const FixedKey kFixedKeys[];
extern const std::size_t kFixedKeyCount;

// The built-in text of a fixed key, which is also the design text of the control it names;
// "" for a key that is not fixed.
std::string BuiltInText(const std::string& key);

// UiTexts before any language is applied.
KeyValueList BuiltInUiTexts();
// The built-in caption of the language dialog and the information page path.
extern const char* const kBuiltInLangChooseCaption;
extern const char* const kBuiltInHelpPagePath;

}  // namespace sorel
