// The preview window TfrmPrev: the sample sheet of the font the main window shows, in a bold or
// italic variant, with printing; it stays on top, and its close box only hides it.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/sorted_text_list.h"
#include "ui/services.h"
#include "preview/sample_sheet.h"
#include "toolkit/dock/stored_placement.h"
#include "ui/dock/dock_site.h"

namespace sorel {

// What the preview window asks of the window that owns it.
class PreviewHost {
 public:
  virtual ~PreviewHost() = default;
  // The script names of all faces, for the sheet's heading.
  virtual const SortedTextList& ScriptNames() const = 0;
  // The owner's bounds, for the first placement beside it.
  virtual Rect HostBounds() = 0;
  // The current language's text for key.
  virtual std::string UiText(const std::string& key) const = 0;
  // The preview was shown (true) or hidden (false); the owner's toggle button follows.
  virtual void PreviewShown(bool shown) = 0;
  // The preview's place kept from an earlier run; nothing when none is kept.
  virtual std::optional<StoredPlacement> StoredPreviewPlacement() = 0;
  // Keeps the preview's place for the next run.
  virtual void KeepPreviewPlacement(const Rect& bounds) = 0;
};

class TfrmPrev {
 public:
  static constexpr int kWidth = 408, kHeight = 219;
  // The default width when no placement is stored.
  static constexpr int kDefaultWidth = 232;

  TfrmPrev(Platform& platform, PreviewHost& host);
  TfrmPrev(const TfrmPrev&) = delete;
  TfrmPrev& operator=(const TfrmPrev&) = delete;

  Form& Self() { return *self_; }
  // Refreshes when the face or character set differs from what is shown, or else the sample.
  void ShowFont(const std::string& sample, const std::string& face, std::uint8_t charset);
  // The full refresh: style buttons, active style, pending events, the sheet.
  void RefreshPreview(const std::string& sample, const std::string& face, std::uint8_t charset);
  // Sets the caption and the buttons' hints from the language.
  void ApplyTexts();
  void SetCaption(const std::string& caption);
  // The buttons' hints and the first tab's caption from the language: at every show, and at once
  // when the user picks another language.
  void SetHintsAndTabCaption();
  void RestorePreviewPlacement();
  void SavePreviewPlacement();

  // What the window shows, for reading.
  const std::string& CurrentFace() const { return currentFace_; }
  const std::string& CurrentSample() const { return currentSample_; }
  std::uint8_t CurrentCharset() const { return currentCharset_; }
  const ActiveStyle& Style() const { return style_; }
  int Refreshes() const { return refreshes_; }

 private:
  void FormCreate();
  void FormShow();
  // The buttons' hints from the language.
  void SetHints();
  void FormHide();
  void FitToWindow();
  // The toolbar's buttons in a row or a column from origin: the size they need, and with place,
  // put there.
  Point ArrangeToolbar(bool vertical, Point origin, bool place);
  void btBoldClick(Button& sender);
  void btPrintSetupClick();
  void btPrintClick();
  SheetContent Content() const;

  Platform& p_;
  PreviewHost& host_;
  std::string currentFace_, currentSample_;
  std::uint8_t currentCharset_ = 0;
  ActiveStyle style_;
  bool boldDown_ = false, italicDown_ = false;  // the button group's state
  int refreshes_ = 0;                            // every refresh, nested ones included

  std::unique_ptr<Form> self_;
  std::unique_ptr<Panel> Dock971, Dock972, Dock973, Dock974, Toolbar971;
  std::unique_ptr<Button> btBold, btItalic, btPrintSetup, btPrint;
  std::unique_ptr<TabControl> PageControl1;
  TabSheet* TabSheet1 = nullptr;
  TabSheet* TabSheet2 = nullptr;
  std::unique_ptr<ScrollBox> ScrollBox1;
  SheetLabels sheet_;  // after the box: the labels go before the box they stand in
  // After the toolbar it moves: it goes first and leaves the toolbar in a dock.
  std::unique_ptr<TDockSite> Docks;
};

}  // namespace sorel
