// The HTML layout: the document tree walked once, its text set in lines by a Flow per block
// context (the page, each table cell); tables measured first for their columns' widths.
#include "toolkit/html/html_layout.h"
#include "platform/text.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "toolkit/html/html_flow.h"
#include "toolkit/html/html_tags.h"

namespace sorel {

namespace {

using namespace html;

constexpr int kPageMargin = 8;
constexpr int kIndent = 40;         // lists, <dd>, <blockquote>
constexpr int kPlaceholder = 20;    // a picture of unknown size
constexpr int kMaxLayoutDepth = 200;
constexpr int kMaxColumns = 1000;
constexpr int kMaxSpan = 100;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kLinkBlue = 0x0000FF;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsCollapsible(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsCollapsible(s.back())) s.remove_suffix(1);
  return s;
}

// "12", "+2", "-1", " 30 px": the leading integer, saturated; nothing without digits.
std::optional<int> ParseNumber(const std::string* text) {
  if (!text) return std::nullopt;
  std::string_view s = Trim(*text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  long long v = 0;
  std::size_t i = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) v = std::min<long long>(v * 10 + (s[i] - '0'), 1000000);
  if (i == 0) return std::nullopt;
  return static_cast<int>(negative ? -v : v);
}

struct Length {
  int value = 0;
  bool percent = false;
};

// A width or height attribute: pixels or a percentage; nothing when absent or unreadable.
std::optional<Length> ParseLength(const std::string* text) {
  const auto v = ParseNumber(text);
  if (!v || *v < 0) return std::nullopt;
  const bool percent = text->find('%') != std::string::npos;
  return Length{std::min(*v, percent ? 100 : kMaxSide), percent};
}

std::optional<std::uint32_t> ParseHex(std::string_view s) {
  std::uint32_t v = 0;
  for (char c : s) {
    const int d = DigitValue(c, 16);
    if (d < 0) return std::nullopt;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  return v;
}

// "#rrggbb", "rrggbb", "#rgb" or one of the 16 colours named in HTML 3.2.
std::optional<std::uint32_t> ParseColor(const std::string* text) {
  if (!text) return std::nullopt;
  std::string_view s = Trim(*text);
  static constexpr std::pair<std::string_view, std::uint32_t> kNames[] = {
      {"black", 0x000000}, {"silver", 0xC0C0C0}, {"gray", 0x808080}, {"white", 0xFFFFFF},
      {"maroon", 0x800000}, {"red", 0xFF0000},   {"purple", 0x800080}, {"fuchsia", 0xFF00FF},
      {"green", 0x008000}, {"lime", 0x00FF00},   {"olive", 0x808000}, {"yellow", 0xFFFF00},
      {"navy", 0x000080},  {"blue", 0x0000FF},   {"teal", 0x008080},  {"aqua", 0x00FFFF},
  };
  for (const auto& [name, value] : kNames)
    if (AsciiEqualIgnoreCase(s, name)) return value;
  const bool hash = !s.empty() && s[0] == '#';
  if (hash) s.remove_prefix(1);
  if (s.size() == 6) return ParseHex(s);
  if (hash && s.size() == 3) {
    if (auto v = ParseHex(s)) return (*v >> 8) * 0x110000 + ((*v >> 4) & 15) * 0x1100 + (*v & 15) * 0x11;
  }
  return std::nullopt;
}

int Percent(int points, int percent) { return std::max(1, Sat((static_cast<long long>(points) * percent + 50) / 100)); }

std::optional<Align> ParseAlign(const std::string* text) {
  if (!text) return std::nullopt;
  const std::string_view s = Trim(*text);
  if (AsciiEqualIgnoreCase(s, "center") || AsciiEqualIgnoreCase(s, "middle")) return Align::Center;
  if (AsciiEqualIgnoreCase(s, "right")) return Align::Right;
  if (AsciiEqualIgnoreCase(s, "left") || AsciiEqualIgnoreCase(s, "justify")) return Align::Left;
  return std::nullopt;
}

std::string Roman(int n, bool upper) {
  static constexpr std::pair<int, const char*> kDigits[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
  std::string s;
  for (const auto& [value, digits] : kDigits)
    for (; n >= value; n -= value) s += digits;
  if (upper)
    s = AsciiUpper(s);
  return s;
}

std::string ItemNumber(int n, char type) {
  if ((type == 'a' || type == 'A') && n > 0) {
    std::string s;
    for (; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>(type + (n - 1) % 26));
    return s + ".";
  }
  if ((type == 'i' || type == 'I') && n > 0 && n < 4000) return Roman(n, type == 'I') + ".";
  return std::to_string(n) + ".";
}

// A table's grid and its columns' widths before any width is known.
struct TableInfo {
  struct Cell {
    int node, row, column, span;
    int min = 0, max = 0;
    std::optional<Length> width;
  };
  int border = 0, spacing = 2, padding = 1;
  int columns = 0;
  std::vector<int> rows;  // the <tr> nodes
  std::vector<Cell> cells;  // in reading order
  std::vector<int> columnMin, columnMax, columnPercent;
  std::optional<Length> width;
  int min = 0, max = 0;  // of the whole table, borders and spacing included
};

class Engine {
 public:
  Engine(const HtmlDocument& doc, const LayoutOptions& options, TextMetrics& metrics, ImageSizes& images)
      : doc_(doc), options_(options), images_(images), out_(metrics) {}

  LaidOutPage Run() {
    LaidOutPage& page = out_.page;
    page.title = doc_.title;
    State s;
    s.style = options_.base;
    s.style.font.points = std::clamp(s.style.font.points, 1, 1000);
    base_ = s.style.font.points;
    for (const auto& a : doc_.body) {
      const auto color = ParseColor(&a.value);
      if (!color) continue;
      if (a.name == "bgcolor") page.background = *color;
      if (a.name == "text") s.style.color = *color;
      if (a.name == "link") linkColor_ = *color;
    }
    if (doc_.nodes.empty()) return std::move(page);
    visits_.assign(doc_.nodes.size(), 0);
    Flow flow(out_, kPageMargin, options_.width - kPageMargin, kPageMargin, false);
    Walk(0, s, flow, 0);
    flow.Finish();
    for (auto& [name, y] : out_.anchors) page.anchors.emplace(std::move(name), y);
    for (const DrawItem& item : page.items) {
      page.width = std::max(page.width, Sat(static_cast<long long>(item.box.x) + item.box.width));
      page.height = std::max(page.height, Sat(static_cast<long long>(item.box.y) + item.box.height));
    }
    return std::move(page);
  }

 private:
  void Walk(int id, const State& parent, Flow& flow, int depth) {
    // In a tree each node is visited once, or twice in a table (measured, then laid out); a node
    // reached more often belongs to a graph the parser never makes, and is left out.
    if (id < 0 || static_cast<std::size_t>(id) >= doc_.nodes.size() || depth > kMaxLayoutDepth || visits_[id] == 2)
      return;
    ++visits_[id];
    const HtmlNode& n = doc_.nodes[id];
    if (n.kind == HtmlNode::Kind::Text) return flow.Text(n.text, parent);
    const HtmlTag tag = HtmlTagOf(n.name);
    State s = parent;
    switch (tag) {
      case HtmlTag::Title: case HtmlTag::Script: case HtmlTag::Style: case HtmlTag::Head: case HtmlTag::Meta:
      case HtmlTag::Link: case HtmlTag::Base:
        return;
      case HtmlTag::Br: {
        const std::string* clear = n.Attribute("clear");
        return flow.Break(s, clear && !AsciiEqualIgnoreCase(Trim(*clear), "none"));
      }
      case HtmlTag::Img:
        return Image(n, s, flow);
      case HtmlTag::Hr:
        return Rule(n, s, flow);
      case HtmlTag::Table:
        flow.Boundary(0);
        Table(id, s, flow, depth);
        flow.Boundary(0);
        return;
      default:
        break;
    }
    bool block = false;
    int margin = 0;
    ListInfo list;
    const auto paragraph = [&] { return out_.Font(s.style).height; };
    switch (tag) {
      case HtmlTag::B: case HtmlTag::Strong:
        s.style.font.bold = true;
        break;
      case HtmlTag::I: case HtmlTag::Em: case HtmlTag::Cite: case HtmlTag::Dfn: case HtmlTag::Var:
        s.style.font.italic = true;
        break;
      case HtmlTag::U:
        s.style.font.underline = true;
        break;
      case HtmlTag::Tt: case HtmlTag::Code: case HtmlTag::Kbd: case HtmlTag::Samp:
        s.style.font.face = options_.preformattedFace;
        break;
      case HtmlTag::Big:
        s.style.font.points = Percent(s.style.font.points, 120);
        break;
      case HtmlTag::Small:
        s.style.font.points = Percent(s.style.font.points, 83);
        break;
      case HtmlTag::Nobr:
        s.nowrap = true;
        break;
      case HtmlTag::Font:
        FontAttributes(n, s);
        break;
      case HtmlTag::A:
        if (const std::string* href = n.Attribute("href")) {
          s.link = flow.Measuring() ? 0 : static_cast<int>(out_.page.links.size());
          if (!flow.Measuring()) out_.page.links.push_back(*href);
          s.style.color = linkColor_;
          s.style.font.underline = true;
        }
        if (const std::string* name = n.Attribute("name")) flow.Anchor(*name);
        break;
      case HtmlTag::P:
        block = true;
        margin = paragraph();
        s.align = ParseAlign(n.Attribute("align")).value_or(s.align);
        break;
      case HtmlTag::Div:
        block = true;
        s.align = ParseAlign(n.Attribute("align")).value_or(s.align);
        break;
      case HtmlTag::Center:
        block = true;
        s.align = Align::Center;
        break;
      case HtmlTag::Address:
        block = true;
        s.style.font.italic = true;
        break;
      case HtmlTag::H1: case HtmlTag::H2: case HtmlTag::H3: case HtmlTag::H4: case HtmlTag::H5:
      case HtmlTag::H6: {
        // Sizes and margins of the usual browser style sheet: the size against the page's
        // text, the margin against the heading's own.
        static constexpr int kSize[] = {200, 150, 117, 100, 83, 67};
        static constexpr int kMargin[] = {67, 83, 100, 133, 167, 233};
        const int level = static_cast<int>(tag) - static_cast<int>(HtmlTag::H1);
        block = true;
        s.style.font.points = Percent(base_, kSize[level]);
        s.style.font.bold = true;
        margin = out_.Font(s.style).height * kMargin[level] / 100;
        s.align = ParseAlign(n.Attribute("align")).value_or(s.align);
        break;
      }
      case HtmlTag::Pre: case HtmlTag::Listing: case HtmlTag::Xmp:
        block = true;
        s.pre = true;
        s.style.font.face = options_.preformattedFace;
        margin = paragraph();
        break;
      case HtmlTag::Blockquote:
        block = true;
        margin = paragraph();
        s.left = Sat(static_cast<long long>(s.left) + kIndent);
        s.rightIndent = Sat(static_cast<long long>(s.rightIndent) + kIndent);
        break;
      case HtmlTag::Ul: case HtmlTag::Ol: case HtmlTag::Dir: case HtmlTag::Menu:
        block = true;
        margin = s.listDepth == 0 ? paragraph() : 0;  // a list in a list has no margins
        s.left = Sat(static_cast<long long>(s.left) + kIndent);
        ++s.listDepth;
        list.ordered = tag == HtmlTag::Ol;
        if (const std::string* type = n.Attribute("type"); type && type->size() == 1) list.type = (*type)[0];
        list.next = ParseNumber(n.Attribute("start")).value_or(1);
        s.list = &list;
        break;
      case HtmlTag::Dl:
        block = true;
        margin = s.listDepth == 0 ? paragraph() : 0;
        ++s.listDepth;
        break;
      case HtmlTag::Dt: case HtmlTag::Tr:
        block = true;
        break;
      case HtmlTag::Dd:
        block = true;
        s.left = Sat(static_cast<long long>(s.left) + kIndent);
        break;
      case HtmlTag::Td: case HtmlTag::Th:  // a cell outside a table: only a block
        block = true;
        if (tag == HtmlTag::Th) s.style.font.bold = true;
        break;
      case HtmlTag::Li:
        block = true;
        if (!s.list) s.left = Sat(static_cast<long long>(s.left) + kIndent);
        break;
      default:
        break;
    }
    if (block) flow.Boundary(margin);
    if (tag == HtmlTag::Li) {
      std::string marker;
      if (s.list && s.list->ordered) {
        if (const auto value = ParseNumber(n.Attribute("value"))) s.list->next = *value;
        marker = ItemNumber(s.list->next, s.list->type);
        s.list->next = std::min(s.list->next, 999999) + 1;
      }
      flow.Marker(s, std::move(marker));
    }
    if (const std::string* anchor = n.Attribute("id")) flow.Anchor(*anchor);
    for (int child : n.children) Walk(child, s, flow, depth + 1);
    if (block) flow.Boundary(margin);
  }

  void FontAttributes(const HtmlNode& n, State& s) {
    if (const auto color = ParseColor(n.Attribute("color"))) s.style.color = *color;
    if (const std::string* size = n.Attribute("size")) {
      // Sizes 1 to 7 as browsers show them, 3 being the page's text; +n and -n count from 3.
      static constexpr int kSize[] = {63, 81, 100, 113, 150, 200, 300};
      if (auto v = ParseNumber(size)) {
        const std::string_view t = Trim(*size);
        int index = t[0] == '+' || t[0] == '-' ? 3 + *v : *v;
        index = std::clamp(index, 1, 7);
        s.style.font.points = Percent(base_, kSize[index - 1]);
      }
    }
    if (const std::string* face = n.Attribute("face")) {
      // The first of the faces listed; the viewer substitutes a face it lacks anyway.
      const std::string_view first = Trim(std::string_view(*face).substr(0, face->find(',')));
      if (!first.empty()) s.style.font.face = std::string(first.substr(0, kMaxFaceLength));
    }
  }

  void Image(const HtmlNode& n, const State& s, Flow& flow) {
    DrawItem item;
    item.kind = DrawItem::Kind::Image;
    if (const std::string* src = n.Attribute("src")) item.text = std::string(Trim(*src));
    if (const std::string* alt = n.Attribute("alt")) item.alt = *alt;
    item.link = s.link;
    auto w = ParseLength(n.Attribute("width"));
    auto h = ParseLength(n.Attribute("height"));
    if (w && w->percent) w.reset();
    if (h && h->percent) h.reset();
    int nw = 0, nh = 0;
    const bool natural = NaturalSize(item.text, nw, nh);
    int width, height;
    if (w && h) {
      width = w->value, height = h->value;
    } else if (w) {
      width = w->value;
      height = natural ? Sat(static_cast<long long>(nh) * width / nw) : kPlaceholder;
    } else if (h) {
      height = h->value;
      width = natural ? Sat(static_cast<long long>(nw) * height / nh) : kPlaceholder;
    } else if (natural) {
      width = nw, height = nh;
    } else {
      width = height = kPlaceholder;
    }
    item.box.width = std::clamp(width, 0, kMaxSide);
    item.box.height = std::clamp(height, 0, kMaxSide);
    // The bottom stands on the baseline unless the page asks otherwise.
    int ascent = item.box.height;
    if (const std::string* align = n.Attribute("align")) {
      const std::string_view a = Trim(*align);
      if (AsciiEqualIgnoreCase(a, "left") || AsciiEqualIgnoreCase(a, "right")) return flow.Float(std::move(item), AsciiEqualIgnoreCase(a, "right"), s);
      const int textAscent = out_.Font(s.style).ascent;
      if (AsciiEqualIgnoreCase(a, "top") || AsciiEqualIgnoreCase(a, "texttop"))
        ascent = textAscent;
      else if (AsciiEqualIgnoreCase(a, "middle") || AsciiEqualIgnoreCase(a, "absmiddle") || AsciiEqualIgnoreCase(a, "center"))
        ascent = (item.box.height + textAscent) / 2;
    }
    flow.Box(std::move(item), ascent, s);
  }

  bool NaturalSize(const std::string& src, int& width, int& height) {
    if (src.empty()) return false;
    auto it = naturalSizes_.find(src);
    if (it == naturalSizes_.end()) {
      int w = 0, h = 0;
      const bool known = images_.Size(src, w, h) && w > 0 && h > 0;
      it = naturalSizes_.emplace(src, known ? std::pair{std::min(w, kMaxSide), std::min(h, kMaxSide)} : std::pair{0, 0})
               .first;
    }
    width = it->second.first;
    height = it->second.second;
    return width > 0;
  }

  void Rule(const HtmlNode& n, const State& s, Flow& flow) {
    const int half = out_.Font(s.style).height / 2;
    flow.Boundary(half);
    const auto width = ParseLength(n.Attribute("width"));
    const int thickness = std::clamp(ParseNumber(n.Attribute("size")).value_or(2), 1, 100);
    if (flow.Measuring()) {
      const int fixed = width && !width->percent ? width->value : 0;
      flow.BlockUnit(fixed, fixed, s);
    } else {
      const int top = flow.BlockTop(s);
      const int left = flow.Left(s), room = flow.Right(s) - left;
      int w = room;
      if (width) w = width->percent ? Sat(static_cast<long long>(room) * width->value / 100) : width->value;
      const int extra = std::max(0, room - w);
      const Align align = ParseAlign(n.Attribute("align")).value_or(Align::Center);
      DrawItem rule;
      rule.kind = DrawItem::Kind::Fill;
      rule.color = ParseColor(n.Attribute("color")).value_or(kGrey);
      rule.box = {left + (align == Align::Center ? extra / 2 : align == Align::Right ? extra : 0), top, w, thickness};
      out_.page.items.push_back(std::move(rule));
      flow.BlockBottom(top + thickness);
    }
    flow.Boundary(half);
  }

  bool IsElement(int id, HtmlTag tag) const {
    return id >= 0 && static_cast<std::size_t>(id) < doc_.nodes.size() &&
           doc_.nodes[id].kind == HtmlNode::Kind::Element && HtmlTagOf(doc_.nodes[id].name) == tag;
  }

  // What a cell passes down: the table's style, the row's and the cell's alignment.
  State CellState(const State& table, const TableInfo::Cell& cell, int row) const {
    State s = table;
    s.left = s.rightIndent = 0;
    s.list = nullptr;
    s.listDepth = 0;
    const HtmlNode& n = doc_.nodes[cell.node];
    if (HtmlTagOf(n.name) == HtmlTag::Th) {
      s.style.font.bold = true;
      s.align = Align::Center;
    }
    s.align = ParseAlign(doc_.nodes[row].Attribute("align")).value_or(s.align);
    s.align = ParseAlign(n.Attribute("align")).value_or(s.align);
    if (n.Attribute("nowrap")) s.nowrap = true;
    return s;
  }

  // The grid and the columns' narrowest and widest widths, found once per table: a table in a
  // cell is measured with its cell and laid out with it, never again.
  const TableInfo& Measure(int id, const State& s, int depth) {
    if (auto it = tables_.find(id); it != tables_.end()) return it->second;
    const HtmlNode& n = doc_.nodes[id];
    TableInfo t;
    if (const std::string* border = n.Attribute("border")) t.border = std::clamp(ParseNumber(border).value_or(1), 0, 100);
    t.spacing = std::clamp(ParseNumber(n.Attribute("cellspacing")).value_or(2), 0, 100);
    t.padding = std::clamp(ParseNumber(n.Attribute("cellpadding")).value_or(1), 0, 100);
    t.width = ParseLength(n.Attribute("width"));
    for (int child : n.children) {
      if (IsElement(child, HtmlTag::Tr)) t.rows.push_back(child);
      if (IsElement(child, HtmlTag::Tbody) || IsElement(child, HtmlTag::Thead) || IsElement(child, HtmlTag::Tfoot))
        for (int row : doc_.nodes[child].children)
          if (IsElement(row, HtmlTag::Tr)) t.rows.push_back(row);
    }
    for (int r = 0; r < static_cast<int>(t.rows.size()); ++r) {
      int column = 0;
      for (int child : doc_.nodes[t.rows[r]].children) {
        if (!IsElement(child, HtmlTag::Td) && !IsElement(child, HtmlTag::Th)) continue;
        if (column >= kMaxColumns) break;
        const int span = std::min(std::clamp(ParseNumber(doc_.nodes[child].Attribute("colspan")).value_or(1), 1, kMaxSpan),
                                  kMaxColumns - column);
        t.cells.push_back({child, r, column, span, 0, 0, std::nullopt});
        column += span;
      }
      t.columns = std::max(t.columns, column);
    }
    const int edges = 2 * (t.padding + (t.border > 0 ? 1 : 0));
    for (auto& cell : t.cells) {
      const State cs = CellState(s, cell, t.rows[cell.row]);
      Flow measure(out_, 0, 0, 0, true);
      for (int child : doc_.nodes[cell.node].children) Walk(child, cs, measure, depth + 1);
      measure.Finish();
      cell.min = Sat(static_cast<long long>(measure.MinWidth()) + edges);
      cell.max = Sat(static_cast<long long>(measure.MaxWidth()) + edges);
      if (cs.nowrap) cell.min = cell.max;
      cell.width = ParseLength(doc_.nodes[cell.node].Attribute("width"));
      if (cell.width && !cell.width->percent) cell.max = std::max(cell.min, cell.width->value);
      cell.max = std::max(cell.max, cell.min);
    }
    t.columnMin.assign(static_cast<std::size_t>(t.columns), 0);
    t.columnMax.assign(static_cast<std::size_t>(t.columns), 0);
    t.columnPercent.assign(static_cast<std::size_t>(t.columns), 0);
    for (const auto& cell : t.cells) {
      if (cell.span != 1) continue;
      t.columnMin[cell.column] = std::max(t.columnMin[cell.column], cell.min);
      t.columnMax[cell.column] = std::max(t.columnMax[cell.column], cell.max);
      if (cell.width && cell.width->percent)
        t.columnPercent[cell.column] = std::max(t.columnPercent[cell.column], cell.width->value);
    }
    // A cell spanning columns shares what its columns lack among them evenly.
    for (const auto& cell : t.cells) {
      if (cell.span == 1) continue;
      const auto spread = [&](std::vector<int>& widths, int need) {
        long long have = static_cast<long long>(t.spacing) * (cell.span - 1);
        for (int c = cell.column; c < cell.column + cell.span; ++c) have += widths[c];
        if (need <= have) return;
        const long long each = (need - have) / cell.span, rest = (need - have) % cell.span;
        for (int c = cell.column; c < cell.column + cell.span; ++c)
          widths[c] = Sat(widths[c] + each + (c - cell.column < rest ? 1 : 0));
      };
      spread(t.columnMin, cell.min);
      spread(t.columnMax, cell.max);
    }
    long long min = 2LL * t.border + static_cast<long long>(t.spacing) * (t.columns + 1), max = min;
    for (int c = 0; c < t.columns; ++c) {
      t.columnMax[c] = std::max(t.columnMax[c], t.columnMin[c]);
      min += t.columnMin[c];
      max += t.columnMax[c];
    }
    t.min = Sat(min);
    t.max = Sat(max);
    if (t.width && !t.width->percent) t.min = t.max = std::max(t.min, t.width->value);
    return tables_.emplace(id, std::move(t)).first->second;
  }

  // The columns' widths for a table room wide: the narrowest widths, plus what room is left
  // shared in proportion to what each column would take more unwrapped.
  std::vector<int> Columns(const TableInfo& t, int room) const {
    const long long fixed = 2LL * t.border + static_cast<long long>(t.spacing) * (t.columns + 1);
    long long target;
    if (t.width && t.width->percent)
      target = std::max<long long>(t.min, static_cast<long long>(room) * t.width->value / 100);
    else if (t.width)
      target = t.min;
    else
      target = std::max<long long>(t.min, std::min<long long>(room, t.max));
    const long long content = std::max<long long>(0, target - fixed);
    std::vector<long long> max(t.columnMax.begin(), t.columnMax.end());
    long long sumMin = 0, sumMax = 0;
    for (int c = 0; c < t.columns; ++c) {
      if (t.columnPercent[c] > 0) max[c] = std::max<long long>(t.columnMin[c], content * t.columnPercent[c] / 100);
      sumMin += t.columnMin[c];
      sumMax += max[c];
    }
    std::vector<int> widths(static_cast<std::size_t>(t.columns));
    long long used = 0;
    for (int c = 0; c < t.columns; ++c) {
      long long w;
      if (content <= sumMin)
        w = t.columnMin[c];
      else if (content <= sumMax)
        w = t.columnMin[c] + (max[c] - t.columnMin[c]) * (content - sumMin) / (sumMax - sumMin);
      else
        w = max[c] + (sumMax > 0 ? (content - sumMax) * max[c] / sumMax : (content - sumMax) / t.columns);
      widths[c] = Sat(w);
      used += widths[c];
    }
    if (t.columns > 0 && content > used) widths.back() = Sat(widths.back() + (content - used));
    return widths;
  }

  void Table(int id, const State& s, Flow& flow, int depth) {
    const TableInfo& t = Measure(id, s, depth);
    if (flow.Measuring()) return flow.BlockUnit(t.min, t.max, s);
    if (t.columns == 0) return;
    const HtmlNode& n = doc_.nodes[id];
    const int top = flow.BlockTop(s);
    const int left = flow.Left(s), room = flow.Right(s) - left;
    const std::vector<int> widths = Columns(t, room);
    std::vector<int> x(widths.size() + 1);
    x[0] = Sat(static_cast<long long>(t.border) + t.spacing);
    for (std::size_t c = 0; c < widths.size(); ++c) x[c + 1] = Sat(static_cast<long long>(x[c]) + widths[c] + t.spacing);
    const int width = Sat(static_cast<long long>(x.back()) + t.border);
    const Align align = ParseAlign(n.Attribute("align")).value_or(s.align);
    const int extra = std::max(0, room - width);
    const int x0 = left + (align == Align::Center ? extra / 2 : align == Align::Right ? extra : 0);
    auto& items = out_.page.items;
    const auto fill = [&](LayoutBox box, std::uint32_t color) {
      DrawItem item;
      item.kind = DrawItem::Kind::Fill;
      item.box = box;
      item.color = color;
      items.push_back(std::move(item));
      return items.size() - 1;
    };
    // Backgrounds go first so that they lie under the text; their height is known last.
    const auto background = ParseColor(n.Attribute("bgcolor"));
    const std::size_t tableFill = background ? fill({}, *background) : 0;
    const int rule = t.border > 0 ? 1 : 0;
    int y = Sat(static_cast<long long>(top) + t.border + t.spacing);
    struct Placed {
      std::size_t itemsFrom, itemsTo, anchorsFrom, anchorsTo, fillAt;
      int x, width, height;
      bool filled;
      int valign;  // 0 top, 1 middle, 2 bottom
    };
    std::vector<Placed> row;
    std::size_t next = 0;
    for (int r = 0; r < static_cast<int>(t.rows.size()); ++r) {
      row.clear();
      int height = 0;
      const HtmlNode& tr = doc_.nodes[t.rows[r]];
      for (; next < t.cells.size() && t.cells[next].row == r; ++next) {
        const auto& cell = t.cells[next];
        const HtmlNode& td = doc_.nodes[cell.node];
        Placed p{};
        p.x = x0 + x[cell.column];
        p.width = Sat(static_cast<long long>(x[cell.column + cell.span]) - x[cell.column] - t.spacing);
        const auto color = ParseColor(td.Attribute("bgcolor")) ? ParseColor(td.Attribute("bgcolor"))
                                                               : ParseColor(tr.Attribute("bgcolor"));
        p.filled = color.has_value();
        if (p.filled) p.fillAt = fill({}, *color);
        p.itemsFrom = items.size();
        p.anchorsFrom = out_.anchors.size();
        const int inset = t.padding + rule;
        Flow cellFlow(out_, p.x + inset, p.x + p.width - inset, y + inset, false);
        const State cs = CellState(s, cell, t.rows[r]);
        if (const std::string* anchor = td.Attribute("id")) cellFlow.Anchor(*anchor);
        for (int child : td.children) Walk(child, cs, cellFlow, depth + 1);
        cellFlow.Finish();
        p.itemsTo = items.size();
        p.anchorsTo = out_.anchors.size();
        p.height = Sat(static_cast<long long>(cellFlow.Y()) - y + inset);
        if (const auto h = ParseLength(td.Attribute("height")); h && !h->percent) p.height = std::max(p.height, h->value);
        const std::string* valign = td.Attribute("valign") ? td.Attribute("valign") : tr.Attribute("valign");
        const std::string_view v = valign ? Trim(*valign) : std::string_view("middle");
        p.valign = AsciiEqualIgnoreCase(v, "top") || AsciiEqualIgnoreCase(v, "baseline") ? 0 : AsciiEqualIgnoreCase(v, "bottom") ? 2 : 1;
        height = std::max(height, p.height);
        row.push_back(p);
      }
      if (row.empty()) continue;
      if (const auto h = ParseLength(tr.Attribute("height")); h && !h->percent) height = std::max(height, h->value);
      for (const Placed& p : row) {
        const int dy = p.valign == 0 ? 0 : p.valign == 1 ? (height - p.height) / 2 : height - p.height;
        if (dy != 0) {
          for (std::size_t i = p.itemsFrom; i < p.itemsTo; ++i) items[i].box.y += dy;
          for (std::size_t i = p.anchorsFrom; i < p.anchorsTo; ++i) out_.anchors[i].second += dy;
        }
        if (p.filled) items[p.fillAt].box = {p.x, y, p.width, height};
        if (rule) {
          fill({p.x, y, p.width, 1}, kGrey);
          fill({p.x, y + height - 1, p.width, 1}, kGrey);
          fill({p.x, y, 1, height}, kGrey);
          fill({p.x + p.width - 1, y, 1, height}, kGrey);
        }
      }
      y = Sat(static_cast<long long>(y) + height + t.spacing);
    }
    const int bottom = Sat(static_cast<long long>(y) + t.border);
    const int tableHeight = bottom - top;
    if (background) items[tableFill].box = {x0, top, width, tableHeight};
    if (t.border > 0) {
      fill({x0, top, width, t.border}, kGrey);
      fill({x0, bottom - t.border, width, t.border}, kGrey);
      fill({x0, top, t.border, tableHeight}, kGrey);
      fill({x0 + width - t.border, top, t.border, tableHeight}, kGrey);
    }
    flow.BlockBottom(bottom);
  }

  const HtmlDocument& doc_;
  const LayoutOptions& options_;
  ImageSizes& images_;
  Output out_;
  int base_ = 10;  // the page's text size, <font size=3>
  std::uint32_t linkColor_ = kLinkBlue;
  std::vector<unsigned char> visits_;  // of each node
  std::unordered_map<int, TableInfo> tables_;
  std::unordered_map<std::string, std::pair<int, int>> naturalSizes_;
};

}  // namespace

LaidOutPage LayoutHtml(const HtmlDocument& document, const LayoutOptions& options, TextMetrics& metrics,
                       ImageSizes& images) {
  return Engine(document, options, metrics, images).Run();
}

}  // namespace sorel
