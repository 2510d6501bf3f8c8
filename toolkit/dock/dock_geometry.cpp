// Dock geometry: rows and positions, drop targets, floating windows kept within reach.
#include "toolkit/dock/dock_geometry.h"

#include <algorithm>
#include <climits>
#include <map>
#include <numeric>

namespace sorel {

DockArrangement ArrangeDock(DockSide side, int dockLength, const std::vector<DockedBar>& bars, int minThickness) {
  DockArrangement out;
  out.bars = bars;
  out.rects.resize(bars.size());
  // Row numbers as stored may have gaps (a row emptied by a drag); they keep their order.
  std::map<int, std::vector<std::size_t>> rows;
  for (std::size_t i = 0; i < bars.size(); ++i) rows[bars[i].row].push_back(i);
  int across = 0, rowNumber = 0;
  for (auto& [number, members] : rows) {
    std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) { return bars[a].pos < bars[b].pos; });
    int along = 0, thickness = 0;
    for (std::size_t k = 0; k < members.size(); ++k) {
      DockedBar& bar = out.bars[members[k]];
      bar.row = rowNumber;
      // After the bar before it; pulled back from the end as far as that allows.
      bar.pos = std::clamp(bar.pos, along, std::max(along, dockLength - bar.length));
      if (bar.stretch && k + 1 == members.size()) bar.length = std::max(bar.length, dockLength - bar.pos);
      along = bar.pos + bar.length;
      thickness = std::max(thickness, bar.thickness);
    }
    for (std::size_t i : members) {
      const DockedBar& bar = out.bars[i];
      out.rects[i] = IsVertical(side) ? Rect{across, bar.pos, bar.thickness, bar.length}
                                      : Rect{bar.pos, across, bar.length, bar.thickness};
    }
    out.rows.push_back(thickness);
    across += thickness;
    ++rowNumber;
  }
  out.thickness = std::max(across, minThickness);
  return out;
}

namespace {

// Distance of a value outside [low, high) to that range; 0 inside.
// In 64 bits: stored positions may lie anywhere in 32.
long long Outside(long long value, long long low, long long high) {
  return value < low ? low - value : value >= high ? value - high + 1 : 0;
}

// Where a turned bar is held from its start.
constexpr int kTurnedGrab = 4;

}  // namespace

DropTarget FindDropTarget(const std::vector<DockZone>& docks, Point pointer, Point grab, bool barVertical) {
  DropTarget best;
  int bestDistance = INT_MAX;
  for (std::size_t i = 0; i < docks.size(); ++i) {
    const DockZone& dock = docks[i];
    const bool vertical = IsVertical(dock.side);
    const Rect& r = dock.screen;
    const int along = vertical ? pointer.y : pointer.x;
    const int alongStart = vertical ? r.top : r.left, alongLength = vertical ? r.height : r.width;
    const int across = vertical ? pointer.x : pointer.y;
    const int acrossStart = vertical ? r.left : r.top, thickness = vertical ? r.width : r.height;
    if (Outside(along, alongStart, alongStart + alongLength) > 0) continue;
    const int distance = static_cast<int>(std::min<long long>(INT_MAX - 1, Outside(across, acrossStart, acrossStart + thickness)));
    if (distance > kDockSnap || distance >= bestDistance) continue;
    bestDistance = distance;
    const int grabAlong = vertical != barVertical ? kTurnedGrab : vertical ? grab.y : grab.x;
    best = DropTarget{static_cast<int>(i), 0, false, std::max(0, along - alongStart - grabAlong)};
    // Which row the point is on, or where a new one opens.
    int offset = across - acrossStart;
    const int rowCount = static_cast<int>(dock.rows.size());
    if (rowCount == 0 || offset < 0) {
      best.newRow = true;
      continue;
    }
    int row = 0;
    while (row < rowCount && offset >= dock.rows[static_cast<std::size_t>(row)]) offset -= dock.rows[static_cast<std::size_t>(row++)];
    best.row = row;
    best.newRow = row == rowCount;
  }
  return best;
}

Rect BringIntoView(const Rect& window, const std::vector<Rect>& workAreas) {
  if (workAreas.empty()) return window;
  // The caption strip, and how much of it the mouse needs.
  const int stripHeight = std::min(window.height, 16);
  const int needWidth = std::min(window.width, 24), needHeight = std::min(stripHeight, 8);
  const long long left = window.left, top = window.top;
  for (const Rect& a : workAreas) {
    const long long width = std::min(left + window.width, 0LL + a.left + a.width) - std::max(left, 0LL + a.left);
    const long long height = std::min(top + stripHeight, 0LL + a.top + a.height) - std::max(top, 0LL + a.top);
    if (width >= needWidth && height >= needHeight && width > 0 && height > 0) return window;
  }
  // The work area nearest to the window's centre.
  const long long cx = left + window.width / 2, cy = top + window.height / 2;
  const Rect* nearest = &workAreas.front();
  long long nearestDistance = LLONG_MAX;
  for (const Rect& a : workAreas) {
    const long long dx = Outside(cx, a.left, 0LL + a.left + a.width), dy = Outside(cy, a.top, 0LL + a.top + a.height);
    // Squares of distances up to 2^33 stay within 64 bits.
    if (dx * dx + dy * dy < nearestDistance) nearestDistance = dx * dx + dy * dy, nearest = &a;
  }
  const Rect& a = *nearest;
  Rect moved = window;
  moved.left = std::max(a.left, static_cast<int>(std::min(left, 0LL + a.left + a.width - window.width)));
  moved.top = std::max(a.top, static_cast<int>(std::min(top, 0LL + a.top + a.height - window.height)));
  return moved;
}

}  // namespace sorel
