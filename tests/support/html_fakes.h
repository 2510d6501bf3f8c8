// A text metric and picture sizes for laying out HTML without a screen: every character is
// points/2 pixels wide, a line points*4/3 (rounded) high with 4/5 of it above the baseline, so
// tests can work positions out by hand.
#pragma once
#include <map>
#include <string>
#include <utility>

#include "toolkit/html/html_layout.h"

namespace sorel {

class FakeTextMetrics : public TextMetrics {
 public:
  int Width(const TextStyle& style, std::string_view text) override {
    return static_cast<int>(text.size()) * style.font.points / 2;
  }
  int LineHeight(const TextStyle& style) override { return (style.font.points * 4 + 1) / 3; }
  int Ascent(const TextStyle& style) override { return LineHeight(style) * 4 / 5; }
};

// Pictures by src; any other cannot be read.
class FakeImageSizes : public ImageSizes {
 public:
  std::map<std::string, std::pair<int, int>> sizes;
  int asked = 0;
  bool Size(const std::string& src, int& width, int& height) override {
    ++asked;
    auto it = sizes.find(src);
    if (it == sizes.end()) return false;
    width = it->second.first;
    height = it->second.second;
    return true;
  }
};

}  // namespace sorel
