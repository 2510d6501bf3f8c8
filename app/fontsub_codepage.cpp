// The main window's part of the code-page mapping: the indicator button and the list of files.
#include <exception>

#include "app/fontsub.h"
#include "lang/langres.h"

namespace sorel {

void TForm1::ShowCodePageIndicator() { ToolbarButton971->SetDown(codePage_.Remapped()); }

// A choice whose file is not in the system folder is shown disabled, and its hint says why.
void TForm1::ShowCodePageChecks() {
  const auto choices = codePage_.Choices();
  if (!choices) return;
  MenuItem& items = puNLs->Items();
  for (int i = 0; i < items.Count() && i < static_cast<int>(choices->size()); ++i) {
    const NlsMapping::Choice& choice = (*choices)[i];
    MenuItem& item = items.Item(i);
    item.SetChecked(choice.current);
    item.SetEnabled(!choice.missing);
    item.SetHint(choice.missing ? TextWithName("WSNLsMissing", choice.file) : "");
  }
}

std::string TForm1::TextWithName(const std::string& key, const std::string& name) const {
  std::string text;
  if (!FormatOneText(UiText(key), name, text)) FormatOneText(BuiltInText(key), name, text);
  return text;
}

// A value that cannot be read counts as none; the menu is still built, then the error is shown.
void TForm1::LoadNlsMaps() {
  std::exception_ptr unreadable;
  if (!codePage_.Load(unreadable)) return;
  ShowCodePageIndicator();
  MenuItem& items = puNLs->Items();
  items.Clear();
  for (const std::string& caption : codePage_.Captions()) {
    // Items made at run time have no name, as the menu's own items would.
    MenuItem& item = items.Add("", caption);
    item.SetRadioItem(true);
    item.OnClick = [this](MenuItem& sender) { mnuNLsClick(sender); };
  }
  ShowCodePageChecks();
  if (unreadable) std::rethrow_exception(unreadable);
}

// Switches between the standard file and the language's choice. Only the flag is set: the
// restore button stays as it was. A file the system folder lacks is not switched to: the click
// changes nothing and says why.
void TForm1::acCPModExecute() {
  const std::string target = codePage_.ToggleTarget(texts_.DefNLsSubst);
  if (!codePage_.Toggle(texts_.DefNLsSubst)) {
    ShowCodePageIndicator();
    p_.dialogs.MessageBox(TextWithName("WSNLsMissing", target), p_.app.Title(), Buttons::Ok, Icon::Warning);
    return;
  }
  edits_.MarkModified();
  ShowCodePageChecks();
  ShowCodePageIndicator();
}

// A disabled item cannot be picked; one whose file went away after the menu opened is refused
// with the reason, and the menu shows it disabled from then on.
void TForm1::mnuNLsClick(MenuItem& sender) {
  if (sender.Checked()) return;
  switch (codePage_.Choose(sender.Caption())) {
    case NlsMapping::Pick::NoLanguageFile:
      return;
    case NlsMapping::Pick::FileMissing:
      ShowCodePageChecks();
      p_.dialogs.MessageBox(TextWithName("WSNLsMissing", codePage_.FileOf(sender.Caption())), p_.app.Title(),
                            Buttons::Ok, Icon::Warning);
      return;
    case NlsMapping::Pick::Made:
      break;
  }
  MenuItem& items = puNLs->Items();
  for (int i = 0; i < items.Count(); ++i) items.Item(i).SetChecked(&items.Item(i) == &sender);
  MarkModified();
  ShowCodePageIndicator();
}

// The list opens below the button, at its left edge, showing which files are there now.
void TForm1::ToolbarButton971DropDown() {
  ShowCodePageChecks();
  puNLs->Popup(*ToolbarButton971, 0, ToolbarButton971->Bounds().height);
}

}  // namespace sorel
