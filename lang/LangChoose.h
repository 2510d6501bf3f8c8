// The language choice dialog TfrmLangChoose.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "ui/services.h"

namespace sorel {

// Lets the user pick a language section of the language file. Keeping and applying the choice is
// the caller's part.
class TfrmLangChoose {
 public:
  static constexpr int kClientWidth = 268;
  static constexpr int kClientHeight = 63;

  // Offers the language file's sections, the stored one (or "Polski" when none is stored)
  // selected at first.
  TfrmLangChoose(Platform& platform, const std::optional<std::string>& stored);
  TfrmLangChoose(const TfrmLangChoose&) = delete;
  TfrmLangChoose& operator=(const TfrmLangChoose&) = delete;

  // Shows the dialog until it closes; closing it in any way counts as a choice. The section
  // picked, the empty text when nothing was selected.
  std::string ShowModal();

 private:
  void FormShow();
  // The caption follows the language selected while the user browses the list.
  void ComboBox1Change();
  void ListLanguages(const std::optional<std::string>& stored);
  std::string Selected() const;

  Platform& p_;
  std::unique_ptr<Form> self_;
  std::unique_ptr<Image> Image1;
  std::unique_ptr<ComboBox> ComboBox1;
  std::unique_ptr<Button> Button1;
};

}  // namespace sorel
