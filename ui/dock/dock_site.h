// Dockable tool bars: the docks along a form's edges, the bars in them, and the floating tool
// windows a bar goes into when the user drags it out of its dock.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "toolkit/dock/dock_geometry.h"
#include "toolkit/dock/toolbar_layout.h"

namespace sorel {

class TDockSite;

// How a bar looks and behaves.
struct ToolWindowOptions {
  std::string caption;         // the floating window's title
  bool grip = false;           // docked, a drag handle at its start (floating, the caption is one)
  bool stretch = false;        // docked, it reaches to the end of its dock
  bool floatOnTop = false;     // floating, it stays above every window, stay-on-top ones included
  bool floatVertical = false;  // floating, arranged as in a left or right dock
  // The size the bar needs in an orientation with its controls from origin on (after the drag
  // handle), origin included; with place, the controls are put there too.
  std::function<Point(bool vertical, Point origin, bool place)> arrange;
};

// One bar: docked in one of its form's docks, or floating in a tool window of its own.
class TToolWindow {
 public:
  TToolWindow(TDockSite& site, Panel& bar, std::string name, ToolWindowOptions options);
  ~TToolWindow();
  TToolWindow(const TToolWindow&) = delete;
  TToolWindow& operator=(const TToolWindow&) = delete;

  const std::string& Name() const { return name_; }
  Panel& Bar() { return bar_; }
  // The dock's number (TDockSite::AddDock), ToolWindowLayout::kFloating while floating.
  int DockedTo() const { return dock_; }
  int LastDock() const { return lastDock_; }
  int DockRow() const { return row_; }
  int DockPos() const { return pos_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void SetCaption(const std::string& caption);
  // The floating window (it exists from the start, hidden while the bar is docked).
  Form& FloatingWindow() { return *float_; }

  // Into a dock (1 to the number of docks; another number does nothing) at a row and a position
  // along it; the arrangement of the dock may move it to make room.
  void DockTo(int dock, int row, int pos);
  // Floating, its window's top left corner at a screen point, brought into view.
  void FloatAt(Point topLeft);

  ToolWindowLayout Layout() const;
  // Takes a loaded layout: visibility, and floating or a valid dock with its row and position.
  void ApplyLayout(const ToolWindowLayout& layout);

  // The mouse on the bar or on the floating window's caption.
  void Drag(DragAction action, Point screen);

 private:
  friend class TDockSite;
  bool Vertical() const;
  Point NaturalSize(bool vertical, bool grip, bool place) const;
  void ShowFloatingWindow();
  Rect TargetFrame(const DropTarget& target, Point pointer);
  void Drop(const DropTarget& target, Point pointer);

  TDockSite& site_;
  Panel& bar_;
  std::string name_;
  ToolWindowOptions options_;
  std::unique_ptr<Form> float_;
  int dock_ = 1, lastDock_ = 1, row_ = 0, pos_ = 0;
  Point floatAt_;  // the floating window's top left corner (the last one it had, while docked)
  bool visible_ = true;
  bool dragging_ = false, moved_ = false;
  Point pressedAt_, grab_;
};

// The docks of one form and the bars that move between them.
class TDockSite {
 public:
  TDockSite(Ui& ui, Application& app, Form& form);
  ~TDockSite();

  // Docks are numbered from 1 in the order they are added; a layout stores the number. An empty
  // dock is minThickness thick.
  void AddDock(Panel& dock, DockSide side, int minThickness = 0);
  int DockCount() const { return static_cast<int>(docks_.size()); }
  Panel& Dock(int number) { return *docks_.at(static_cast<std::size_t>(number - 1)).panel; }
  // A bar standing on a dock's panel at first, in the dock of that number.
  TToolWindow& AddToolWindow(Panel& bar, const std::string& name, int dock, ToolWindowOptions options);
  TToolWindow* Find(const std::string& name);

  // Places the docks along the edges of area (in their parent's coordinates): top and bottom
  // across its width, left and right between them, each as thick as its rows; then the bars in
  // them. Returns what the docks leave of area.
  Rect LayoutDocks(const Rect& area);
  // Runs whenever a bar has moved or shown, so that the form lays out its docks and the rest again
  // (LayoutDocks, with the area of its choice).
  std::function<void()> OnLayoutChange;
  // The floating windows are shown while their form is; the form says when.
  void ShowFloating(bool shown);

  // Every bar's layout, in the order the bars were added.
  DockLayout Layout() const;
  // Gives each bar named in layout its layout (TToolWindow::ApplyLayout); other bars stay.
  void ApplyLayout(const DockLayout& layout);

 private:
  friend class TToolWindow;
  struct DockInfo {
    Panel* panel;
    DockSide side;
    int minThickness;
    std::vector<int> rows;  // as last arranged
  };
  void Changed();
  std::vector<DockZone> Zones();

  Ui& ui_;
  Application& app_;
  Form& form_;
  std::vector<DockInfo> docks_;
  std::vector<std::unique_ptr<TToolWindow>> bars_;
  bool shown_ = false;
};

}  // namespace sorel
