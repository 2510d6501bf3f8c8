// The line builder of the HTML layout: a Flow sets inline content in lines within one block
// context (the page, a table cell) and writes the items to the page. Internal to toolkit/html.
#pragma once
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/html/html_layout.h"

namespace sorel::html {

constexpr int kMaxSide = 10000;  // of a picture or a width written in the page
constexpr int kFloatGap = 4;     // between a picture aligned left or right and the text beside it
constexpr int kHuge = 1 << 28;   // sums saturate here: no metric makes them overflow

inline int Sat(long long v) { return static_cast<int>(std::clamp<long long>(v, -kHuge, kHuge)); }

inline bool IsCollapsible(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

enum class Align { Left, Center, Right };

// The counter of an <ol> (or the bullets of a <ul>), shared by its items.
struct ListInfo {
  bool ordered = false;
  char type = '1';  // of the numbers: 1, a, A, i, I
  int next = 1;
};

// What an element passes down to its content.
struct State {
  TextStyle style;
  int link = -1;
  bool pre = false;     // spaces and line ends kept, no wrapping
  bool nowrap = false;  // no wrapping
  Align align = Align::Left;
  int left = 0, rightIndent = 0;  // from the edges of the block context
  ListInfo* list = nullptr;
  int listDepth = 0;
};

// Of a style, in pixels.
struct FontMetrics {
  int ascent = 0, height = 0, space = 0;
};

// What every Flow writes to: the page, the anchors as found, and the metrics.
class Output {
 public:
  explicit Output(TextMetrics& metrics) : metrics_(metrics) {}

  // The metrics of a style; the last style's are kept, as long runs of one style are the rule.
  const FontMetrics& Font(const TextStyle& style) {
    if (!cached_ || !SameFont(cachedStyle_, style)) {
      cachedStyle_ = style;
      cached_ = true;
      font_.height = std::clamp(metrics_.LineHeight(style), 0, kMaxSide);
      font_.ascent = std::clamp(metrics_.Ascent(style), 0, font_.height);
      font_.space = Width(style, " ");
    }
    return font_;
  }
  int Width(const TextStyle& style, std::string_view text) {
    return std::clamp(metrics_.Width(style, text), 0, kHuge);
  }

  LaidOutPage page;
  std::vector<std::pair<std::string, int>> anchors;  // in the order found; the first of a name counts

 private:
  static bool SameFont(const TextStyle& a, const TextStyle& b) {
    return a.font == b.font;
  }

  TextMetrics& metrics_;
  TextStyle cachedStyle_;
  bool cached_ = false;
  FontMetrics font_;
};

// One block context: the page or a table cell. Inline content goes into words, words into
// lines, lines into the page as items. A measuring Flow places nothing and finds instead the
// narrowest width its content fits in (the widest word) and the width it takes unwrapped.
class Flow {
 public:
  Flow(Output& out, int left, int right, int top, bool measuring)
      : out_(out), left_(left), right_(std::max(left, right)), y_(top), measuring_(measuring) {}

  bool Measuring() const { return measuring_; }
  int Left(const State& s) const { return Sat(static_cast<long long>(left_) + s.left); }
  int Right(const State& s) const { return std::max(Left(s), Sat(static_cast<long long>(right_) - s.rightIndent)); }
  int Y() const { return y_; }
  int MinWidth() const { return min_; }
  int MaxWidth() const { return max_; }

  // Text of the page: runs of whitespace are one space, a break opportunity; in <pre> every
  // character counts and a line end ends the line.
  void Text(std::string_view text, const State& s);

  // A picture (or anything else of a fixed size) standing in the line; its bottom lies ascent
  // below the top of its box.
  void Box(DrawItem item, int ascent, const State& s);

  // <br>, or a line end in <pre>. On an empty line it makes an empty line. With clear, what
  // follows goes below the pictures aligned left or right.
  void Break(const State& s, bool clear = false);

  // A picture aligned left or right: it goes to that side at the top of the next line, and
  // lines beside it are shortened until its bottom.
  void Float(DrawItem item, bool right, const State& s);

  // A block starts or ends: the line ends; the margins of adjacent blocks collapse into the
  // largest, and none is kept at the top or the bottom of the context.
  void Boundary(int margin);

  // The y where a block box (a table, a rule) goes, after the line and the margin before it.
  int BlockTop(const State& s);
  void BlockBottom(int bottom) { y_ = std::max(y_, bottom); }
  // A block box of a measuring Flow: the narrowest and the widest it can be.
  void BlockUnit(int minWidth, int maxWidth, const State& s);

  // A named place: it lies at the top of the line where the next content stands.
  void Anchor(const std::string& name);

  // A list item's bullet (text empty) or number, put left of the item's first line.
  void Marker(const State& s, std::string text);
  // The end of the context: the last line set, Y() below everything in it.
  void Finish();

 private:
  struct Piece {
    DrawItem item;  // box.x relative to the line's start until the line is placed
    int ascent = 0;
  };
  struct PendingMarker {
    std::string text;
    TextStyle style;
    int contentLeft;
  };
  struct PlacedFloat {
    int left, right, top, bottom;
    bool onRight;
  };
  struct PendingFloat {
    DrawItem item;
    bool onRight;
  };

  // The edges of a line at y between the pictures aligned left and right.
  std::pair<int, int> Edges(int y) const;

  // The bottom of the first picture beside y to end, or y when none stands there.
  int NextFloatBottom(int y) const;

  // The first y from the current one where width fits beside the pictures, or where none stands.
  int FindRoom(int width, std::pair<int, int>& edges);
  void PlaceFloat(DrawItem item, bool onRight);
  void ClearFloats();

  // The line's first unit: the line starts below the pictures it would not fit beside.
  void OpenLine(int width);
  // The geometry of the content at hand: indents, alignment, wrapping.
  void Take(const State& s);
  void PreText(std::string_view text, const State& s);
  void AddPiece(std::string_view text, const State& s);
  static bool SameRun(const Piece& p, const TextStyle& style, int link);
  void EndWord();
  void MeasureUnit(int width);
  void Place(std::vector<Piece>& unit, int width);

  int LineStart() const { return Sat(static_cast<long long>(left_) + lineLeft_); }
  int Right() const { return std::max(LineStart(), Sat(static_cast<long long>(right_) - rightIndent_)); }

  void ApplyMargin();
  void ResolveAnchors(int y);
  void EmitMarkers(int top, int ascent, bool& first);

  // Sets the line in the page: baselines aligned, shifted for the alignment.
  void EndLine();

  Output& out_;
  const int left_, right_;  // the context's edges
  int y_;                   // the top of the next line
  const bool measuring_;
  int pendingMargin_ = 0;
  bool atTop_ = true;       // nothing placed yet

  // The geometry of the content last taken: the line's edges, alignment and wrapping.
  int lineLeft_ = 0, rightIndent_ = 0;
  Align align_ = Align::Left;
  bool nowrap_ = false;

  std::vector<Piece> word_;  // the word being read: pieces of one style each
  int wordWidth_ = 0;
  bool wordHas_ = false;

  std::vector<Piece> line_;
  int lineStartX_ = 0, lineEndX_ = 0;  // the line's edges, beside the pictures aligned left or right
  int lineX_ = 0;           // the width of the line so far
  bool lineHas_ = false;
  int column_ = 0;          // characters on the line, for tabs in <pre>
  bool pendingSpace_ = false;  // a space between the line and the next word, if they stay on one line
  TextStyle spaceStyle_;
  int spaceLink_ = -1;
  bool spaceNowrap_ = false;

  std::vector<PendingMarker> markers_;
  std::vector<std::string> anchors_;
  std::vector<PlacedFloat> floats_;
  std::vector<PendingFloat> pendingFloats_;  // waiting for the line to end

  int runStart_ = 0;        // measuring: where the line last could break
  int min_ = 0, max_ = 0;
};

}  // namespace sorel::html
