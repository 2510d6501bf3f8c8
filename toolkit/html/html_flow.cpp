// The line builder of the HTML layout: words into lines, lines into items; pictures aligned
// left or right beside them; margins, list markers and named places on the way.
#include "toolkit/html/html_flow.h"

namespace sorel::html {

void Flow::Text(std::string_view text, const State& s) {
  Take(s);
  if (s.pre) return PreText(text, s);
  for (std::size_t i = 0; i < text.size();) {
    if (IsCollapsible(text[i])) {
      EndWord();
      if (!pendingSpace_ && lineHas_) {
        pendingSpace_ = true;
        spaceStyle_ = s.style;
        spaceLink_ = s.link;
        spaceNowrap_ = s.nowrap;
      }
      while (i < text.size() && IsCollapsible(text[i])) ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && !IsCollapsible(text[j])) ++j;
    AddPiece(text.substr(i, j - i), s);
    i = j;
  }
}

void Flow::Box(DrawItem item, int ascent, const State& s) {
  Take(s);
  EndWord();
  const int width = item.box.width;
  if (measuring_) return MeasureUnit(width);
  std::vector<Piece> unit(1);
  unit[0].item = std::move(item);
  unit[0].ascent = ascent;
  Place(unit, width);
}

void Flow::Break(const State& s, bool clear) {
  Take(s);
  EndWord();
  if (!measuring_ && !lineHas_ && markers_.empty()) {
    ApplyMargin();
    ResolveAnchors(y_);
    y_ = Sat(static_cast<long long>(y_) + out_.Font(s.style).height);
  }
  EndLine();
  if (clear) ClearFloats();
}

void Flow::Float(DrawItem item, bool right, const State& s) {
  Take(s);
  EndWord();
  if (measuring_) return MeasureUnit(item.box.width);
  if (lineHas_)
    pendingFloats_.push_back({std::move(item), right});
  else
    PlaceFloat(std::move(item), right);
}

void Flow::Boundary(int margin) {
  EndWord();
  EndLine();
  pendingSpace_ = false;
  pendingMargin_ = std::max(pendingMargin_, margin);
}

int Flow::BlockTop(const State& s) {
  Take(s);
  EndWord();
  EndLine();
  ApplyMargin();
  ClearFloats();
  ResolveAnchors(y_);
  if (!markers_.empty()) {
    int ascent = 0;
    for (const auto& m : markers_) ascent = std::max(ascent, out_.Font(m.style).ascent);
    bool first = true;
    EmitMarkers(y_, ascent, first);
  }
  return y_;
}

void Flow::BlockUnit(int minWidth, int maxWidth, const State& s) {
  Take(s);
  EndWord();
  EndLine();
  min_ = std::max(min_, Sat(static_cast<long long>(s.left) + minWidth + s.rightIndent));
  max_ = std::max(max_, Sat(static_cast<long long>(s.left) + maxWidth + s.rightIndent));
}

void Flow::Anchor(const std::string& name) {
  if (!measuring_ && !name.empty()) anchors_.push_back(name);
}

void Flow::Marker(const State& s, std::string text) {
  if (!measuring_) markers_.push_back({std::move(text), s.style, Left(s)});
}

void Flow::Finish() {
  EndWord();
  EndLine();
  ClearFloats();
  ResolveAnchors(y_);
}

std::pair<int, int> Flow::Edges(int y) const {
  int left = LineStart(), right = Right();
  for (const auto& f : floats_) {
    if (f.top > y || f.bottom <= y) continue;
    if (f.onRight)
      right = std::min(right, f.left - kFloatGap);
    else
      left = std::max(left, f.right + kFloatGap);
  }
  return {left, std::max(left, right)};
}

int Flow::NextFloatBottom(int y) const {
  int next = y;
  for (const auto& f : floats_)
    if (f.top <= y && f.bottom > y) next = next == y ? f.bottom : std::min(next, f.bottom);
  return next;
}

int Flow::FindRoom(int width, std::pair<int, int>& edges) {
  floats_.erase(std::remove_if(floats_.begin(), floats_.end(), [&](const PlacedFloat& f) { return f.bottom <= y_; }),
                floats_.end());
  int y = y_;
  for (;;) {
    edges = Edges(y);
    const int next = NextFloatBottom(y);
    if (edges.second - edges.first >= width || next == y) return y;
    y = next;
  }
}

void Flow::PlaceFloat(DrawItem item, bool onRight) {
  ApplyMargin();
  // Every line looks at every picture beside it: a bound keeps that cheap.
  constexpr std::size_t kMaxFloats = 32;
  if (floats_.size() >= kMaxFloats) ClearFloats();
  std::pair<int, int> edges;
  const int top = FindRoom(item.box.width, edges);
  const int x = onRight ? std::max(edges.first, edges.second - item.box.width) : edges.first;
  item.box.x = x;
  item.box.y = top;
  floats_.push_back({x, Sat(static_cast<long long>(x) + item.box.width), top,
                     Sat(static_cast<long long>(top) + item.box.height), onRight});
  out_.page.items.push_back(std::move(item));
}

void Flow::ClearFloats() {
  if (measuring_) return;
  for (const auto& f : floats_) y_ = std::max(y_, f.bottom);
  floats_.clear();
}

void Flow::OpenLine(int width) {
  ApplyMargin();
  std::pair<int, int> edges;
  y_ = FindRoom(width, edges);
  lineStartX_ = edges.first;
  lineEndX_ = edges.second;
}

void Flow::Take(const State& s) {
  lineLeft_ = s.left;
  rightIndent_ = s.rightIndent;
  align_ = s.align;
  nowrap_ = s.nowrap || s.pre;
}

void Flow::PreText(std::string_view text, const State& s) {
  std::string run;
  for (char c : text) {
    if (c == '\n') {
      AddPiece(run, s);
      run.clear();
      Break(s);
    } else if (c == '\t') {
      const int n = 8 - column_ % 8;  // tab stops every 8 characters
      run.append(static_cast<std::size_t>(n), ' ');
      column_ += n;
    } else if (c != '\r') {
      run += c;
      ++column_;
    }
  }
  AddPiece(run, s);
}

void Flow::AddPiece(std::string_view text, const State& s) {
  if (text.empty()) return;
  const int width = out_.Width(s.style, text);
  wordWidth_ = Sat(static_cast<long long>(wordWidth_) + width);
  wordHas_ = true;
  if (measuring_) return;
  if (!word_.empty() && SameRun(word_.back(), s.style, s.link)) {
    word_.back().item.text += text;
    word_.back().item.box.width = Sat(static_cast<long long>(word_.back().item.box.width) + width);
    return;
  }
  Piece p;
  p.item.text = text;
  p.item.style = s.style;
  p.item.link = s.link;
  const FontMetrics& f = out_.Font(s.style);
  p.item.box.width = width;
  p.item.box.height = f.height;
  p.ascent = f.ascent;
  word_.push_back(std::move(p));
}

bool Flow::SameRun(const Piece& p, const TextStyle& style, int link) {
  return p.item.kind == DrawItem::Kind::Text && p.item.link == link && p.item.style == style;
}

void Flow::EndWord() {
  if (!wordHas_) return;
  if (measuring_)
    MeasureUnit(wordWidth_);
  else
    Place(word_, wordWidth_);
  word_.clear();
  wordWidth_ = 0;
  wordHas_ = false;
}

void Flow::MeasureUnit(int width) {
  const int space = pendingSpace_ && lineHas_ ? out_.Font(spaceStyle_).space : 0;
  const bool canBreak = pendingSpace_ ? !spaceNowrap_ : !nowrap_;
  if (canBreak || !lineHas_) runStart_ = Sat(static_cast<long long>(lineX_) + space);
  lineX_ = Sat(static_cast<long long>(lineX_) + space + width);
  min_ = std::max(min_, Sat(static_cast<long long>(lineLeft_) + (lineX_ - runStart_) + rightIndent_));
  pendingSpace_ = false;
  lineHas_ = true;
}

void Flow::Place(std::vector<Piece>& unit, int width) {
  int space = pendingSpace_ && lineHas_ ? out_.Font(spaceStyle_).space : 0;
  const bool canBreak = pendingSpace_ ? !spaceNowrap_ : !nowrap_;
  const long long room = static_cast<long long>(lineEndX_) - lineStartX_;
  if (lineHas_ && canBreak && static_cast<long long>(lineX_) + space + width > room) {
    // Places named just before the word stand on the next line, with it.
    std::vector<std::string> waiting = std::move(anchors_);
    anchors_.clear();
    EndLine();
    anchors_ = std::move(waiting);
    space = 0;
  }
  if (!lineHas_) OpenLine(width);
  if (space > 0) {
    if (!line_.empty() && SameRun(line_.back(), spaceStyle_, spaceLink_)) {
      line_.back().item.text += ' ';
      line_.back().item.box.width = Sat(static_cast<long long>(line_.back().item.box.width) + space);
      lineX_ = Sat(static_cast<long long>(lineX_) + space);
    } else if (SameRun(unit.front(), spaceStyle_, spaceLink_)) {
      unit.front().item.text.insert(0, 1, ' ');
      unit.front().item.box.width = Sat(static_cast<long long>(unit.front().item.box.width) + space);
    } else {
      Piece p;
      p.item.text = " ";
      p.item.style = spaceStyle_;
      p.item.link = spaceLink_;
      const FontMetrics& f = out_.Font(spaceStyle_);
      p.item.box = {lineX_, 0, space, f.height};
      p.ascent = f.ascent;
      line_.push_back(std::move(p));
      lineX_ = Sat(static_cast<long long>(lineX_) + space);
    }
  }
  pendingSpace_ = false;
  for (Piece& p : unit) {
    const int w = p.item.box.width;
    if (!line_.empty() && p.item.kind == DrawItem::Kind::Text && SameRun(line_.back(), p.item.style, p.item.link) &&
        line_.back().item.box.x + line_.back().item.box.width == lineX_) {
      line_.back().item.text += p.item.text;
      line_.back().item.box.width = Sat(static_cast<long long>(line_.back().item.box.width) + w);
    } else {
      p.item.box.x = lineX_;
      line_.push_back(std::move(p));
    }
    lineX_ = Sat(static_cast<long long>(lineX_) + w);
  }
  lineHas_ = true;
}

void Flow::ApplyMargin() {
  if (!atTop_) y_ = Sat(static_cast<long long>(y_) + pendingMargin_);
  pendingMargin_ = 0;
  atTop_ = false;
}

void Flow::ResolveAnchors(int y) {
  for (auto& name : anchors_) out_.anchors.emplace_back(std::move(name), y);
  anchors_.clear();
}

void Flow::EmitMarkers(int top, int ascent, bool& first) {
  for (auto& m : markers_) {
    const FontMetrics f = out_.Font(m.style);
    DrawItem item;
    if (m.text.empty()) {  // a bullet: a small square on the x-height
      const int side = std::max(2, f.ascent * 2 / 5);
      item.kind = DrawItem::Kind::Fill;
      item.color = m.style.color;
      item.box = {m.contentLeft - f.space - side, top + ascent - side - f.ascent / 5, side, side};
    } else {
      const int width = out_.Width(m.style, m.text);
      item.box = {m.contentLeft - f.space - width, top + ascent - f.ascent, width, f.height};
      item.text = std::move(m.text);
      item.style = std::move(m.style);
      item.lineStart = first;
      first = false;
    }
    out_.page.items.push_back(std::move(item));
  }
  markers_.clear();
}

void Flow::EndLine() {
  pendingSpace_ = false;
  column_ = 0;
  if (measuring_) {
    if (lineHas_) max_ = std::max(max_, Sat(static_cast<long long>(lineLeft_) + lineX_ + rightIndent_));
    lineX_ = runStart_ = 0;
    lineHas_ = false;
    return;
  }
  if (!lineHas_ && markers_.empty()) return;
  int ascent = 0, descent = 0;
  for (const Piece& p : line_) {
    ascent = std::max(ascent, p.ascent);
    descent = std::max(descent, p.item.box.height - p.ascent);
  }
  for (const auto& m : markers_) {
    const FontMetrics& f = out_.Font(m.style);
    ascent = std::max(ascent, f.ascent);
    descent = std::max(descent, f.height - f.ascent);
  }
  ApplyMargin();
  const int top = y_;
  const int start = lineHas_ ? lineStartX_ : LineStart();
  const long long extra = static_cast<long long>(lineHas_ ? lineEndX_ : Right()) - start - lineX_;
  const int shift = extra <= 0 || align_ == Align::Left ? 0 : Sat(align_ == Align::Center ? extra / 2 : extra);
  bool first = true;
  EmitMarkers(top, ascent, first);
  for (Piece& p : line_) {
    DrawItem& item = p.item;
    item.box.x = Sat(static_cast<long long>(item.box.x) + start + shift);
    item.box.y = top + ascent - p.ascent;
    if (item.kind == DrawItem::Kind::Text) {
      item.lineStart = first;
      first = false;
    }
    out_.page.items.push_back(std::move(item));
  }
  ResolveAnchors(top);
  y_ = Sat(static_cast<long long>(top) + ascent + descent);
  line_.clear();
  lineX_ = 0;
  lineHas_ = false;
  for (auto& f : pendingFloats_) PlaceFloat(std::move(f.item), f.onRight);
  pendingFloats_.clear();
}

}  // namespace sorel::html
