// The HTML parser: a single pass of a tokenizer feeding a tree builder that mends the tag soup of
// hand-written help pages the way browsers do, within fixed bounds.
#include "toolkit/html/html_document.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "toolkit/html/html_tags.h"

namespace sorel {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsAlpha(c) || IsDigit(c); }
// Sorted by name, as HtmlTagOf searches them.
constexpr std::pair<std::string_view, HtmlTag> kTags[] = {
    {"a", HtmlTag::A},          {"address", HtmlTag::Address}, {"b", HtmlTag::B},
    {"base", HtmlTag::Base},    {"big", HtmlTag::Big},         {"blockquote", HtmlTag::Blockquote},
    {"body", HtmlTag::Body},    {"br", HtmlTag::Br},           {"caption", HtmlTag::Caption},
    {"center", HtmlTag::Center}, {"cite", HtmlTag::Cite},      {"code", HtmlTag::Code},
    {"col", HtmlTag::Col},      {"colgroup", HtmlTag::Colgroup}, {"dd", HtmlTag::Dd},
    {"dfn", HtmlTag::Dfn},      {"dir", HtmlTag::Dir},         {"div", HtmlTag::Div},
    {"dl", HtmlTag::Dl},        {"dt", HtmlTag::Dt},           {"em", HtmlTag::Em},
    {"font", HtmlTag::Font},    {"h1", HtmlTag::H1},           {"h2", HtmlTag::H2},
    {"h3", HtmlTag::H3},        {"h4", HtmlTag::H4},           {"h5", HtmlTag::H5},
    {"h6", HtmlTag::H6},        {"head", HtmlTag::Head},       {"hr", HtmlTag::Hr},
    {"html", HtmlTag::Html},    {"i", HtmlTag::I},             {"img", HtmlTag::Img},
    {"kbd", HtmlTag::Kbd},      {"li", HtmlTag::Li},           {"link", HtmlTag::Link},
    {"listing", HtmlTag::Listing}, {"menu", HtmlTag::Menu},    {"meta", HtmlTag::Meta},
    {"nobr", HtmlTag::Nobr},    {"ol", HtmlTag::Ol},           {"p", HtmlTag::P},
    {"pre", HtmlTag::Pre},      {"samp", HtmlTag::Samp},       {"script", HtmlTag::Script},
    {"small", HtmlTag::Small},  {"span", HtmlTag::Span},       {"strong", HtmlTag::Strong},
    {"style", HtmlTag::Style},  {"sub", HtmlTag::Sub},         {"sup", HtmlTag::Sup},
    {"table", HtmlTag::Table},  {"tbody", HtmlTag::Tbody},     {"td", HtmlTag::Td},
    {"tfoot", HtmlTag::Tfoot},  {"th", HtmlTag::Th},           {"thead", HtmlTag::Thead},
    {"title", HtmlTag::Title},  {"tr", HtmlTag::Tr},           {"tt", HtmlTag::Tt},
    {"u", HtmlTag::U},          {"ul", HtmlTag::Ul},           {"var", HtmlTag::Var},
    {"wbr", HtmlTag::Wbr},      {"xmp", HtmlTag::Xmp},
};

// Entities: the code point, and whether a page may leave out the ';' (the old Latin-1 names).
struct Entity {
  std::string_view name;
  int code;
  bool legacy;
};

