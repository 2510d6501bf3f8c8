// The docks of a form and the bars that the user drags between them and floating windows.
#include "ui/dock/dock_site.h"

#include <algorithm>
#include <cstdlib>

namespace sorel {

namespace {

// A press that moves less than this is a click, not a drag.
constexpr int kDragThreshold = 3;
// A floating window is held at least this far inside its edges.
constexpr int kHoldInside = 8;

}  // namespace

TToolWindow::TToolWindow(TDockSite& site, Panel& bar, std::string name, ToolWindowOptions options)
    : site_(site), bar_(bar), name_(std::move(name)), options_(std::move(options)) {
  float_ = site_.ui_.CreateForm(name_ + "Float", FormStyle::ToolWindow);
  float_->SetOwner(&site_.form_);
  float_->SetCaption(options_.caption);
  float_->SetTopmost(options_.floatOnTop);
  auto drag = [this](DragAction action, Point screen) { Drag(action, screen); };
  bar_.OnDrag = drag;
  float_->OnDrag = drag;
}

TToolWindow::~TToolWindow() {
  bar_.OnDrag = nullptr;
  // The bar belongs to its form; it must not go with the floating window.
  if (dock_ == ToolWindowLayout::kFloating) bar_.SetParent(site_.Dock(lastDock_));
}

bool TToolWindow::Vertical() const {
  if (dock_ == ToolWindowLayout::kFloating) return options_.floatVertical;
  return IsVertical(site_.docks_[static_cast<std::size_t>(dock_ - 1)].side);
}

Point TToolWindow::NaturalSize(bool vertical, bool grip, bool place) const {
  const Point origin = grip ? (vertical ? Point{0, kGripSize} : Point{kGripSize, 0}) : Point{};
  if (options_.arrange) return options_.arrange(vertical, origin, place);
  const Rect r = bar_.Bounds();
  return {r.width, r.height};
}

void TToolWindow::SetVisible(bool visible) {
  visible_ = visible;
  if (dock_ == ToolWindowLayout::kFloating) ShowFloatingWindow();
  bar_.SetVisible(visible);
  site_.Changed();
}

void TToolWindow::SetCaption(const std::string& caption) {
  options_.caption = caption;
  float_->SetCaption(caption);
}

void TToolWindow::DockTo(int dock, int row, int pos) {
  if (dock < 1 || dock > site_.DockCount()) return;
  const bool wasFloating = dock_ == ToolWindowLayout::kFloating;
  if (wasFloating || dock != dock_) bar_.SetParent(site_.Dock(dock));
  dock_ = lastDock_ = dock;
  row_ = row;
  pos_ = pos;
  bar_.SetVisible(visible_);
  if (wasFloating) float_->SetVisible(false);
  site_.Changed();
}

void TToolWindow::FloatAt(Point topLeft) {
  const bool wasDocked = dock_ != ToolWindowLayout::kFloating;
  dock_ = ToolWindowLayout::kFloating;
  bar_.SetGrip(Grip::None);
  const Point size = NaturalSize(options_.floatVertical, false, true);
  if (wasDocked) bar_.SetParent(*float_);
  bar_.SetBounds({0, 0, size.x, size.y});
  bar_.SetVisible(visible_);
  float_->SetClientSize(size.x, size.y);
  Rect r = float_->Bounds();
  r.left = topLeft.x;
  r.top = topLeft.y;
  r = BringIntoView(r, site_.app_.WorkAreas());
  float_->SetBounds(r);
  floatAt_ = {r.left, r.top};
  ShowFloatingWindow();
  if (wasDocked) site_.Changed();
}

void TToolWindow::ShowFloatingWindow() {
  float_->SetVisible(visible_ && site_.shown_ && dock_ == ToolWindowLayout::kFloating);
  // Shown again, a stay-on-top window must be put on top again.
  if (float_->Visible()) float_->SetTopmost(options_.floatOnTop);
}

ToolWindowLayout TToolWindow::Layout() const {
  ToolWindowLayout l;
  l.Visible = visible_;
  l.DockedTo = dock_;
  l.LastDock = lastDock_;
  l.DockRow = row_;
  l.DockPos = pos_;
  l.FloatLeft = floatAt_.x;
  l.FloatTop = floatAt_.y;
  return l;
}

void TToolWindow::ApplyLayout(const ToolWindowLayout& layout) {
  const auto valid = [&](int dock) { return dock >= 1 && dock <= site_.DockCount(); };
  visible_ = layout.Visible;
  floatAt_ = {layout.FloatLeft, layout.FloatTop};
  if (layout.DockedTo == ToolWindowLayout::kFloating) {
    if (valid(layout.LastDock)) lastDock_ = layout.LastDock;
    row_ = layout.DockRow;
    pos_ = layout.DockPos;
    FloatAt(floatAt_);
    return;
  }
  // A dock this form does not have keeps the bar where it is.
  DockTo(valid(layout.DockedTo) ? layout.DockedTo : dock_, layout.DockRow, layout.DockPos);
  if (valid(layout.LastDock)) lastDock_ = layout.LastDock;
}

void TToolWindow::Drag(DragAction action, Point screen) {
  switch (action) {
    case DragAction::Press: {
      const Rect from = dock_ == ToolWindowLayout::kFloating ? float_->ScreenRect() : bar_.ScreenRect();
      dragging_ = true;
      moved_ = false;
      pressedAt_ = screen;
      grab_ = {screen.x - from.left, screen.y - from.top};
      return;
    }
    case DragAction::Move:
      if (!dragging_) return;
      if (!moved_ && std::abs(screen.x - pressedAt_.x) < kDragThreshold && std::abs(screen.y - pressedAt_.y) < kDragThreshold)
        return;
      moved_ = true;
      site_.ui_.ShowDragFrame(TargetFrame(FindDropTarget(site_.Zones(), screen, grab_, Vertical()), screen));
      return;
    case DragAction::Release: {
      const bool drop = dragging_ && moved_;
      dragging_ = false;
      site_.ui_.HideDragFrame();
      if (drop) Drop(FindDropTarget(site_.Zones(), screen, grab_, Vertical()), screen);
      return;
    }
    case DragAction::Cancel:
      dragging_ = false;
      site_.ui_.HideDragFrame();
      return;
    case DragAction::DoubleClick:
      // Back where it was last: into its dock, or out to its floating place.
      dragging_ = false;
      if (dock_ == ToolWindowLayout::kFloating) {
        DockTo(lastDock_, row_, pos_);
      } else {
        if (floatAt_ == Point{}) {
          const Rect r = bar_.ScreenRect();
          floatAt_ = {r.left + 16, r.top + 16};
        }
        FloatAt(floatAt_);
      }
      return;
  }
}

// The outline the bar would take: in the dock, or its floating window under the pointer.
Rect TToolWindow::TargetFrame(const DropTarget& target, Point pointer) {
  if (target.dock < 0) {
    // The window's size as it will float, frame included.
    const Point size = NaturalSize(options_.floatVertical, false, false);
    float_->SetClientSize(size.x, size.y);
    const Rect outer = float_->Bounds();
    const int gx = std::clamp(grab_.x, 0, std::max(0, outer.width - kHoldInside));
    const int gy = std::clamp(grab_.y, 0, std::max(0, outer.height - kHoldInside));
    return {pointer.x - gx, pointer.y - gy, outer.width, outer.height};
  }
  const auto& dock = site_.docks_[static_cast<std::size_t>(target.dock)];
  const bool vertical = IsVertical(dock.side);
  const Point size = NaturalSize(vertical, options_.grip, false);
  const Rect d = dock.panel->ScreenRect();
  int across = 0;
  for (int i = 0; i < target.row && i < static_cast<int>(dock.rows.size()); ++i) across += dock.rows[static_cast<std::size_t>(i)];
  const int dockLength = vertical ? d.height : d.width;
  int length = vertical ? size.y : size.x;
  const int pos = std::min(target.pos, std::max(0, dockLength - length));
  if (options_.stretch) length = std::max(length, dockLength - pos);
  return vertical ? Rect{d.left + across, d.top + pos, size.x, length} : Rect{d.left + pos, d.top + across, length, size.y};
}

void TToolWindow::Drop(const DropTarget& target, Point pointer) {
  if (target.dock < 0) {
    const Rect frame = TargetFrame(target, pointer);
    FloatAt({frame.left, frame.top});
    return;
  }
  const int number = target.dock + 1;
  // A new row pushes the rows from there on outwards.
  if (target.newRow) {
    for (auto& other : site_.bars_) {
      if (other.get() != this && other->dock_ == number && other->row_ >= target.row) ++other->row_;
    }
  }
  DockTo(number, target.row, target.pos);
}

TDockSite::TDockSite(Ui& ui, Application& app, Form& form) : ui_(ui), app_(app), form_(form) {}

TDockSite::~TDockSite() = default;

void TDockSite::AddDock(Panel& dock, DockSide side, int minThickness) {
  docks_.push_back(DockInfo{&dock, side, minThickness, {}});
}

TToolWindow& TDockSite::AddToolWindow(Panel& bar, const std::string& name, int dock, ToolWindowOptions options) {
  bars_.push_back(std::make_unique<TToolWindow>(*this, bar, name, std::move(options)));
  TToolWindow& w = *bars_.back();
  w.dock_ = w.lastDock_ = dock;
  return w;
}

TToolWindow* TDockSite::Find(const std::string& name) {
  for (auto& bar : bars_) {
    if (bar->Name() == name) return bar.get();
  }
  return nullptr;
}

void TDockSite::Changed() {
  if (OnLayoutChange) OnLayoutChange();
}

Rect TDockSite::LayoutDocks(const Rect& area) {
  // Each dock's bars, arranged for a length along it.
  auto arrange = [&](std::size_t index, int length) {
    DockInfo& dock = docks_[index];
    const bool vertical = IsVertical(dock.side);
    std::vector<TToolWindow*> members;
    std::vector<DockedBar> bars;
    for (auto& w : bars_) {
      if (w->dock_ != static_cast<int>(index) + 1 || !w->visible_) continue;
      const Point size = w->NaturalSize(vertical, w->options_.grip, true);
      members.push_back(w.get());
      bars.push_back(DockedBar{w->row_, w->pos_, vertical ? size.y : size.x, vertical ? size.x : size.y, w->options_.stretch});
    }
    DockArrangement a = ArrangeDock(dock.side, length, bars, dock.minThickness);
    dock.rows = a.rows;
    for (std::size_t i = 0; i < members.size(); ++i) {
      TToolWindow& w = *members[i];
      w.row_ = a.bars[i].row;
      w.pos_ = a.bars[i].pos;
      w.bar_.SetGrip(w.options_.grip ? (vertical ? Grip::Top : Grip::Left) : Grip::None);
      w.bar_.SetBounds(a.rects[i]);
    }
    return a.thickness;
  };
  auto thickness = [&](DockSide side, int length) {
    int t = 0;
    for (std::size_t i = 0; i < docks_.size(); ++i) {
      if (docks_[i].side == side) t = std::max(t, arrange(i, length));
    }
    return t;
  };
  const int top = thickness(DockSide::Top, area.width), bottom = thickness(DockSide::Bottom, area.width);
  const int middle = std::max(0, area.height - top - bottom);
  const int left = thickness(DockSide::Left, middle), right = thickness(DockSide::Right, middle);
  for (DockInfo& dock : docks_) {
    switch (dock.side) {
      case DockSide::Top: dock.panel->SetBounds({area.left, area.top, area.width, top}); break;
      case DockSide::Bottom: dock.panel->SetBounds({area.left, area.top + area.height - bottom, area.width, bottom}); break;
      case DockSide::Left: dock.panel->SetBounds({area.left, area.top + top, left, middle}); break;
      case DockSide::Right: dock.panel->SetBounds({area.left + area.width - right, area.top + top, right, middle}); break;
    }
  }
  return {area.left + left, area.top + top, std::max(0, area.width - left - right), middle};
}

std::vector<DockZone> TDockSite::Zones() {
  std::vector<DockZone> zones;
  for (DockInfo& dock : docks_) zones.push_back(DockZone{dock.side, dock.panel->ScreenRect(), dock.rows});
  return zones;
}

void TDockSite::ShowFloating(bool shown) {
  shown_ = shown;
  for (auto& w : bars_) w->ShowFloatingWindow();
}

DockLayout TDockSite::Layout() const {
  DockLayout layout;
  for (const auto& w : bars_) layout.push_back({w->Name(), w->Layout()});
  return layout;
}

void TDockSite::ApplyLayout(const DockLayout& layout) {
  for (const NamedToolWindowLayout& bar : layout)
    if (TToolWindow* w = Find(bar.name)) w->ApplyLayout(bar.layout);
}

}  // namespace sorel
