// The language choice dialog TfrmLangChoose and ChooseLanguage.
#pragma once
#include <memory>
#include <optional>
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

// Lets the user pick a language section of the language file, the stored one (or "Polski" when
// none is stored) selected at first. Returns the section picked, the empty text when nothing was
// selected; keeping and applying it is the caller's part.
std::string ChooseLanguage(Platform& platform, const std::optional<std::string>& stored);

}  // namespace sorel
