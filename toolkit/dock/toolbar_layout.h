// The stored layout of a dockable tool window: where it stood and whether it showed.
#pragma once
#include <string>
#include <vector>

namespace sorel {

// One tool window's layout. Docks are stored by number, so that every value stays a number:
// 0 is floating, n the n-th dock of the form (TDockSite::AddDock).
struct ToolWindowLayout {
  static constexpr int kFloating = 0;

  bool Visible = true;
  int DockedTo = 1;
  int LastDock = 1;  // the dock it returns to when floated and docked again
  int DockRow = 0;
  int DockPos = 0;
  int FloatLeft = 0;
  int FloatTop = 0;
};

// A tool window's layout under the tool window's name.
struct NamedToolWindowLayout {
  std::string name;
  ToolWindowLayout layout;
};

// Every tool window of a form, in the order the form added them.
using DockLayout = std::vector<NamedToolWindowLayout>;

}  // namespace sorel
