// The language file LangRes.ini: where it is, how a section is read, the language's fixed texts.
#include "lang/langres.h"

namespace sorel {

const FixedKey kFixedKeys[] = {
    {"WSRegistry", "Zapis w rejestrze.", true, false},
    {"WSWinIni", "Zapis w win.ini.", true, false},
    {"WSSaveTitle", "Zakończenie pracy", true, false},
    {"WSSaveText",
     "Zmiany nie zostały zapisane.*Czy chcesz zapisać zmiany ustawień do sekcji [FontSubstitutes]?**"
     "Uwaga!*Po zapisaniu system zostanie uruchomiony ponownie.",
     true, true},
    {"WSRestartText", "Czy uruchomić ponownie komputer?", true, true},
    {"WSRestartTitle", "Restart komputera", true, false},
    {"btOnOffHint", "Włącz/wyłącz czcionkę", false, false},
    {"btMaskedOnOffHint", "Włącz/wyłącz wszystkie czcionki typu", false, false},
    {"btLangChooseHint", "Wybierz język...", false, false},
    {"btWesternMapHint", "Mapuj w skrypt [Western]", false, false},
    {"btPreviewHint", "Okno dodatkowego podglądu", false, false},
    {"frmPreviewCaption", "Okno podglądu czcionki", true, false},
    {"frmPreviewbtBoldHint", "Półgruby", true, false},
    {"frmPreviewbtItalicHint", "Kursywa", true, false},
    {"frmPreviewbtPrintSetupHint", "Ustawienia wydruku", true, false},
    {"frmPreviewbtPrintHint", "Drukowanie", true, false},
    {"btSampleSelectHint", "Wybór przykładu czcionki", false, false},
    {"btWebUpdateHint", "Sprawdź czy jest nowsza wersja na sieci...", false, false},
    {"btLangResEditHint", "Edycja %s", false, false},
    {"btOpenFontsFolderHint", "Otwórz systemowy folder czcionek", false, false},
    {"tbToolbox", "Przybornik", false, false},
    {"RSBadPort", "Zły port", true, false},
    {"RSProxyCaption", "Wybór serwera proxy", true, false},
    {"RSProxyHost", "&Host:", true, false},
    {"RSProxyPort", "&Port:", true, false},
    {"mEnableAll", "Włącz wszsytkie", false, false},
    {"mDisableAll", "Wyłącz wszystkie", false, false},
    {"mEnableAllof", "Włącz wszystkie skrypty w", false, false},
    {"mDisableAllof", "Wyłącz wszystkie skrypty w", false, false},
    {"Readme", "help/plindex.htm", false, false},
    {"DefNLsSubst", "c_1252.nls", false, false},
    {"WSNLsMissing", "Plik %s nie istnieje w folderze systemowym", true, false},
    {"WSUpdateNotSigned", "Pobrany plik nie jest podpisany przez autora programu; został usunięty.", true, false},
    {"WSUpdateSaved",
     "Aktualizacja została zapisana jako %s. Ta kopia programu nie może sprawdzić podpisu autora, więc jej nie "
     "uruchamia.",
     true, false},
    {"DefLangVal", "238", false, false},
};
const std::size_t kFixedKeyCount = sizeof(kFixedKeys) / sizeof(kFixedKeys[0]);

const char* const kBuiltInLangChooseCaption = "Wybór języka";
const char* const kBuiltInHelpPagePath = "help/enindex.htm";

std::string BuiltInText(const std::string& key) {
  for (std::size_t i = 0; i < kFixedKeyCount; ++i)
    if (key == kFixedKeys[i].key) return kFixedKeys[i].builtIn;
  return "";
}

std::string LangResPath(SystemInfo& system) {
  std::string exe = system.ExePath();
  std::size_t slash = exe.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + "LangRes.ini";
}

std::string ReadLanguageString(ProfileFiles& profiles, const std::string& file, const std::string& section,
                               const std::string& key, const std::string& builtIn) {
  return section.empty() ? builtIn : profiles.ReadString(file, section, key, builtIn);
}

std::string ExpandLineBreaks(std::string text) {
  for (std::size_t star; (star = text.find('*')) != std::string::npos;) text.replace(star, 1, "\r\n");
  return text;
}

bool FormatOneText(const std::string& format, const std::string& text, std::string& result) {
  std::string out;
  int placeholders = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
    } else if (i + 1 < format.size() && format[i + 1] == 's' && ++placeholders == 1) {
      out += text;
    } else {
      return false;  // another directive, a second text or a lone "%" at the end
    }
    ++i;
  }
  result = out;
  return true;
}

KeyValueList BuiltInUiTexts() {
  KeyValueList texts;
  for (const auto& k : kFixedKeys) {
    if (!k.uiText) continue;
    // Until a language is applied the close question keeps its line breaks as LF CR.
    std::string text = k.builtIn;
    if (std::string(k.key) == "WSSaveText") {
      for (std::size_t star; (star = text.find('*')) != std::string::npos;) text.replace(star, 1, "\n\r");
    }
    texts.lines.push_back(std::string(k.key) + "=" + text);
  }
  return texts;
}

}  // namespace sorel
