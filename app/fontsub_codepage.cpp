// The main window's part of the code-page mapping: the indicator button and the list of files.
#include <exception>

#include "app/fontsub.h"

namespace sorel {

void TForm1::ShowCodePageIndicator() { ToolbarButton971->SetDown(codePage_.Remapped()); }

void TForm1::ShowCodePageChecks() {
  const auto checks = codePage_.Checks();
  if (!checks) return;
  MenuItem& items = puNLs->Items();
  for (int i = 0; i < items.Count() && i < static_cast<int>(checks->size()); ++i) items.Item(i).SetChecked((*checks)[i]);
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
// restore button stays as it was.
void TForm1::acCPModExecute() {
  codePage_.Toggle(texts_.DefNLsSubst);
  edits_.MarkModified();
  ShowCodePageChecks();
  ShowCodePageIndicator();
}

void TForm1::mnuNLsClick(MenuItem& sender) {
  if (sender.Checked()) return;
  if (!codePage_.Choose(sender.Caption())) return;
  MenuItem& items = puNLs->Items();
  for (int i = 0; i < items.Count(); ++i) items.Item(i).SetChecked(&items.Item(i) == &sender);
  MarkModified();
  ShowCodePageIndicator();
}

// The list opens below the button, at its left edge.
void TForm1::ToolbarButton971DropDown() { puNLs->Popup(*ToolbarButton971, 0, ToolbarButton971->Bounds().height); }

}  // namespace sorel
