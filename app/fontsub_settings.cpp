// The main window's placement and the toolbox layout, kept in the program's settings.
#include <exception>

#include "app/fontsub.h"
#include "toolkit/dock/dock_geometry.h"

namespace sorel {

// A value that cannot be read raises its error; what was applied before it stays.
void TForm1::RestoreMainPlacement() {
  Form& f = *self_;
  if (auto stored = settings_.MainPlacement()) {
    if (stored->left) {
      Rect r = f.Bounds();
      r.left = *stored->left;
      f.SetBounds(r);
    }
    if (stored->top) {
      Rect r = f.Bounds();
      r.top = *stored->top;
      f.SetBounds(r);
    }
    if (stored->error) std::rethrow_exception(stored->error);
    // A place kept under another arrangement of monitors must not leave the window out of reach.
    f.SetBounds(BringIntoView(f.Bounds(), p_.app.WorkAreas()));
    if (auto shown = settings_.PreviewShown()) frmPrev_->Self().SetVisible(*shown);
  } else {
    Rect r = f.Bounds();
    // The window and a strip as wide as the preview's default are centred together. Integer
    // division truncates toward zero; a screen narrower than both windows gives a negative left
    // edge, which stands as it is.
    r.left = (p_.app.ScreenWidth() - (r.width + TfrmPrev::kDefaultWidth)) / 2;
    r.top = (p_.app.ScreenHeight() - r.height) / 2;
    f.SetBounds(r);
    frmPrev_->Self().SetVisible(true);  // the very first start shows it beside the window
  }
  SetPreviewCaption(UiText("frmPreviewCaption"));
  Docks->ApplyLayout(settings_.ToolWindowLayouts(Docks->Layout()));
  Docks->ShowFloating(true);
}

void TForm1::SaveMainPlacement() {
  const Rect r = self_->Bounds();
  settings_.SaveMainPlacement({r.left, r.top}, frmPrev_->Self().Visible());
  // The program ends without hiding the preview: its place is kept here, or it would be lost.
  if (frmPrev_->Self().Visible()) frmPrev_->SavePreviewPlacement();
  settings_.SaveToolWindowLayouts(Docks->Layout());
}

}  // namespace sorel
