// The splash window shown for four seconds at start.
#include "app/Splash_Form.h"

namespace sorel {

TfrmSplash::TfrmSplash(Ui& ui) {
  // No frame and no taskbar button: the splash is not a window the user works with.
  self_ = ui.CreateForm("frmSplash", FormStyle::Splash);
  self_->SetClientSize(kWidth, kHeight);
  self_->SetTopmost(true);
  self_->CenterOnScreen();
  picture_ = ui.CreateImage(*self_, "SplashImage");
  picture_->SetBounds({0, 0, kWidth, kHeight});
  picture_->ShowBitmap("SPLASH");
}

void ShowSplash(Platform& platform) {
  TfrmSplash splash(platform.ui);
  splash.Self().ShowAndPaint();
  platform.system.Sleep(TfrmSplash::kShowMilliseconds);
}

}  // namespace sorel
