// The preview window TfrmPrev: design, refresh, the bold/italic group, placement and printing.
#include "preview/fontsub_preview.h"

#include <algorithm>
#include <exception>

#include "preview/print_sheet.h"
#include "toolkit/dock/dock_geometry.h"

namespace sorel {

namespace {

constexpr int kToolButton = 23, kToolHeight = 22;

}  // namespace

TfrmPrev::TfrmPrev(Platform& platform, PreviewHost& host) : p_(platform), host_(host) {
  self_ = p_.ui.CreateForm("frmPrev", FormStyle::Sizeable);
  Form& f = *self_;
  f.SetTopmost(true);
  f.SetClientSize(kWidth, kHeight);
  f.OnShow = [this] { FormShow(); };
  f.OnHide = [this] { FormHide(); };

  // The toolbar stands in the top dock; the other docks take it when it is dragged there.
  Dock971 = p_.ui.CreatePanel(f, "Dock971");
  Dock972 = p_.ui.CreatePanel(f, "Dock972");
  Dock973 = p_.ui.CreatePanel(f, "Dock973");
  Dock974 = p_.ui.CreatePanel(f, "Dock974");
  Toolbar971 = p_.ui.CreatePanel(*Dock971, "Toolbar971");
  auto make = [&](const char* name, const char* glyph, const char* hint) {
    auto button = p_.ui.CreateButton(*Toolbar971, name);
    button->SetGlyph(glyph);
    button->SetHint(hint);
    return button;
  };
  btBold = make("btBold", "GLYPH_BOLD", "Półgruby");
  btBold->OnClick = [this] { btBoldClick(*btBold); };
  btItalic = make("btItalic", "GLYPH_ITALIC", "Kursywa");
  btItalic->OnClick = [this] { btBoldClick(*btItalic); };
  btPrintSetup = make("btPrintSetup", "GLYPH_PRINTSETUP", "Ustawienia drukarki");
  btPrintSetup->OnClick = [this] { btPrintSetupClick(); };
  btPrint = make("btPrint", "GLYPH_PRINT", "Drukowanie");
  btPrint->OnClick = [this] { btPrintClick(); };

  PageControl1 = p_.ui.CreateTabControl(f, "PageControl1");
  TabSheet1 = &PageControl1->AddSheet("TabSheet1", "Podgląd");
  TabSheet2 = &PageControl1->AddSheet("TabSheet2", "Informacje");
  ScrollBox1 = p_.ui.CreateScrollBox(*TabSheet1, "ScrollBox1");
  Docks = std::make_unique<TDockSite>(p_.ui, p_.app, f);
  Docks->AddDock(*Dock971, DockSide::Top);
  Docks->AddDock(*Dock972, DockSide::Bottom);
  Docks->AddDock(*Dock973, DockSide::Left);
  Docks->AddDock(*Dock974, DockSide::Right);
  ToolWindowOptions toolbar;
  toolbar.grip = true;
  toolbar.stretch = true;
  toolbar.arrange = [this](bool vertical, Point origin, bool place) { return ArrangeToolbar(vertical, origin, place); };
  Docks->AddToolWindow(*Toolbar971, "Toolbar971", 1, toolbar);
  Docks->OnLayoutChange = [this] { FitToWindow(); };
  f.OnResize = [this] { FitToWindow(); };  // once every control it lays out exists
  FitToWindow();
  FormCreate();
}

void TfrmPrev::FormCreate() {
  // Nothing is shown yet, so the first ShowFont always refreshes.
  currentFace_.clear();
  currentSample_.clear();
}

void TfrmPrev::ShowFont(const std::string& sample, const std::string& face, std::uint8_t charset) {
  if (face != currentFace_ || charset != currentCharset_ || sample != currentSample_)
    RefreshPreview(sample, face, charset);
}

void TfrmPrev::RefreshPreview(const std::string& sample, const std::string& face, std::uint8_t charset) {
  const int serial = ++refreshes_;
  currentFace_ = face;
  currentSample_ = sample;
  currentCharset_ = charset;
  const std::vector<std::string> words = StyleAvailability(p_.fonts, face, charset);
  btItalic->SetEnabled(HasStyleWord(words, "Italic"));
  btBold->SetEnabled(HasStyleWord(words, "Bold"));
  style_ = ActiveStyle{btBold->Enabled(), btItalic->Enabled(), boldDown_, italicDown_};
  p_.app.ProcessMessages();
  // A selection change handled just now refreshed for a newer request and built its sheet.
  if (serial != refreshes_) return;
  TPaintThread job(p_.ui, *ScrollBox1, sheet_, Content());
  job.Execute();
}

SheetContent TfrmPrev::Content() const {
  return SheetContent{currentSample_, currentFace_, currentCharset_,
                      HeadingText(host_.ScriptNames(), currentFace_, currentCharset_), style_};
}

// One group: pressing one releases the other, pressing the one that is down releases it.
void TfrmPrev::btBoldClick(Button& sender) {
  bool& pressed = &sender == btBold.get() ? boldDown_ : italicDown_;
  bool& other = &sender == btBold.get() ? italicDown_ : boldDown_;
  pressed = !pressed;
  if (pressed) other = false;
  btBold->SetDown(boldDown_);
  btItalic->SetDown(italicDown_);
  RefreshPreview(currentSample_, currentFace_, currentCharset_);
}

void TfrmPrev::btPrintSetupClick() { p_.printing.PrinterSetupDialog(); }

void TfrmPrev::btPrintClick() {
  if (!p_.printing.PrintDialog()) return;
  PrintSheet(p_.printing, Content());
}

void TfrmPrev::SetHints() {
  btBold->SetHint(host_.UiText("frmPreviewbtBoldHint"));
  btItalic->SetHint(host_.UiText("frmPreviewbtItalicHint"));
  btPrintSetup->SetHint(host_.UiText("frmPreviewbtPrintSetupHint"));
  btPrint->SetHint(host_.UiText("frmPreviewbtPrintHint"));
}

void TfrmPrev::SetHintsAndTabCaption() {
  SetHints();
  TabSheet1->SetCaption(host_.UiText("frmPreviewCaption"));
}

void TfrmPrev::ApplyTexts() {
  SetCaption(host_.UiText("frmPreviewCaption"));
  SetHints();
}

// The toolbar, floating, bears the window's title: it has no text of its own in the language file.
void TfrmPrev::SetCaption(const std::string& caption) {
  self_->SetCaption(caption);
  Docks->Find("Toolbar971")->SetCaption(caption);
}

void TfrmPrev::FormShow() {
  host_.PreviewShown(true);
  Docks->ShowFloating(true);
  SetHintsAndTabCaption();
  RestorePreviewPlacement();
  FitToWindow();
}

// The tabs and the sheet fill what the docks leave of the window at its restored size.
void TfrmPrev::FitToWindow() {
  const Rect middle = Docks->LayoutDocks(self_->ClientRect());
  PageControl1->SetBounds(middle);
  ScrollBox1->SetBounds({0, 0, std::max(0, middle.width - 8), std::max(0, middle.height - 28)});
}

// Bold and italic, a gap, then the two printing buttons; a margin of 2 pixels around them.
Point TfrmPrev::ArrangeToolbar(bool vertical, Point origin, bool place) {
  constexpr int kMargin = 2, kGap = 6;
  Button* const buttons[] = {btBold.get(), btItalic.get(), btPrintSetup.get(), btPrint.get()};
  int along = (vertical ? origin.y : origin.x) + kMargin;
  for (int i = 0; i < 4; ++i) {
    if (i == 2) along += kGap;
    if (place) {
      buttons[i]->SetBounds(vertical ? Rect{kMargin, along, kToolButton, kToolHeight}
                                     : Rect{along, kMargin, kToolButton, kToolHeight});
    }
    along += vertical ? kToolHeight : kToolButton;
  }
  along += kMargin;
  return vertical ? Point{kToolButton + 2 * kMargin, along} : Point{along, kToolHeight + 2 * kMargin};
}

void TfrmPrev::FormHide() {
  host_.PreviewShown(false);
  Docks->ShowFloating(false);
  SavePreviewPlacement();
}

// A value that cannot be read raises its error; what was applied before it stays.
void TfrmPrev::RestorePreviewPlacement() {
  Rect r = self_->Bounds();
  if (auto stored = host_.StoredPreviewPlacement()) {
    if (stored->width) r.width = *stored->width, self_->SetBounds(r);
    if (stored->height) r.height = *stored->height, self_->SetBounds(r);
    if (stored->left) r.left = *stored->left, self_->SetBounds(r);
    if (stored->top) r.top = *stored->top, self_->SetBounds(r);
    if (stored->error) std::rethrow_exception(stored->error);
  } else {
    // Flush against the owner's right edge, as high as the owner.
    const Rect host = host_.HostBounds();
    self_->SetBounds({host.left + host.width, host.top, kDefaultWidth, host.height});
  }
  // A place kept under another arrangement of monitors, or beside an owner at the screen's edge,
  // must not leave the window out of reach.
  self_->SetBounds(BringIntoView(self_->Bounds(), p_.app.WorkAreas()));
}

void TfrmPrev::SavePreviewPlacement() { host_.KeepPreviewPlacement(self_->Bounds()); }

}  // namespace sorel