constexpr Entity kEntities[] = {
    {"AElig", 198, true}, {"AMP", 38, true},     {"Aacute", 193, true}, {"Acirc", 194, true},
    {"Agrave", 192, true}, {"Aring", 197, true}, {"Atilde", 195, true}, {"Auml", 196, true},
    {"COPY", 169, true},  {"Ccedil", 199, true}, {"ETH", 208, true},    {"Eacute", 201, true},
    {"Ecirc", 202, true}, {"Egrave", 200, true}, {"Euml", 203, true},   {"GT", 62, true},
    {"Iacute", 205, true}, {"Icirc", 206, true}, {"Igrave", 204, true}, {"Iuml", 207, true},
    {"LT", 60, true},     {"Ntilde", 209, true}, {"Oacute", 211, true}, {"Ocirc", 212, true},
    {"Ograve", 210, true}, {"Oslash", 216, true}, {"Otilde", 213, true}, {"Ouml", 214, true},
    {"QUOT", 34, true},   {"REG", 174, true},    {"THORN", 222, true},  {"Uacute", 218, true},
    {"Ucirc", 219, true}, {"Ugrave", 217, true}, {"Uuml", 220, true},   {"Yacute", 221, true},
    {"aacute", 225, true}, {"acirc", 226, true}, {"acute", 180, true},  {"aelig", 230, true},
    {"agrave", 224, true}, {"amp", 38, true},    {"apos", 39, false},   {"aring", 229, true},
    {"atilde", 227, true}, {"auml", 228, true},  {"brvbar", 166, true}, {"bull", 8226, false},
    {"ccedil", 231, true}, {"cedil", 184, true}, {"cent", 162, true},   {"copy", 169, true},
    {"curren", 164, true}, {"deg", 176, true},   {"divide", 247, true}, {"eacute", 233, true},
    {"ecirc", 234, true}, {"egrave", 232, true}, {"eth", 240, true},    {"euml", 235, true},
    {"euro", 8364, false}, {"frac12", 189, true}, {"frac14", 188, true}, {"frac34", 190, true},
    {"gt", 62, true},     {"hellip", 8230, false}, {"iacute", 237, true}, {"icirc", 238, true},
    {"iexcl", 161, true}, {"igrave", 236, true}, {"iquest", 191, true}, {"iuml", 239, true},
    {"laquo", 171, true}, {"ldquo", 8220, false}, {"lsquo", 8216, false}, {"lt", 60, true},
    {"macr", 175, true},  {"mdash", 8212, false}, {"micro", 181, true}, {"middot", 183, true},
    {"nbsp", 160, true},  {"ndash", 8211, false}, {"not", 172, true},   {"ntilde", 241, true},
    {"oacute", 243, true}, {"ocirc", 244, true}, {"ograve", 242, true}, {"ordf", 170, true},
    {"ordm", 186, true},  {"oslash", 248, true}, {"otilde", 245, true}, {"ouml", 246, true},
    {"para", 182, true},  {"plusmn", 177, true}, {"pound", 163, true},  {"quot", 34, true},
    {"raquo", 187, true}, {"rdquo", 8221, false}, {"reg", 174, true},   {"rsquo", 8217, false},
    {"sect", 167, true},  {"shy", 173, true},    {"sup1", 185, true},   {"sup2", 178, true},
    {"sup3", 179, true},  {"szlig", 223, true},  {"thorn", 254, true},  {"times", 215, true},
    {"trade", 8482, false}, {"uacute", 250, true}, {"ucirc", 251, true}, {"ugrave", 249, true},
    {"uml", 168, true},   {"uuml", 252, true},   {"yacute", 253, true}, {"yen", 165, true},
    {"yuml", 255, true},
};
constexpr std::size_t kLongestEntity = 6;
static_assert(std::is_sorted(std::begin(kEntities), std::end(kEntities),
                             [](const Entity& a, const Entity& b) { return a.name < b.name; }));
static_assert(std::is_sorted(std::begin(kTags), std::end(kTags),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

const Entity* FindEntity(std::string_view name) {
  auto it = std::lower_bound(std::begin(kEntities), std::end(kEntities), name,
                             [](const Entity& e, std::string_view n) { return e.name < n; });
  return it != std::end(kEntities) && it->name == name ? it : nullptr;
}

// The page's 8-bit text holds only the first 256 code points.
char CodeToChar(std::uint32_t code) { return code == 0 || code > 255 ? '?' : static_cast<char>(code); }

// Resolves the reference starting at s[i] == '&' into out; returns where the text goes on. In an
// attribute, a name without ';' followed by a letter, digit or '=' stays as written, so that
// URLs such as "?a=1&copy=2" survive, as in browsers.
std::size_t DecodeReference(std::string_view s, std::size_t i, bool attribute, std::string& out) {
  std::size_t j = i + 1;
  if (j < s.size() && s[j] == '#') {
    ++j;
    const bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
    if (hex) ++j;
    const std::size_t digits = j;
    std::uint32_t value = 0;
    for (; j < s.size(); ++j) {
      int d;
      d = DigitValue(s[j], hex ? 16 : 10);
      if (d < 0) break;
      value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + d, 0x110000);  // saturates
    }
    if (j == digits) {
      out += '&';
      return i + 1;
    }
    if (j < s.size() && s[j] == ';') ++j;
    out += CodeToChar(value);
    return j;
  }
  std::size_t length = 0;
  while (length < kLongestEntity && j + length < s.size() && IsAlnum(s[j + length])) ++length;
  for (; length > 0; --length) {
    const Entity* e = FindEntity(s.substr(j, length));
    if (!e) continue;
    const std::size_t end = j + length;
    const bool semicolon = end < s.size() && s[end] == ';';
    if (!semicolon && !e->legacy) continue;
    if (!semicolon && attribute && end < s.size() && (IsAlnum(s[end]) || s[end] == '=')) break;
    out += CodeToChar(static_cast<std::uint32_t>(e->code));
    return end + (semicolon ? 1 : 0);
  }
  out += '&';
  return i + 1;
}

// Text as the layout wants it: references resolved, "\r\n" and "\r" as "\n", no NUL.
void DecodeText(std::string_view s, bool attribute, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '&') {
      i = DecodeReference(s, i, attribute, out);
    } else if (c == '\r') {
      out += '\n';
      i += (i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
    } else {
      if (c != '\0') out += c;
      ++i;
    }
  }
}

