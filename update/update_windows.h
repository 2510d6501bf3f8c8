// The update component's windows: the wait window, the download progress window TWebDlProgress and
// the ReadMe window.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/services.h"

namespace sorel {

// A plain window that the end of a transfer closes (Form::SetModalResult). Its Cancel (or Escape)
// runs onCancel, which ends the transfer, so no server can keep the window up.
struct WaitWindow {
  std::unique_ptr<Form> self;
  std::unique_ptr<Label> text;
  std::unique_ptr<Button> cancel;
};
WaitWindow CreateWaitWindow(Platform& p, const FontSpec& font, const std::string& text,
                            std::function<void()> onCancel);

// The download's progress: what is downloaded, the bytes received, and Cancel.
class TWebDlProgress {
 public:
  // title says what is downloaded; onCancel ends the transfer when the user cancels.
  TWebDlProgress(Platform& p, const FontSpec& font, const std::string& title, std::function<void()> onCancel);
  TWebDlProgress(const TWebDlProgress&) = delete;
  TWebDlProgress& operator=(const TWebDlProgress&) = delete;

  // Shows the window until the transfer ends (TransferEnded). False when the user cancelled.
  bool ShowModal();
  // Shows received of total; the bar moves forward only, and only when a total is known.
  void ShowProgress(std::int64_t received, std::int64_t total);
  // The transfer has ended: the window closes.
  void TransferEnded();
  // The transfer was dropped on an error: the window closes as cancelled.
  void TransferFailed();

 private:
  void btnCancelClick();

  bool cancelled_ = false;
  std::function<void()> onCancel_;
  std::unique_ptr<Form> self_;
  std::unique_ptr<ProgressBar> pbarProgress;
  std::unique_ptr<Label> lblDownloading;
  std::unique_ptr<Label> lblProgress;
  std::unique_ptr<Button> btnCancel;
};

// The ReadMe window: the text in an editable box with both scroll bars, and an OK button.
struct ReadMeWindow {
  std::unique_ptr<Form> self;
  std::unique_ptr<Memo> text;
  std::unique_ptr<Button> ok;
};
ReadMeWindow BuildReadMeWindow(Platform& p, const FontSpec& font, const std::string& text);

}  // namespace sorel
