// The stored layout of a dockable tool window: where it stood and whether it showed.
#pragma once
#include <string>

#include "platform/registry.h"

namespace sorel {

// One tool window's layout, kept in the subkey named after the tool window below a base key of
// HKEY_CURRENT_USER. Every value is decimal text (REG_SZ): "Rev", "Visible", "DockedTo",
// "LastDock", "DockRow", "DockPos", "FloatLeft", "FloatTop". Docks are stored by number, so that
// every value stays a number: 0 is floating, n the n-th dock of the form (TDockSite::AddDock).
struct ToolWindowLayout {
  static constexpr int kFloating = 0;
  static constexpr int kRevision = 3;  // written on save; loading accepts 2 and 3

  bool Visible = true;
  int DockedTo = 1;
  int LastDock = 1;  // the dock it returns to when floated and docked again
  int DockRow = 0;
  int DockPos = 0;
  int FloatLeft = 0;
  int FloatTop = 0;

  // Reads base\name. Applies nothing and returns false when the key does not open or "Rev" does not
  // read 2 or 3. Otherwise each value present as decimal text replaces the field; a missing or
  // unreadable text keeps it. A value of another registry type raises the registry's error.
  bool Load(Registry& registry, const std::string& base, const std::string& name);
  // Writes every value to base\name (created when missing), "Rev" = 3; skipped silently when the
  // key cannot be opened. The registry's write errors propagate.
  void Save(Registry& registry, const std::string& base, const std::string& name) const;
};

}  // namespace sorel
