// The splash window shown for four seconds at start.
#include "app/Splash_Form.h"

namespace sorel {

TfrmSplash::TfrmSplash(Ui& ui) {
  self_ = ui.CreateForm("frmSplash", FormStyle::Borderless);
  self_->SetClientSize(kWidth, kHeight);
  self_->SetTopmost(true);
  self_->CenterOnScreen();
  picture_ = ui.CreateImage(*self_, "SplashImage");
  picture_->SetBounds({0, 0, kWidth, kHeight});
  picture_->ShowBitmap("SPLASH");
}

void ShowSplash(Platform& platform) {
  TfrmSplash splash(platform.ui);
  splash.Self().AddExStyle(TfrmSplash::kToolWindowExStyle);
  splash.Self().ShowAndPaint();
  platform.system.Sleep(TfrmSplash::kShowMilliseconds);
}

}  // namespace sorel
