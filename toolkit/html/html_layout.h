// An HTML page laid out for a width: what to draw where, the links and the named places. The
// parser and the layout are portable; a viewer measures text through TextMetrics and paints the
// items itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_spec.h"
#include "toolkit/html/html_document.h"

namespace sorel {

// The longest face name a style keeps: what the system's font name field holds. Every text item
// carries its style, so a face as long as a page may write it (kHtmlMaxAttributeLength) would be
// copied into each word; the system would use no more of it than this anyway.
constexpr std::size_t kMaxFaceLength = 31;

// A run of text's look: the program's font value and a colour.
struct TextStyle {
  FontSpec font{"", 0, 10};  // the face from the page cut to kMaxFaceLength; the character set unused
  std::uint32_t color = 0x000000;  // 0xRRGGBB
  bool operator==(const TextStyle&) const = default;
};

// Text measured in a style, in pixels.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int Width(const TextStyle& style, std::string_view text) = 0;
  virtual int LineHeight(const TextStyle& style) = 0;  // ascent + descent
  virtual int Ascent(const TextStyle& style) = 0;
};

// The natural size of a picture by its src as written in the page; false when it cannot be read
// (the layout then gives it the size the page asks, or a small placeholder).
class ImageSizes {
 public:
  virtual ~ImageSizes() = default;
  virtual bool Size(const std::string& src, int& width, int& height) = 0;
};

struct LayoutOptions {
  int width = 400;  // the width to wrap in, in pixels
  TextStyle base{{"MS Sans Serif", 0, 10}};
  std::string preformattedFace = "Courier New";
};

struct LayoutBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const LayoutBox&) const = default;
};

// One thing to draw, in page coordinates (the top left of the page is 0,0).
struct DrawItem {
  enum class Kind { Text, Fill, Image };
  Kind kind = Kind::Text;
  LayoutBox box;
  std::string text;    // Text: the characters (8-bit, entities resolved); Image: the src
  TextStyle style;     // Text
  std::uint32_t color = 0;  // Fill: 0xRRGGBB (rules, table borders)
  int link = -1;       // index into LaidOutPage::links when the item is part of a link
  bool lineStart = false;  // Text: the first item of a line (a viewer copying text starts a new line)
  std::string alt;     // Image: the page's alternative text, for a picture that cannot be drawn
};

struct LaidOutPage {
  std::vector<DrawItem> items;          // in reading order
  std::vector<std::string> links;       // the targets (href as written)
  std::map<std::string, int> anchors;   // <a name> / id -> top y
  std::string title;
  std::uint32_t background = 0xFFFFFFFF;  // body bgcolor as 0xRRGGBB; 0xFFFFFFFF: the viewer's own
  int width = 0, height = 0;            // the extent of all items
};

LaidOutPage LayoutHtml(const HtmlDocument& document, const LayoutOptions& options, TextMetrics& metrics,
                       ImageSizes& images);

}  // namespace sorel