bool IsFormatting(HtmlTag t) {
  switch (t) {
    case HtmlTag::A: case HtmlTag::B: case HtmlTag::Big: case HtmlTag::Code: case HtmlTag::Em:
    case HtmlTag::Font: case HtmlTag::I: case HtmlTag::Nobr: case HtmlTag::Small: case HtmlTag::Strong:
    case HtmlTag::Tt: case HtmlTag::U:
      return true;
    default:
      return false;
  }
}

// The blocks a <p> ends before (and that end a <p> left open inside them).
bool ClosesParagraph(HtmlTag t) {
  switch (t) {
    case HtmlTag::Address: case HtmlTag::Blockquote: case HtmlTag::Center: case HtmlTag::Dd:
    case HtmlTag::Dir: case HtmlTag::Div: case HtmlTag::Dl: case HtmlTag::Dt: case HtmlTag::Hr:
    case HtmlTag::Li: case HtmlTag::Listing: case HtmlTag::Menu: case HtmlTag::Ol: case HtmlTag::P:
    case HtmlTag::Pre: case HtmlTag::Table: case HtmlTag::Ul: case HtmlTag::Xmp:
      return true;
    default:
      return IsHeading(t);
  }
}

// Structure an inline end tag does not reach through.
bool IsSpecial(HtmlTag t) {
  return ClosesParagraph(t) || t == HtmlTag::Table || t == HtmlTag::Tr || t == HtmlTag::Td ||
         t == HtmlTag::Th || t == HtmlTag::Br || t == HtmlTag::Img || t == HtmlTag::Unknown;
}

// Tags that make no node; their content, if any, goes to the open element.
bool IsIgnored(HtmlTag t) {
  switch (t) {
    case HtmlTag::Unknown: case HtmlTag::Html: case HtmlTag::Head: case HtmlTag::Body: case HtmlTag::Tbody:
    case HtmlTag::Thead: case HtmlTag::Tfoot: case HtmlTag::Caption: case HtmlTag::Colgroup:
    case HtmlTag::Col: case HtmlTag::Meta: case HtmlTag::Link: case HtmlTag::Base: case HtmlTag::Wbr:
      return true;
    default:
      return false;
  }
}

bool IsVoid(HtmlTag t) { return t == HtmlTag::Br || t == HtmlTag::Hr || t == HtmlTag::Img; }

struct Tag {
  std::string name;
  HtmlTag tag = HtmlTag::Unknown;
  std::vector<HtmlAttribute> attributes;
};

// Where an end tag may look for its element: the search stops at these.
enum class Scope { Default, ListItem, Table };

bool Bounds(Scope scope, HtmlTag t) {
  switch (scope) {
    case Scope::Default: return t == HtmlTag::Table || t == HtmlTag::Td || t == HtmlTag::Th;
    case Scope::ListItem:
      return t == HtmlTag::Table || t == HtmlTag::Td || t == HtmlTag::Th || t == HtmlTag::Ul || t == HtmlTag::Ol;
    case Scope::Table: return t == HtmlTag::Table;
  }
  return true;
}

class TreeBuilder {
 public:
  explicit TreeBuilder(HtmlDocument& doc) : doc_(doc) {
    doc_.nodes.emplace_back();
    parent_.push_back(-1);
    stack_.push_back({0, HtmlTag::Unknown, 0});
  }

  void Text(std::string& text) {
    if (skipNewline_ && !text.empty() && text[0] == '\n') text.erase(0, 1);
    skipNewline_ = false;
    if (text.empty()) return;
    if (InTableContext()) {
      // Text between a table's cells shows before the table, as browsers show it.
      if (std::all_of(text.begin(), text.end(), IsSpace)) return;
      FosterText(text);
      return;
    }
    Reconstruct();
    AppendText(Top().node, text);
  }

