// The language choice dialog TfrmLangChoose and ChooseLanguage.
#pragma once
#include <memory>
#include <string>

#include "ui/services.h"

namespace sorel {

class TfrmLangChoose {
 public:
  static constexpr int kClientWidth = 268;
  static constexpr int kClientHeight = 63;

  explicit TfrmLangChoose(Platform& platform);
  void FormShow();
  // The caption follows the language selected while the user browses the list.
  void ComboBox1Change();

  Form& Self() { return *self_; }
  std::unique_ptr<Form> self_;
  std::unique_ptr<Image> Image1;
  std::unique_ptr<ComboBox> ComboBox1;
  std::unique_ptr<Button> Button1;

 private:
  Platform& p_;
};

// The language the user picked (the empty text when nothing was selected), and the registry's
// error when storing it failed ("" when it was stored, or skipped because the key did not open).
struct LanguageChoice {
  std::string section;
  std::string storeError;
};

// Lets the user pick a language section of the language file and stores it as "Language". Applying
// it, also when storing failed, is the caller's part.
LanguageChoice ChooseLanguage(Platform& platform);

}  // namespace sorel
