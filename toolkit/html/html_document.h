// A tolerant HTML parser: whatever the text, a bounded document tree comes out.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sorel {

struct HtmlAttribute {
  std::string name;   // lower case
  std::string value;  // entities resolved; "" for an attribute written without a value
};

// The attributes of one tag: in the order written, no name twice, never changed once made.
// The parser makes a copy of a text style's element each time a block cuts it off and text goes
// on (<p><font ...>a<p>b<p>c gives a font in every paragraph); the copies share the list of the
// element they copy, so the attributes of the whole tree take no more memory than the tags
// written in the page, however many copies there are.
class HtmlAttributes {
 public:
  HtmlAttributes() = default;
  explicit HtmlAttributes(std::vector<HtmlAttribute> list)
      : list_(list.empty() ? nullptr : std::make_shared<const std::vector<HtmlAttribute>>(std::move(list))) {}

  std::size_t size() const { return list_ ? list_->size() : 0; }
  bool empty() const { return size() == 0; }
  const HtmlAttribute& operator[](std::size_t i) const { return (*list_)[i]; }
  const HtmlAttribute* begin() const { return list_ ? list_->data() : nullptr; }
  const HtmlAttribute* end() const { return begin() + size(); }

 private:
  std::shared_ptr<const std::vector<HtmlAttribute>> list_;
};

struct HtmlNode {
  enum class Kind { Element, Text };
  Kind kind = Kind::Element;
  std::string name;                      // Element: the tag in lower case; "" for the root
  HtmlAttributes attributes;             // Element
  std::string text;                      // Text: 8-bit characters, entities resolved, line ends "\n"
  std::vector<int> children;             // indices into HtmlDocument::nodes, in document order

  // The value of the first attribute of that (lower-case) name, or nullptr.
  const std::string* Attribute(std::string_view attributeName) const;
};

// The page as a tree in one array: nodes[0] is the root, which holds the body's content (the
// <html>, <head> and <body> tags themselves make no nodes). Only known elements make nodes;
// the content of an unknown one goes to its parent. Adjacent text is one node. Whitespace is
// kept as written: collapsing it is the layout's business.
struct HtmlDocument {
  std::vector<HtmlNode> nodes;
  std::string title;                     // the first <title>, whitespace collapsed
  std::vector<HtmlAttribute> body;       // the attributes of <body> (bgcolor, text, link, ...)
};

// Bounds on what ParseHtml keeps. Elements nested deeper than kHtmlMaxDepth are not made: their
// content goes to the deepest element. Past kHtmlMaxNodes nodes or kHtmlMaxText characters of
// text, further content is dropped. Attributes past kHtmlMaxAttributes on one tag are dropped,
// names and values are cut at kHtmlMaxAttributeLength.
constexpr std::size_t kHtmlMaxDepth = 64;
constexpr std::size_t kHtmlMaxNodes = 100000;
constexpr std::size_t kHtmlMaxText = std::size_t{4} << 20;
constexpr std::size_t kHtmlMaxAttributes = 32;
constexpr std::size_t kHtmlMaxAttributeLength = 2048;
constexpr std::size_t kHtmlMaxTitle = 1024;

// Parses a page in the system's ANSI code page in time linear in its length. Tags and attribute
// names are case-insensitive; attribute values may be quoted, unquoted or absent. Comments,
// <!DOCTYPE> and <?...?> are skipped, so are the contents of <script> and <style>; <title> goes to
// HtmlDocument::title. Entities: the Latin-1 names, &amp; &lt; &gt; &quot; &apos; and a few
// typographic ones, and numeric &#nnn; &#xhh;; a character above 255 becomes '?'. Missing and
// misnested tags are mended roughly as browsers do: <p>, <li>, <dt>/<dd>, <tr> and <td>/<th>
// end where the next one or an enclosing block starts, an end tag closes the elements opened
// after its own, an end tag with nothing open to close is ignored, and text styles cut off by
// a block (<b><p>x</b>y) carry on where the text does.
HtmlDocument ParseHtml(std::string_view html);

}  // namespace sorel