  void Start(Tag& t) {
    skipNewline_ = false;
    if (t.tag == HtmlTag::Body) {
      for (auto& a : t.attributes)
        if (std::none_of(doc_.body.begin(), doc_.body.end(), [&](const HtmlAttribute& b) { return b.name == a.name; }))
          doc_.body.push_back(std::move(a));
      return;
    }
    if (IsIgnored(t.tag)) return;
    if (InTableContext() && t.tag != HtmlTag::Tr && t.tag != HtmlTag::Td && t.tag != HtmlTag::Th &&
        t.tag != HtmlTag::Table) {
      if (IsVoid(t.tag)) Foster(NewElement(t));
      return;  // other tags between cells are dropped, their text shown before the table
    }
    switch (t.tag) {
      case HtmlTag::Tr: {
        const int table = Find(HtmlTag::Table, Scope::Table);
        if (table < 0) return;
        PopAbove(table, false);
        Open(t);
        return;
      }
      case HtmlTag::Td: case HtmlTag::Th: {
        const int table = Find(HtmlTag::Table, Scope::Table);
        if (table < 0) return;
        const int row = Find(HtmlTag::Tr, Scope::Table);
        if (row >= 0) {
          PopAbove(row, false);
        } else {
          PopAbove(table, false);
          Tag implied{"tr", HtmlTag::Tr, {}};
          if (!Open(implied)) return;
        }
        if (Open(t)) reopen_.push_back({});  // a cell starts afresh: no style from outside reopens in it
        return;
      }
      case HtmlTag::Table:
        ClosePInScope();
        if (InTableContext()) PopThrough(Find(HtmlTag::Table, Scope::Table), false);
        Open(t);
        return;
      case HtmlTag::Li:
        CloseListItem({HtmlTag::Li});
        break;
      case HtmlTag::Dd: case HtmlTag::Dt:
        CloseListItem({HtmlTag::Dd, HtmlTag::Dt});
        break;
      case HtmlTag::A: {
        const int open = Find(HtmlTag::A, Scope::Default);
        if (open >= 0) EndFormatting(HtmlTag::A);
        DropReopen(HtmlTag::A);
        break;
      }
      default:
        break;
    }
    if (ClosesParagraph(t.tag)) ClosePInScope();
    if (IsHeading(t.tag) && IsHeading(Top().tag)) PopThrough(static_cast<int>(stack_.size()) - 1, true);
    if (!ClosesParagraph(t.tag)) Reconstruct();
    if (IsVoid(t.tag)) {
      if (Top().depth + 1 > kHtmlMaxDepth) return;
      Append(Top().node, NewElement(t));
      return;
    }
    Open(t);
    if (t.tag == HtmlTag::Pre || t.tag == HtmlTag::Listing || t.tag == HtmlTag::Xmp) skipNewline_ = true;
  }

  void End(HtmlTag tag) {
    skipNewline_ = false;
    if (tag == HtmlTag::Br) {  // browsers take </br> for <br>
      Tag br{"br", HtmlTag::Br, {}};
      Start(br);
      return;
    }
    if (IsIgnored(tag) || IsVoid(tag)) return;
    if (IsFormatting(tag)) {
      EndFormatting(tag);
      return;
    }
    switch (tag) {
      case HtmlTag::Td: case HtmlTag::Th: case HtmlTag::Tr: case HtmlTag::Table:
        PopThrough(Find(tag, Scope::Table), false);
        return;
      case HtmlTag::Li:
        PopThrough(Find(tag, Scope::ListItem), true);
        return;
      case HtmlTag::H1: case HtmlTag::H2: case HtmlTag::H3: case HtmlTag::H4: case HtmlTag::H5:
      case HtmlTag::H6:  // any heading's end closes whichever heading is open
        for (int i = static_cast<int>(stack_.size()) - 1; i > 0 && !Bounds(Scope::Default, stack_[i].tag); --i)
          if (IsHeading(stack_[i].tag)) return PopThrough(i, true);
        return;
      default:
        break;
    }
    if (ClosesParagraph(tag)) {
      PopThrough(Find(tag, Scope::Default), true);
      return;
    }
    // Other inline elements close only when no block was opened inside them.
    for (int i = static_cast<int>(stack_.size()) - 1; i > 0; --i) {
      if (stack_[i].tag == tag) return PopThrough(i, true);
      if (IsSpecial(stack_[i].tag)) return;
    }
  }

