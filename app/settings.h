// The program's own settings, kept in the registry under HKEY_CURRENT_USER: every key and value
// name the program keeps is here and nowhere else.
#pragma once
#include <optional>
#include <string>

#include "platform/geometry.h"
#include "platform/registry.h"
#include "toolkit/dock/stored_placement.h"
#include "toolkit/dock/toolbar_layout.h"

namespace sorel {

// Each accessor opens its key for the call, so that a key deleted or denied meanwhile is met as
// the system reports it. Errors other than those named below are the registry's and propagate.
class Settings {
 public:
  // The program key, spelt with its trailing backslash as the program has always used it.
  static constexpr const char* kProgramKey = "Software\\Velmora\\SorelAssistant\\";

  explicit Settings(Registry& registry) : registry_(registry) {}

  // Opens the program key, creating it: false when it cannot be opened, and nothing can be kept.
  bool Available();

  // "AppPath": the executable's full path. Nothing when missing or of another type than text.
  std::optional<std::string> AppPath();
  // Keeps "AppPath" equal to exePath (exact comparison: letter case counts); writes only when it
  // is missing, of another type than text, or differs.
  void KeepAppPath(const std::string& exePath);

  // "Language": the chosen section of the language file. Nothing when missing, of another type
  // than text, or when the key does not open: a value that cannot be read is asked for again, and
  // the next write repairs it.
  std::optional<std::string> Language();
  // Throws the registry's error when the write fails; skipped when the key does not open.
  void SetLanguage(const std::string& section);

  // "SampleSet1": the caption of the chosen sample set, "" when missing or when the key does not
  // open. A value of another type raises the registry's error.
  std::string SampleSet();
  // False, and nothing written, when the key does not open.
  bool SetSampleSet(const std::string& caption);

  // The main window's place ("MainWnd": "L" and "T", REG_DWORD); nothing when the key is missing.
  std::optional<StoredPlacement> MainPlacement();
  // Whether the preview window showed with the main window ("MainWnd": "P"); nothing when it is
  // missing or the key is. A value of another type raises the registry's error.
  std::optional<bool> PreviewShown();
  // Writes "L", "T" and "P"; skipped when the key cannot be opened.
  void SaveMainPlacement(Point topLeft, bool previewShown);

  // The preview window's place ("PrevWnd": "W", "H", "L", "T", REG_DWORD), in that order; nothing
  // when the key is missing.
  std::optional<StoredPlacement> PreviewPlacement();
  // Skipped when the key cannot be opened.
  void SavePreviewPlacement(const Rect& bounds);

  // Each tool window's layout in the subkey named after it. Every value is decimal text (REG_SZ):
  // "Rev", "Visible", "DockedTo", "LastDock", "DockRow", "DockPos", "FloatLeft", "FloatTop".
  // Returns the tool windows of current whose key opens and whose "Rev" reads 2 or 3, each value
  // present as decimal text replacing current's; a missing or unreadable text keeps it. A value of
  // another registry type raises the registry's error.
  DockLayout ToolWindowLayouts(const DockLayout& current);
  // Writes every value, "Rev" = 3; a tool window whose key cannot be opened is skipped.
  void SaveToolWindowLayouts(const DockLayout& layout);

 private:
  Registry& registry_;
};

}  // namespace sorel
