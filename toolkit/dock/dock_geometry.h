// Where bars stand in a dock, where a dragged bar lands, and where a floating one may stand: plain
// geometry, without windows.
#pragma once
#include <vector>

#include "platform/geometry.h"

namespace sorel {

// The edge of the form a dock lies along. Rows of a dock stack from its top (horizontal docks) or
// its left (vertical docks).
enum class DockSide { Top, Bottom, Left, Right };
inline bool IsVertical(DockSide side) { return side == DockSide::Left || side == DockSide::Right; }

// A bar in a dock: its row, its position along the row, and its size along the dock (length) and
// across it (thickness). A stretched bar that ends its row reaches to the end of the dock.
struct DockedBar {
  int row = 0;
  int pos = 0;
  int length = 0;
  int thickness = 0;
  bool stretch = false;
  bool operator==(const DockedBar&) const = default;
};

// The bars of one dock as they stand: rows renumbered from 0 without gaps (in the order of their
// numbers), each row's bars in the order of their positions, none overlapping the one before it,
// none starting before the dock, each kept inside the dock when it fits; each bar's rectangle in
// the dock's client coordinates (same order as given); each row's thickness (its thickest bar); and
// the dock's thickness, at least minThickness.
struct DockArrangement {
  std::vector<DockedBar> bars;
  std::vector<Rect> rects;
  std::vector<int> rows;
  int thickness = 0;
};
DockArrangement ArrangeDock(DockSide side, int dockLength, const std::vector<DockedBar>& bars, int minThickness);

// A dock as a dragged bar sees it: where it is on the screen, and its rows' thicknesses.
struct DockZone {
  DockSide side = DockSide::Top;
  Rect screen;
  std::vector<int> rows;
};

// Where a bar dropped at a point lands: a dock (its index in the list given) and a row in it, or
// nowhere (dock -1: the bar floats). A new row goes in before the row numbered row.
struct DropTarget {
  int dock = -1;
  int row = 0;
  bool newRow = false;
  int pos = 0;
  bool operator==(const DropTarget&) const = default;
};

// How far from a dock, across it, a dragged bar still lands in it; an empty dock, zero pixels thick,
// takes a bar dropped this close to its edge.
constexpr int kDockSnap = 12;

// The dock under the pointer, or the nearest within kDockSnap across it (the first of equals).
// Along the dock, the bar starts where the point it was taken by (grab, from its top left corner)
// puts it, but not before the dock; a bar that turns (a horizontal one into a vertical dock) is
// taken near its start. Across it, a point on a row joins that row, a point before the first row or
// after the last opens a new row there.
DropTarget FindDropTarget(const std::vector<DockZone>& docks, Point pointer, Point grab, bool barVertical);

// A window placed where it was last (a floating tool window, the main window, the preview) stays
// where it is while enough of its caption strip lies on a work area for the mouse to take it;
// otherwise it moves, keeping its size, into the work area nearest to it (as far as it fits, its top
// left corner first).
Rect BringIntoView(const Rect& window, const std::vector<Rect>& workAreas);

}  // namespace sorel