 private:
  struct Open_ {
    int node;
    HtmlTag tag;
    std::size_t depth;  // at least the element's depth in the tree (root 0)
  };
  // A text style that a block cut off and that reopens where text goes on; an empty entry
  // marks the start of a table cell.
  struct Reopen {
    HtmlTag tag = HtmlTag::Unknown;
    int node = -1;  // the element it copies
  };

  const Open_& Top() const { return stack_.back(); }

  bool InTableContext() const { return Top().tag == HtmlTag::Table || Top().tag == HtmlTag::Tr; }

  int NewNode() {
    if (doc_.nodes.size() >= kHtmlMaxNodes) return -1;
    doc_.nodes.emplace_back();
    parent_.push_back(-1);
    return static_cast<int>(doc_.nodes.size()) - 1;
  }

  void Append(int parent, int child) {
    if (child < 0) return;
    doc_.nodes[parent].children.push_back(child);
    parent_[child] = parent;
  }

  int NewElement(Tag& t) {
    const int node = NewNode();
    if (node < 0) return -1;
    doc_.nodes[node].name = std::move(t.name);
    doc_.nodes[node].attributes = HtmlAttributes(std::move(t.attributes));
    return node;
  }

  // The copy shares the attributes of the element it copies (see HtmlAttributes): a style
  // reopened after every paragraph costs a node each time, never its attributes again.
  int CopyElement(int of) {
    const int node = NewNode();
    if (node < 0) return -1;
    doc_.nodes[node].name = doc_.nodes[of].name;
    doc_.nodes[node].attributes = doc_.nodes[of].attributes;
    return node;
  }

  // Makes t a child of the open element and opens it, unless the tree is already as deep or as
  // large as it may grow; then its content goes where it stands.
  bool Open(Tag& t) {
    if (Top().depth + 1 > kHtmlMaxDepth) return false;
    const HtmlTag tag = t.tag;
    const int node = NewElement(t);
    if (node < 0) return false;
    Append(Top().node, node);
    stack_.push_back({node, tag, Top().depth + 1});
    return true;
  }

  void AppendText(int parent, const std::string& text) {
    const std::size_t room = kHtmlMaxText - textSize_;
    const std::size_t n = std::min(room, text.size());
    if (n == 0) return;
    auto& children = doc_.nodes[parent].children;
    if (!children.empty() && doc_.nodes[children.back()].kind == HtmlNode::Kind::Text) {
      doc_.nodes[children.back()].text.append(text, 0, n);
    } else {
      const int node = NewNode();
      if (node < 0) return;
      doc_.nodes[node].kind = HtmlNode::Kind::Text;
      doc_.nodes[node].text.assign(text, 0, n);
      Append(parent, node);
    }
    textSize_ += n;
  }

  // The index in stack_ of the nearest open element tag within scope, or -1.
  int Find(HtmlTag tag, Scope scope) const {
    for (int i = static_cast<int>(stack_.size()) - 1; i > 0; --i) {
      if (stack_[i].tag == tag) return i;
      if (Bounds(scope, stack_[i].tag)) return -1;
    }
    return -1;
  }

  // Closes the elements above stack_[index]; the text styles among them reopen later if
  // remember is set, as the text they held goes on after a block.
  void PopAbove(int index, bool remember) {
    if (index < 0) return;
    const std::size_t first = reopen_.size();
    while (static_cast<int>(stack_.size()) > index + 1) {
      const Open_ e = stack_.back();
      stack_.pop_back();
      if (e.tag == HtmlTag::Td || e.tag == HtmlTag::Th) {
        ClearToCellStart();
      } else if (remember && IsFormatting(e.tag)) {
        reopen_.insert(reopen_.begin() + static_cast<std::ptrdiff_t>(std::min(first, reopen_.size())),
                       Reopen{e.tag, e.node});
      }
    }
    // A bound, as browsers keep at most a few copies too.
    constexpr std::size_t kMaxReopen = 16;
    if (reopen_.size() > kMaxReopen) reopen_.erase(reopen_.begin(), reopen_.end() - kMaxReopen);
  }

  void PopThrough(int index, bool remember) {
    if (index <= 0) return;
    PopAbove(index, remember);
    const HtmlTag tag = stack_.back().tag;
    stack_.pop_back();
    if (tag == HtmlTag::Td || tag == HtmlTag::Th) ClearToCellStart();
  }

