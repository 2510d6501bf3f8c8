// The update component's windows: the wait window, the download progress window TWebDlProgress and
// the ReadMe window.
#include "update/update_windows.h"

#include <utility>

#include "update/web_page.h"

namespace sorel {

WaitWindow CreateWaitWindow(Platform& p, const FontSpec& font, const std::string& text,
                            std::function<void()> onCancel) {
  WaitWindow w;
  w.self = p.ui.CreateForm("WaitWindow", FormStyle::FixedToolDialog);
  w.self->SetCaption("Proszę czekać");
  w.self->SetClientSize(240, 100);
  w.self->CenterOnScreen();
  w.self->SetBusyCursor(true);
  w.text = p.ui.CreateLabel(*w.self, "WaitLabel");
  w.text->SetBounds({0, 27, 232, 23});
  w.text->SetAlignment(TextAlign::Center);
  w.text->SetFont(font);
  w.text->SetCaption(text);
  w.cancel = p.ui.CreateButton(*w.self, "WaitCancel");
  w.cancel->SetCaption("&Cancel");
  w.cancel->SetBounds({86, 64, 68, 22});
  w.cancel->OnClick = std::move(onCancel);
  w.self->SetCancelButton(w.cancel.get());
  return w;
}

TWebDlProgress::TWebDlProgress(Platform& p, const FontSpec& font, const std::string& title,
                               std::function<void()> onCancel)
    : onCancel_(std::move(onCancel)) {
  self_ = p.ui.CreateForm("WebDlProgress", FormStyle::FixedToolDialog);
  self_->SetCaption("Zaawansowanie pobierania");
  self_->SetClientSize(272, 123);
  self_->CenterOnScreen();
  self_->SetBusyCursor(true);
  lblDownloading = p.ui.CreateLabel(*self_, "lblDownloading");
  lblDownloading->SetBounds({2, 10, 268, 18});
  lblDownloading->SetAlignment(TextAlign::Center);
  lblDownloading->SetFont(font);
  pbarProgress = p.ui.CreateProgressBar(*self_, "pbarProgress");
  pbarProgress->SetBounds({36, 40, 200, 14});
  pbarProgress->SetRange(0, 100);
  lblProgress = p.ui.CreateLabel(*self_, "lblProgress");
  lblProgress->SetBounds({2, 60, 268, 22});
  lblProgress->SetAlignment(TextAlign::Center);
  lblProgress->SetFont(font);
  lblProgress->SetCaption("");
  btnCancel = p.ui.CreateButton(*self_, "btnCancel");
  btnCancel->SetCaption("&Cancel");
  btnCancel->SetBounds({102, 94, 68, 22});
  btnCancel->OnClick = [this] { btnCancelClick(); };
  lblDownloading->SetCaption(title);
}

bool TWebDlProgress::ShowModal() {
  self_->ShowModal();
  return !cancelled_;
}

void TWebDlProgress::TransferEnded() { self_->SetModalResult(cancelled_ ? kModalCancel : kModalOk); }

void TWebDlProgress::TransferFailed() { self_->SetModalResult(kModalCancel); }

void TWebDlProgress::btnCancelClick() {
  cancelled_ = true;
  if (onCancel_) onCancel_();
}

void TWebDlProgress::ShowProgress(std::int64_t received, std::int64_t total) {
  if (cancelled_) return;
  lblProgress->SetCaption(FormatThousands(received) + " z " + FormatThousands(total) + " odebranych bajtów.");
  if (total <= 0) return;
  const int percent = ProgressPercent(received, total);
  if (pbarProgress->Position() < percent) pbarProgress->SetPosition(percent);
}

ReadMeWindow BuildReadMeWindow(Platform& p, const FontSpec& font, const std::string& text) {
  ReadMeWindow w;
  const int width = p.app.ScreenWidth() * 4 / 5, height = p.app.ScreenHeight() * 4 / 5;
  w.self = p.ui.CreateForm("ReadMe", FormStyle::FixedToolDialog);
  w.self->SetCaption("Read Me");
  w.self->SetClientSize(width, height);
  w.self->CenterOnScreen();
  w.text = p.ui.CreateMemo(*w.self, "ReadMeText");
  w.text->SetBounds({10, 10, width - 25, height - 80});
  w.text->SetFont(font);
  w.text->SetText(text);
  w.ok = p.ui.CreateButton(*w.self, "ReadMeOk");
  w.ok->SetCaption("&Ok");
  w.ok->SetBounds({width / 2 - 34, height - 56, 68, 22});
  w.ok->ModalResult = kModalOk;
  w.self->SetDefaultButton(w.ok.get());
  w.self->SetCancelButton(w.ok.get());
  return w;
}

}  // namespace sorel
