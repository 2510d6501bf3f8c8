// The main window's placement and the toolbox layout, kept under the program's registry key.
#include "app/fontsub.h"
#include "app/settings.h"

namespace sorel {

namespace {

constexpr const char* kToolboxName = "tbToolbox";
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
      // "P" shows or hides the preview window, which follows with the preview.
    } else {
      Rect r = f.Bounds();
      // Integer division truncates toward zero; a screen narrower than both windows gives a
      // negative left edge, which stands as it is.
      r.left = (p_.app.ScreenWidth() - (r.width + kPreviewWidth)) / 2;
      r.top = (p_.app.ScreenHeight() - r.height) / 2;
      f.SetBounds(r);
      // Showing the preview window here follows with the preview.
    }
    SetPreviewCaption(UiText("frmPreviewCaption"));
  }
  if (ToolboxLayout.Load(p_.registry, ToolbarLayoutBase, kToolboxName)) tbToolbox->SetVisible(ToolboxLayout.Visible);
}

void TForm1::SaveMainPlacement() {
  {
    auto key = p_.registry.Open(RegRoot::CurrentUser, MainWndKey, true);
    if (key) {
      const Rect r = self_->Bounds();
      key->WriteInteger("L", r.left);
      key->WriteInteger("T", r.top);
      key->WriteInteger("P", 0);  // no preview window yet, so it is never visible
    }
  }
  // Written back as loaded: nothing in this version moves or hides the toolbox, and its panel
  // reports itself hidden whenever the other tab is shown.
  ToolboxLayout.Save(p_.registry, ToolbarLayoutBase, kToolboxName);
}

}  // namespace sorel