  void ClearToCellStart() {
    while (!reopen_.empty()) {
      const bool cellStart = reopen_.back().node < 0;
      reopen_.pop_back();
      if (cellStart) break;
    }
  }

  void DropReopen(HtmlTag tag) {
    for (std::size_t i = reopen_.size(); i-- > 0 && reopen_[i].node >= 0;)
      if (reopen_[i].tag == tag) {
        reopen_.erase(reopen_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
      }
  }

  // Opens again, inside the open element, the text styles that a block cut off.
  void Reconstruct() {
    std::size_t start = reopen_.size();
    while (start > 0 && reopen_[start - 1].node >= 0) --start;
    if (start == reopen_.size()) return;
    for (std::size_t i = start; i < reopen_.size(); ++i) {
      if (Top().depth + 1 > kHtmlMaxDepth) break;
      const int node = CopyElement(reopen_[i].node);
      if (node < 0) break;
      Append(Top().node, node);
      stack_.push_back({node, reopen_[i].tag, Top().depth + 1});
    }
    reopen_.resize(start);
  }

  void ClosePInScope() { PopThrough(Find(HtmlTag::P, Scope::Default), true); }

  // <li> ends an open <li>, <dt>/<dd> an open <dt> or <dd>, unless a block other than <div>,
  // <p> or <address> lies in between.
  void CloseListItem(std::initializer_list<HtmlTag> items) {
    for (int i = static_cast<int>(stack_.size()) - 1; i > 0; --i) {
      const HtmlTag t = stack_[i].tag;
      if (std::find(items.begin(), items.end(), t) != items.end()) return PopThrough(i, true);
      if (IsSpecial(t) && t != HtmlTag::Div && t != HtmlTag::P && t != HtmlTag::Address) return;
    }
  }

  // The end of a text style. When blocks were opened inside it (<b><p>x</b>y), the nearest one
  // moves out of it to follow it, and what that block holds so far goes into a copy of the
  // style inside it: so x stays bold, y is not, and both stay in the paragraph. The styles
  // opened in between wrap the block as copies.
  void EndFormatting(HtmlTag tag) {
    const int f = Find(tag, Scope::Default);
    if (f < 0) {
      DropReopen(tag);
      return;
    }
    int fb = -1;
    for (int i = f + 1; i < static_cast<int>(stack_.size()); ++i)
      if (IsSpecial(stack_[i].tag)) {
        fb = i;
        break;
      }
    if (fb < 0 || doc_.nodes.size() + static_cast<std::size_t>(fb - f) > kHtmlMaxNodes) {
      PopThrough(f, true);
      return;
    }
    const int formatting = stack_[f].node;
    const int block = stack_[fb].node;
    // The block leaves its parent, where it is the last child as it is still open.
    auto& oldSiblings = doc_.nodes[parent_[block]].children;
    if (!oldSiblings.empty() && oldSiblings.back() == block) oldSiblings.pop_back();
    const int copy = CopyElement(formatting);
    doc_.nodes[copy].children = std::move(doc_.nodes[block].children);
    for (int child : doc_.nodes[copy].children) parent_[child] = copy;
    doc_.nodes[block].children.clear();
    Append(block, copy);
    std::vector<Open_> between;
    int parent = stack_[f - 1].node;
    std::size_t depth = stack_[f - 1].depth;
    for (int i = f + 1; i < fb; ++i) {
      const int wrapper = CopyElement(stack_[i].node);
      Append(parent, wrapper);
      parent = wrapper;
      between.push_back({wrapper, stack_[i].tag, ++depth});
    }
    Append(parent, block);
    stack_[fb].depth = depth + 1;  // the block went up one level; what lies above it did not go down
    between.push_back(stack_[fb]);
    stack_.erase(stack_.begin() + f, stack_.begin() + fb + 1);
    stack_.insert(stack_.begin() + f, between.begin(), between.end());
  }

  int TableIndex() const {
    for (int i = static_cast<int>(stack_.size()) - 1; i > 0; --i)
      if (stack_[i].tag == HtmlTag::Table) return i;
    return -1;
  }

  // Puts node just before the open table, in the table's parent.
  void Foster(int node) {
    const int table = TableIndex();
    if (node < 0 || table <= 0) return;
    const int parent = parent_[stack_[table].node];
    auto& siblings = doc_.nodes[parent].children;
    auto at = std::find(siblings.rbegin(), siblings.rend(), stack_[table].node);
    siblings.insert(at == siblings.rend() ? siblings.end() : std::prev(at.base()), node);
    parent_[node] = parent;
  }

  void FosterText(const std::string& text) {
    const int table = TableIndex();
    if (table <= 0) return;
    auto& siblings = doc_.nodes[parent_[stack_[table].node]].children;
    const std::size_t before = siblings.size() >= 2 ? siblings.size() - 2 : siblings.size();
    const bool tableLast = !siblings.empty() && siblings.back() == stack_[table].node;
    if (tableLast && before < siblings.size() && doc_.nodes[siblings[before]].kind == HtmlNode::Kind::Text) {
      const std::size_t n = std::min(kHtmlMaxText - textSize_, text.size());
      doc_.nodes[siblings[before]].text.append(text, 0, n);
      textSize_ += n;
      return;
    }
    const int node = NewNode();
    if (node < 0) return;
    const std::size_t n = std::min(kHtmlMaxText - textSize_, text.size());
    doc_.nodes[node].kind = HtmlNode::Kind::Text;
    doc_.nodes[node].text.assign(text, 0, n);
    textSize_ += n;
    Foster(node);
  }

  HtmlDocument& doc_;
  std::vector<Open_> stack_;  // the open elements; stack_[0] is the root
  std::vector<Reopen> reopen_;
  std::vector<int> parent_;  // of each node
  std::size_t textSize_ = 0;
  bool skipNewline_ = false;  // a newline right after <pre> is not part of its text
};

class Tokenizer {
 public:
  Tokenizer(std::string_view s, HtmlDocument& doc) : s_(s), doc_(doc), tree_(doc) {}

