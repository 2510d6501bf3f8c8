// The main window's placement and the toolbox layout, kept under the program's registry key.
#include "app/fontsub.h"
#include "app/settings.h"
#include "toolkit/dock/dock_geometry.h"

namespace sorel {

namespace {

// The preview window's default width: the main window and a strip this wide are centred together.
constexpr int kPreviewWidth = 232;

}  // namespace

// A value of the wrong type raises the registry's error; what was applied before it stays.
void TForm1::RestoreMainPlacement() {
  Form& f = *self_;
  {
    auto key = p_.registry.Open(RegRoot::CurrentUser, MainWndKey, false);
    if (key) {
      if (key->ValueExists("L")) {
        Rect r = f.Bounds();
        r.left = key->ReadInteger("L");
        f.SetBounds(r);
      }
      if (key->ValueExists("T")) {
        Rect r = f.Bounds();
        r.top = key->ReadInteger("T");
        f.SetBounds(r);
      }
      // A place kept under another arrangement of monitors must not leave the window out of reach.
      f.SetBounds(BringIntoView(f.Bounds(), p_.app.WorkAreas()));
      if (key->ValueExists("P")) frmPrev_->Self().SetVisible(key->ReadInteger("P") != 0);
    } else {
      Rect r = f.Bounds();
      // Integer division truncates toward zero; a screen narrower than both windows gives a
      // negative left edge, which stands as it is.
      r.left = (p_.app.ScreenWidth() - (r.width + kPreviewWidth)) / 2;
      r.top = (p_.app.ScreenHeight() - r.height) / 2;
      f.SetBounds(r);
      frmPrev_->Self().SetVisible(true);  // the very first start shows it beside the window
    }
    SetPreviewCaption(UiText("frmPreviewCaption"));
  }
  Docks->LoadLayout(p_.registry, ToolbarLayoutBase);
  Docks->ShowFloating(true);
}

void TForm1::SaveMainPlacement() {
  {
    auto key = p_.registry.Open(RegRoot::CurrentUser, MainWndKey, true);
    if (key) {
      const Rect r = self_->Bounds();
      key->WriteInteger("L", r.left);
      key->WriteInteger("T", r.top);
      key->WriteInteger("P", frmPrev_->Self().Visible() ? 1 : 0);
    }
  }
  // The program ends without hiding the preview: its place is kept here, or it would be lost.
  if (frmPrev_->Self().Visible()) frmPrev_->SavePreviewPlacement();
  Docks->SaveLayout(p_.registry, ToolbarLayoutBase);
}

}  // namespace sorel
