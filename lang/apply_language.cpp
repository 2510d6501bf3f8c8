// ApplyLanguage: one language section of LangRes.ini applied to the running interface.
#include "lang/apply_language.h"
#include "platform/text.h"

#include "lang/langres.h"

namespace sorel {

namespace {

// Where a fixed key's text goes, besides UiTexts: the hint or caption of a control.
struct Destination {
  const char* key;
  const char* control;
  bool hint;
};
const Destination kDestinations[] = {
    {"btOnOffHint", "btOnOff", true},
    {"btMaskedOnOffHint", "btMaskedOnOff", true},
    {"btLangChooseHint", "btLangChoose", true},
    {"btWesternMapHint", "btWesternMap", true},
    {"btPreviewHint", "btPreview", true},
    {"btSampleSelectHint", "btSampleSelect", true},
    {"btWebUpdateHint", "btWebUpdate", true},
    {"btWebUpdateHint", "btWebUpdateArrow", true},  // the narrow part opens the same command's menu
    {"btOpenFontsFolderHint", "btOpenFontsFolder", true},
    {"tbToolbox", "tbToolbox", false},
    {"mEnableAll", "muAllOn1", false},
    {"mDisableAll", "muAllD1", false},
    {"mEnableAllof", "puSelOn1", false},
    {"mDisableAllof", "puSelOff1", false},
};

// The only controls a language section may caption. The window has others of the same kinds
// (the toolbox's buttons) whose texts are hints or pictures, not captions.
const char* const kCaptionedControls[] = {
    "OsVer",     "LBDescription", "LabelSample", "Label2",   "LabelAbout1", "LabelContact", "MailTo",
    "LabelHTTP", "URLLink",       "btRestore",   "btOK",     "btCancel",    "TabSheet1",    "TabSheet2",
};

bool MayCaption(const std::string& key) {
  for (const char* name : kCaptionedControls)
    if (AsciiEqualIgnoreCase(key, name)) return true;
  return false;
}

// The copies made right after some keys are read, in order: target, property, source.
void AfterKey(const std::string& key, LanguageTarget& target, LanguageState& state) {
  if (key == "btSampleSelectHint") {
    target.SetPreviewCaption(state.UiTexts.ValueOr("frmPreviewCaption", ""));
    target.SetCaption("muWestern", target.Hint("btWesternMap"));
  } else if (key == "tbToolbox") {
    target.SetCaption("puWebUpdate", target.Hint("btWebUpdate"));
  } else if (key == "RSProxyPort") {
    target.SetCaption("puWWWProxy", state.UiTexts.ValueOr("RSProxyCaption", ""));
    target.SetHint("MailTo", target.Caption("LabelContact"));
    target.SetHint("URLLink", target.Caption("LabelHTTP"));
    target.SetCaption("muOnOff", target.Hint("btOnOff"));
  } else if (key == "mEnableAll") {
    target.SetCaption("muAllOn2", target.Caption("muAllOn1"));
  } else if (key == "mDisableAll") {
    target.SetCaption("muAllD2", target.Caption("muAllD1"));
  } else if (key == "mEnableAllof") {
    target.SetCaption("puSelOn2", target.Caption("puSelOn1"));
  } else if (key == "mDisableAllof") {
    target.SetCaption("puSelOff2", target.Caption("puSelOff1"));
  }
}

void ApplyFixedKey(const FixedKey& k, const std::string& value, LanguageTarget& target, LanguageState& state) {
  const std::string key = k.key;
  std::string text = k.expandLineBreaks ? ExpandLineBreaks(value) : value;
  if (k.uiText) state.UiTexts.Set(key, text);
  if (key == "btLangResEditHint") {
    std::string hint;
    // A format that does not take exactly one text keeps the hint the button has.
    if (FormatOneText(text, "LangRes.ini", hint)) target.SetHint("btLangResEdit", hint);
  } else if (key == "DefNLsSubst") {
    state.DefNLsSubst = text;
  } else if (key == "DefLangVal") {
    state.DefLangVal = text;
  }
  for (const auto& d : kDestinations) {
    if (key != d.key) continue;
    if (d.hint) {
      target.SetHint(d.control, text);
    } else {
      target.SetCaption(d.control, text);
    }
  }
}

}  // namespace

void ApplyLanguage(Platform& p, const std::string& section, bool isNT, LanguageTarget& target,
                   LanguageState& state) {
  const std::string file = LangResPath(p.system);
  if (!p.files.Exists(file)) return;

  KeyValueList lines;
  ReadSection(p.profiles, file, section, lines);
  for (const auto& line : lines.lines) {
    const std::string key = line.substr(0, line.find('='));
    if (!MayCaption(key)) continue;
    std::string exact;
    auto kind = target.ControlKind(key, exact);
    if (kind == LanguageTarget::Kind::Label || kind == LanguageTarget::Kind::Button ||
        kind == LanguageTarget::Kind::TabSheet)
      target.SetCaption(exact, line.substr(key.size() + 1));
  }

  // Fixed keys fall back to their built-in texts only when the section lacks them: the built-in
  // text is the profile function's default, so a key present with an empty value reads as empty.
  std::string readme;
  for (std::size_t i = 0; i < kFixedKeyCount; ++i) {
    const FixedKey& k = kFixedKeys[i];
    std::string value = ReadLanguageString(p.profiles, file, section, k.key, k.builtIn);
    if (std::string(k.key) == "Readme") readme = value;
    ApplyFixedKey(k, value, target, state);
    AfterKey(k.key, target, state);
  }

  const std::string exe = p.system.ExePath();
  const std::string page = exe.substr(0, exe.find_last_of("\\/") + 1) + readme;
  if (p.files.Exists(page)) state.HelpPagePath = page;

  const char* family = isNT ? "Windows NT\r" : "Windows 95/98\r";
  target.SetCaption("OsVer", family + state.UiTexts.ValueOr(isNT ? "WSRegistry" : "WSWinIni", ""));
}

}  // namespace sorel