  void Run() {
    std::size_t text = 0;  // where the pending text starts
    while (pos_ < s_.size()) {
      const std::size_t lt = s_.find('<', pos_);
      if (lt == std::string_view::npos || lt + 1 >= s_.size()) break;
      const char next = s_[lt + 1];
      pos_ = lt;
      if (IsAlpha(next)) {
        Flush(text, lt);
        if (!StartTag()) return;  // a tag cut off by the end of the page is dropped
      } else if (next == '/' && lt + 2 < s_.size() && IsAlpha(s_[lt + 2])) {
        Flush(text, lt);
        if (!EndTag()) return;
      } else if (next == '!' && s_.compare(lt, 4, "<!--") == 0) {
        Flush(text, lt);
        Comment();
      } else if (next == '!' || next == '?' || (next == '/' && lt + 2 < s_.size())) {
        Flush(text, lt);
        SkipPast('>');  // <!DOCTYPE ...>, <?xml ...?>, </ ...>: bogus comments
      } else {
        pos_ = lt + 1;  // a '<' that starts no tag is text
        continue;
      }
      text = pos_;
    }
    Flush(text, s_.size());
  }

 private:
  void Flush(std::size_t from, std::size_t to) {
    if (to <= from) return;
    DecodeText(s_.substr(from, to - from), false, buffer_);
    tree_.Text(buffer_);
  }

  void SkipPast(char c) {
    const std::size_t end = s_.find(c, pos_);
    pos_ = end == std::string_view::npos ? s_.size() : end + 1;
  }

  void Comment() {
    // "<!-->" and "<!--->" end at once, as in browsers.
    const std::size_t body = pos_ + 4;
    if (s_.compare(body, 1, ">") == 0) {
      pos_ = body + 1;
      return;
    }
    if (s_.compare(body, 2, "->") == 0) {
      pos_ = body + 2;
      return;
    }
    const std::size_t end = s_.find("-->", body);
    pos_ = end == std::string_view::npos ? s_.size() : end + 3;
  }

