// Positions and sizes in pixels, shared by the controls, the dock geometry and the services that
// report screen areas.
#pragma once

namespace sorel {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

}  // namespace sorel
