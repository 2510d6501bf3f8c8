// The language choice dialog TfrmLangChoose.
#include "lang/LangChoose.h"

#include "lang/langres.h"

namespace sorel {

TfrmLangChoose::TfrmLangChoose(Platform& platform, const std::optional<std::string>& stored) : p_(platform) {
  self_ = p_.ui.CreateForm("frmLangChoose", FormStyle::Dialog);
  self_->SetCaption("Select language");
  self_->SetClientSize(kClientWidth, kClientHeight);
  self_->SetTopmost(true);
  self_->CenterOnScreen();
  self_->OnShow = [this] { FormShow(); };
  Image1 = p_.ui.CreateImage(*self_, "Image1");
  Image1->SetBounds({8, 8, 32, 32});
  Image1->ShowIcon("MAINICON");
  ComboBox1 = p_.ui.CreateComboBox(*self_, "ComboBox1");
  ComboBox1->SetBounds({56, 8, 205, 21});
  ComboBox1->OnChange = [this] { ComboBox1Change(); };
  Button1 = p_.ui.CreateButton(*self_, "Button1");
  Button1->SetCaption("&OK");
  Button1->SetBounds({188, 36, 75, 25});
  Button1->ModalResult = kModalOk;
  ListLanguages(stored);
}

void TfrmLangChoose::ListLanguages(const std::optional<std::string>& stored) {
  ComboBox& list = *ComboBox1;
  if (p_.files.Exists(LangResPath(p_.system))) {
    for (const auto& section : p_.profiles.SectionNames(LangResPath(p_.system))) list.AddItem(section);
  }
  // Sample sets are not languages; the prefix test counts letter case.
  for (int i = list.Count() - 1; i >= 0; --i)
    if (list.Item(i).compare(0, 7, "Samplez") == 0) list.DeleteItem(i);
  if (int i = list.FindExact("IniStrings"); i >= 0) list.DeleteItem(i);
  list.SetItemIndex(list.FindExact(stored.value_or("Polski")));
}

std::string TfrmLangChoose::ShowModal() {
  self_->ShowModal();
  return Selected();
}

std::string TfrmLangChoose::Selected() const {
  const int index = ComboBox1->ItemIndex();
  return index >= 0 ? ComboBox1->Item(index) : "";
}

void TfrmLangChoose::FormShow() { ComboBox1Change(); }

void TfrmLangChoose::ComboBox1Change() {
  self_->SetCaption(
      ReadLanguageString(p_.profiles, LangResPath(p_.system), Selected(), "dLangChoose", kBuiltInLangChooseCaption));
}

}  // namespace sorel