  std::string ReadName() {
    std::string name;
    for (; pos_ < s_.size() && !IsSpace(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>'; ++pos_)
      if (name.size() < 16) name += AsciiLower(s_[pos_]);  // no known tag is longer
    return name;
  }

  // Reads the attributes up to and past the tag's '>'; false when the page ends first.
  bool ReadAttributes(std::vector<HtmlAttribute>* out) {
    while (true) {
      while (pos_ < s_.size() && (IsSpace(s_[pos_]) || s_[pos_] == '/')) ++pos_;
      if (pos_ >= s_.size()) return false;
      if (s_[pos_] == '>') {
        ++pos_;
        return true;
      }
      const std::size_t nameStart = pos_++;  // a leading '=' belongs to the name
      while (pos_ < s_.size() && !IsSpace(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>' && s_[pos_] != '=')
        ++pos_;
      const std::string_view name = s_.substr(nameStart, pos_ - nameStart);
      std::size_t p = pos_;
      while (p < s_.size() && IsSpace(s_[p])) ++p;
      std::string_view value;
      if (p < s_.size() && s_[p] == '=') {
        ++p;
        while (p < s_.size() && IsSpace(s_[p])) ++p;
        if (p < s_.size() && (s_[p] == '"' || s_[p] == '\'')) {
          const std::size_t close = s_.find(s_[p], p + 1);
          if (close == std::string_view::npos) return false;
          value = s_.substr(p + 1, close - p - 1);
          p = close + 1;
        } else {
          const std::size_t start = p;
          while (p < s_.size() && !IsSpace(s_[p]) && s_[p] != '>') ++p;
          value = s_.substr(start, p - start);
        }
        pos_ = p;
      }
      if (out) Add(*out, name, value);
    }
  }

  void Add(std::vector<HtmlAttribute>& out, std::string_view name, std::string_view value) {
    if (out.size() >= kHtmlMaxAttributes) return;
    HtmlAttribute a;
    for (char c : name.substr(0, kHtmlMaxAttributeLength)) a.name += AsciiLower(c);
    for (const auto& b : out)
      if (b.name == a.name) return;  // the first one counts
    DecodeText(value.substr(0, kHtmlMaxAttributeLength), true, a.value);
    if (a.value.size() > kHtmlMaxAttributeLength) a.value.resize(kHtmlMaxAttributeLength);
    out.push_back(std::move(a));
  }

  bool StartTag() {
    ++pos_;
    Tag t;
    t.name = ReadName();
    t.tag = HtmlTagOf(t.name);
    if (!ReadAttributes(&t.attributes)) return false;
    switch (t.tag) {
      case HtmlTag::Script: case HtmlTag::Style:
        SkipRawText(t.name);
        return true;
      case HtmlTag::Title: {
        const std::size_t start = pos_;
        const std::size_t end = SkipRawText(t.name);
        if (doc_.title.empty()) Title(s_.substr(start, end - start));
        return true;
      }
      default:
        tree_.Start(t);
        return true;
    }
  }

  bool EndTag() {
    pos_ += 2;
    const HtmlTag tag = HtmlTagOf(ReadName());
    if (!ReadAttributes(nullptr)) return false;
    tree_.End(tag);
    return true;
  }

  // Moves past "</name ...>" ending raw text (script, style, title); returns where the raw
  // text ends. Without such an end the text runs to the end of the page.
  std::size_t SkipRawText(std::string_view name) {
    for (std::size_t p = s_.find("</", pos_); p != std::string_view::npos; p = s_.find("</", p + 2)) {
      std::size_t q = p + 2, k = 0;
      while (k < name.size() && q < s_.size() && AsciiLower(s_[q]) == name[k]) ++q, ++k;
      if (k < name.size() || (q < s_.size() && !IsSpace(s_[q]) && s_[q] != '/' && s_[q] != '>')) continue;
      pos_ = q;
      if (!ReadAttributes(nullptr)) pos_ = s_.size();
      return p;
    }
    pos_ = s_.size();
    return s_.size();
  }

  void Title(std::string_view raw) {
    DecodeText(raw.substr(0, kHtmlMaxTitle * 8), false, buffer_);
    for (char c : buffer_) {
      if (doc_.title.size() >= kHtmlMaxTitle) break;
      if (IsSpace(c)) {
        if (!doc_.title.empty() && doc_.title.back() != ' ') doc_.title += ' ';
      } else {
        doc_.title += c;
      }
    }
    if (!doc_.title.empty() && doc_.title.back() == ' ') doc_.title.pop_back();
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  HtmlDocument& doc_;
  TreeBuilder tree_;
  std::string buffer_;
};

}  // namespace

HtmlTag HtmlTagOf(std::string_view name) {
  auto it = std::lower_bound(std::begin(kTags), std::end(kTags), name,
                             [](const auto& e, std::string_view n) { return e.first < n; });
  return it != std::end(kTags) && it->first == name ? it->second : HtmlTag::Unknown;
}

const std::string* HtmlNode::Attribute(std::string_view attributeName) const {
  for (const auto& a : attributes)
    if (a.name == attributeName) return &a.value;
  return nullptr;
}

HtmlDocument ParseHtml(std::string_view html) {
  HtmlDocument doc;
  Tokenizer(html, doc).Run();
  return doc;
}

}  // namespace sorel
