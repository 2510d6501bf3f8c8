// The code-page file mapping: which NLS file defines code page 1252, chosen in memory, written on save.
#include <exception>

#include "app/fontsub.h"
#include "lang/langres.h"
#include "platform/errors.h"

namespace sorel {

namespace {

// Compared exactly: a value differing only in letter case counts as remapped.
constexpr const char* kStandardNls = "c_1252.nls";
constexpr const char* kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr const char* kCodePageValue = "1252";
constexpr const char* kMapSection = "NLSMaps";

// The indicator and the button that shows it follow CurrentNlsFile.
void ShowIndicator(TForm1& form) {
  form.acCPModChecked = form.CurrentNlsFile != kStandardNls;
  form.ToolbarButton971->SetDown(form.acCPModChecked);
}

}  // namespace

void TForm1::LoadNlsMaps() {
  const std::string file = LangResPath(p_.system);
  if (!p_.files.Exists(file)) return;
  const std::vector<std::string> captions = p_.profiles.SectionKeys(file, kMapSection);
  // A value that cannot be read counts as none; the menu is still built, then the error is shown.
  std::exception_ptr unreadable;
  if (auto key = p_.registry.Open(RegRoot::LocalMachine, kCodePageKey, false)) {
    try {
      CurrentNlsFile = key->ValueExists(kCodePageValue) ? key->ReadString(kCodePageValue) : "";
    } catch (const PlatformError&) {
      CurrentNlsFile.clear();
      unreadable = std::current_exception();
    }
  }
  ShowIndicator(*this);

  MenuItem& items = puNLs->Items();
  items.Clear();
  for (const std::string& caption : captions) {
    // Items made at run time have no name, as the menu's own items would.
    MenuItem& item = items.Add("", caption);
    item.SetChecked(p_.profiles.ReadString(file, kMapSection, caption, "") == CurrentNlsFile);
    item.SetRadioItem(true);
    item.OnClick = [this](MenuItem& sender) { mnuNLsClick(sender); };
  }
  if (unreadable) std::rethrow_exception(unreadable);
}

// Switches between the standard file and the language's choice; the indicator as it was before
// the click decides which.
void TForm1::acCPModExecute() {
  CurrentNlsFile = acCPModChecked ? kStandardNls : Texts.DefNLsSubst;
  Modified = true;
  const std::string file = LangResPath(p_.system);
  if (p_.files.Exists(file)) {
    MenuItem& items = puNLs->Items();
    for (int i = 0; i < items.Count(); ++i) {
      MenuItem& item = items.Item(i);
      item.SetChecked(p_.profiles.ReadString(file, kMapSection, item.Caption(), "") == CurrentNlsFile);
    }
  }
  ShowIndicator(*this);
}

void TForm1::mnuNLsClick(MenuItem& sender) {
  if (sender.Checked()) return;
  const std::string file = LangResPath(p_.system);
  if (!p_.files.Exists(file)) return;
  MenuItem& items = puNLs->Items();
  for (int i = 0; i < items.Count(); ++i) items.Item(i).SetChecked(false);
  sender.SetChecked(true);
  CurrentNlsFile = p_.profiles.ReadString(file, kMapSection, sender.Caption(), "");
  Modified = true;
  btRestore->SetEnabled(true);
  ShowIndicator(*this);
}

// The list opens below the button, at its left edge.
void TForm1::ToolbarButton971DropDown() { puNLs->Popup(*ToolbarButton971, 0, ToolbarButton971->Bounds().height); }

// An empty CurrentNlsFile means no mapping was ever read (no language file at start, or no value
// "1252"); writing it would blank the system's entry for its ANSI code page, so nothing is written.
void TForm1::WriteNlsMapping() {
  if (CurrentNlsFile.empty()) return;
  if (auto key = p_.registry.Open(RegRoot::LocalMachine, kCodePageKey, false))
    key->WriteString(kCodePageValue, CurrentNlsFile);
}

}  // namespace sorel
