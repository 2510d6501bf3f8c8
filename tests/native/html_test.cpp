// The HTML parser and layout: trees for tag soup, and items for small pages under the fake metric
// of tests/support/html_fakes.h (10 points: characters 5 px wide, lines 13 px high, ascent 10).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/html_fakes.h"

namespace sorel::test {
namespace {

// The tree compactly: name attr="value"[children], text in quotes.
std::string Tree(const HtmlDocument& d, int id = 0) {
  const HtmlNode& n = d.nodes[id];
  if (n.kind == HtmlNode::Kind::Text) return "\"" + n.text + "\"";
  std::string s = n.name;
  for (const auto& a : n.attributes) s += " " + a.name + "=\"" + a.value + "\"";
  std::string children;
  for (int c : n.children) children += Tree(d, c);
  return id == 0 ? children : s + "[" + children + "]";
}

int Depth(const HtmlDocument& d, int id = 0) {
  int deepest = 0;
  for (int c : d.nodes[id].children)
    if (d.nodes[c].kind == HtmlNode::Kind::Element) deepest = std::max(deepest, 1 + Depth(d, c));
  return deepest;
}

TEST(HtmlParse, MendsTagSoupAsBrowsersDo) {
  struct Case {
    const char* what;
    const char* html;
    const char* tree;
  } cases[] = {
      {"tags and attribute names in any case; quoted, unquoted and bare values",
       R"(<P ALIGN=Center><A HREF='x.htm' Title="a b" nohref>t</a>)",
       R"(p align="Center"[a href="x.htm" title="a b" nohref=""["t"]])"},
      {"the first of an attribute counts", R"(<p align=left align=right>)", R"(p align="left"[])"},
      {"a paragraph ends at the next", "<p>a<p>b", R"(p["a"]p["b"])"},
      {"a paragraph ends at a block", "<p>a<div>b</div>c", R"(p["a"]div["b"]"c")"},
      {"list items end at the next", "<ul><li>a<ul><li>b</ul><li>c</ul>", R"(ul[li["a"ul[li["b"]]]li["c"]])"},
      {"terms and definitions end at the next", "<dl><dt>t<dd>d<dt>u</dl>", R"(dl[dt["t"]dd["d"]dt["u"]])"},
      {"cells and rows end at the next", "<table><tr><td>a<td>b<tr><td>c</table>",
       R"(table[tr[td["a"]td["b"]]tr[td["c"]]])"},
      {"a row is implied, tbody makes no node", "<table><tbody><td>a</td></tbody></table>", R"(table[tr[td["a"]]])"},
      {"text between cells goes before the table", "<table>x<tr><td>a</table>", R"("x"table[tr[td["a"]]])"},
      {"an end tag closes what was opened after its element; the styles carry on",
       "<div><b><i>x</div>y", R"(div[b[i["x"]]]b[i["y"]])"},
      {"end tags with nothing to close are ignored", "a</p></td></b></ul>b", R"("ab")"},
      {"misnested styles", "<b>1<i>2</b>3</i>4", R"(b["1"i["2"]]i["3"]"4")"},
      {"a style ended inside a block stays in the block", "<b>1<p>2</b>3</p>", R"(b["1"]p[b["2"]"3"])"},
      {"a link inside a link ends it", "<a href=1>x<a href=2>y", R"(a href="1"["x"]a href="2"["y"])"},
      {"a heading ends at another", "<h1>a<h2>b</h1>c", R"(h1["a"]h2["b"]"c")"},
      {"unknown tags go, their content stays", "<blink>a<foo x=1>b</foo></blink>", R"("ab")"},
      {"comments, doctype, processing instructions", "<!DOCTYPE html><?xml x?>a<!-- <b> -->b<!-->c<!-- x", R"("abc")"},
      {"script and style skipped, title apart", "<title>T</title><script>if (a<b) x=\"</p>\";</SCRIPT >x<style>p{}</style>y",
       R"("xy")"},
      {"void elements hold nothing", "<p>a<br>b<img src=x>c<hr>d", R"(p["a"br[]"b"img src="x"[]"c"]hr[]"d")"},
      {"</br> is a line break", "a</br>b", R"("a"br[]"b")"},
      {"a '<' that starts no tag is text", "a < b <3 c<", R"("a < b <3 c<")"},
      {"a tag cut off by the end is dropped", R"(a<b c="d)", R"("a")"},
      {"pre loses its first line end; line ends become \\n", "<pre>\r\na\r\nb\rc</pre>", "pre[\"a\nb\nc\"]"},
      {"named and numeric entities, 8-bit; above 255 a '?'",
       "&amp;&lt;&gt;&quot;&nbsp;&copy;&auml;&Auml;&#65;&#x42;&#233;&#8364;&#0;&bogus;&copy2&amp",
       "\"&<>\"\xA0\xA9\xE4\xC4"
       "AB\xE9??&bogus;\xA9"
       "2&\""},
      {"in attributes an entity without ';' before '=' or a letter stays", R"(<a href="?a=1&copy=2&ampx&lt;&amp">)",
       R"(a href="?a=1&copy=2&ampx<&"[])"},
      {"a style cut off by blocks reopens in each with its attributes", "<p><font color=red size=2>a<p>b<div>c</div>d",
       R"(p[font color="red" size="2"["a"]]p[font color="red" size="2"["b"]]div[font color="red" size="2"["c"]])"
       R"(font color="red" size="2"["d"])"},
      {"styles reopen in list items, each with its own attributes", "<ul><li><i title=t><font color=red>a<li>b</ul>",
       R"(ul[li[i title="t"[font color="red"["a"]]]li[i title="t"[font color="red"["b"]]]])"},
      {"a style ended in a block leaves a copy with its attributes there", "<font color=red><div>x</font>y</div>",
       R"(font color="red"[]div[font color="red"["x"]"y"])"},
  };
  for (const auto& c : cases) EXPECT_EQ(Tree(ParseHtml(c.html)), c.tree) << c.what;
}

TEST(HtmlParse, TitleAndBody) {
  const HtmlDocument d = ParseHtml("<html><head><title>\n My   page </title><title>no</title></head>"
                                   "<body bgcolor=red><body text=blue bgcolor=white>x");
  EXPECT_EQ(d.title, "My page");
  ASSERT_EQ(d.body.size(), 2u);
  EXPECT_EQ(d.body[0].name + "=" + d.body[0].value, "bgcolor=red");
  EXPECT_EQ(d.body[1].name + "=" + d.body[1].value, "text=blue");
}

TEST(HtmlParse, StaysWithinItsBounds) {
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += i % 2 ? "<div>" : "<b><p>";
  EXPECT_EQ(Depth(ParseHtml(deep + "x")), static_cast<int>(kHtmlMaxDepth));

  std::string many;
  for (std::size_t i = 0; i < kHtmlMaxNodes + 100; ++i) many += "<br>";
  EXPECT_EQ(ParseHtml(many).nodes.size(), kHtmlMaxNodes);

  std::string tag = "<p";
  for (int i = 0; i < 40; ++i) tag += " a" + std::to_string(i) + "=1";
  tag += " long=" + std::string(5000, 'v') + ">";
  const HtmlDocument d = ParseHtml(tag);
  ASSERT_EQ(d.nodes[1].attributes.size(), kHtmlMaxAttributes);
  const HtmlDocument d2 = ParseHtml("<p title=" + std::string(5000, 'v') + ">");
  EXPECT_EQ(d2.nodes[1].attributes[0].value.size(), kHtmlMaxAttributeLength);

  const HtmlDocument text = ParseHtml(std::string(kHtmlMaxText + 10, 'x') + "<b>more</b>");
  EXPECT_EQ(text.nodes[1].text.size(), kHtmlMaxText);
  EXPECT_EQ(Tree(text).size(), kHtmlMaxText + 2 + 3);  // the quotes and an empty b[]
}

// The bytes of attribute names and values the tree holds, each list counted once however many
// nodes share it.
std::size_t AttributeBytes(const HtmlDocument& d) {
  std::set<const HtmlAttribute*> lists;
  std::size_t bytes = 0;
  for (const HtmlNode& n : d.nodes)
    if (!n.attributes.empty() && lists.insert(&n.attributes[0]).second)
      for (const auto& a : n.attributes) bytes += a.name.size() + a.value.size();
  return bytes;
}

// The elements called name whose attribute title has the given value.
int Titled(const HtmlDocument& d, const std::string& name, const std::string& title) {
  int n = 0;
  for (const HtmlNode& node : d.nodes)
    if (node.name == name && node.Attribute("title") && *node.Attribute("title") == title) ++n;
  return n;
}

// A text style reopened again and again (after every paragraph, list item or block that cut it
// off) keeps its attributes in every copy, yet the tree holds them no more than the page wrote
// them: the memory stays within the page's size however many copies there are.
TEST(HtmlParse, StylesReopenedManyTimesShareTheirAttributes) {
  const std::string title(kHtmlMaxAttributeLength, 't');
  constexpr int kRepeats = 2000;
  struct Case {
    const char* what;
    std::string head, unit;  // the page: head, then unit kRepeats times
    const char* style;       // the element that carries the title
    int copies;              // of it, the first included
  } cases[] = {
      {"a font reopened in every paragraph", "<p><font color=red title=" + title + ">x", "<p>x", "font", kRepeats + 1},
      {"styles reopened in every list item", "<ul><li><b title=" + title + "><i>x", "<li>x", "b", kRepeats + 1},
      {"a style reopened in a block and again after it", "<p><u title=" + title + ">x", "<div>y</div><p>z", "u",
       2 * kRepeats + 1},
      {"a link cut off by paragraphs", "<p><a href=x title=" + title + ">x", "<p>y", "a", kRepeats + 1},
  };
  for (const auto& c : cases) {
    std::string page = c.head;
    for (int i = 0; i < kRepeats; ++i) page += c.unit;
    const HtmlDocument d = ParseHtml(page);
    EXPECT_EQ(Titled(d, c.style, title), c.copies) << c.what;
    EXPECT_LE(AttributeBytes(d), page.size()) << c.what;
  }
}

// One item on one line: kind, box, then what matters for its kind.
std::string Describe(const DrawItem& item) {
  char box[64];
  std::snprintf(box, sizeof box, " %d,%d %dx%d", item.box.x, item.box.y, item.box.width, item.box.height);
  char color[16];
  std::snprintf(color, sizeof color, " #%06X", static_cast<unsigned>(item.kind == DrawItem::Kind::Fill ? item.color : item.style.color));
  switch (item.kind) {
    case DrawItem::Kind::Fill:
      return std::string("F") + box + color;
    case DrawItem::Kind::Image:
      return std::string("I") + box + " \"" + item.text + "\"" + (item.alt.empty() ? "" : " alt=" + item.alt) +
             (item.link >= 0 ? " L" + std::to_string(item.link) : "");
    case DrawItem::Kind::Text:
      break;
  }
  std::string s = std::string("T") + box + " \"" + item.text + "\" " + std::to_string(item.style.font.points) + "pt";
  if (item.style.font.bold) s += " B";
  if (item.style.font.italic) s += " I";
  if (item.style.font.underline) s += " U";
  if (item.style.font.face != LayoutOptions().base.font.face) s += " [" + item.style.font.face + "]";
  if (item.style.color != 0) s += color;
  if (item.link >= 0) s += " L" + std::to_string(item.link);
  if (item.lineStart) s += " ^";
  return s;
}

struct Laid {
  FakeTextMetrics metrics;
  FakeImageSizes images;
  LaidOutPage page;
  Laid(const std::string& html, int width) {
    images.sizes["a.gif"] = {32, 16};
    LayoutOptions options;
    options.width = width;
    page = LayoutHtml(ParseHtml(html), options, metrics, images);
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> out;
    for (const auto& item : page.items) out.push_back(Describe(item));
    return out;
  }
};

// Worked out by hand: the page margin is 8; a paragraph's margin one line (13), collapsing.
TEST(HtmlLayout, PlacesItemsAsWorkedOut) {
  struct Case {
    const char* what;
    const char* html;
    int width;
    std::vector<std::string> items;
  } cases[] = {
      {"words wrap at spaces; an exact fit stays", "<p>aaa bbb ccc ddd</p>", 51,
       {R"(T 8,8 35x13 "aaa bbb" 10pt ^)", R"(T 8,21 35x13 "ccc ddd" 10pt ^)"}},
      {"a word wider than the line overflows on a line of its own", "ab abcdefgh cd", 36,
       {R"(T 8,8 10x13 "ab" 10pt ^)", R"(T 8,21 40x13 "abcdefgh" 10pt ^)", R"(T 8,34 10x13 "cd" 10pt ^)"}},
      {"width 0: a word a line", "ab cd", 0, {R"(T 8,8 10x13 "ab" 10pt ^)", R"(T 8,21 10x13 "cd" 10pt ^)"}},
      {"width 1 as well", "ab cd", 1, {R"(T 8,8 10x13 "ab" 10pt ^)", R"(T 8,21 10x13 "cd" 10pt ^)"}},
      {"spaces collapse, none at a line's start", "  a \n\t b  ", 400, {R"(T 8,8 15x13 "a b" 10pt ^)"}},
      {"br ends a line; a second makes an empty one", "a<br>b<br><br>c", 400,
       {R"(T 8,8 5x13 "a" 10pt ^)", R"(T 8,21 5x13 "b" 10pt ^)", R"(T 8,47 5x13 "c" 10pt ^)"}},
      {"paragraph margins collapse and none is kept at the top", "<p>a</p><p>b</p>c<div>d</div>", 400,
       {R"(T 8,8 5x13 "a" 10pt ^)", R"(T 8,34 5x13 "b" 10pt ^)", R"(T 8,60 5x13 "c" 10pt ^)",
        R"(T 8,73 5x13 "d" 10pt ^)"}},
      {"headings: bold, 200% and 117%, margins of 67% and 100% of their line", "<h1>H</h1><h3>T</h3>x", 400,
       {R"(T 8,8 10x27 "H" 20pt B ^)", R"(T 8,53 6x16 "T" 12pt B ^)", R"(T 8,85 5x13 "x" 10pt ^)"}},
      {"styles; a space takes the style of the text it stands in; runs merge",
       "<b>a b</b> c<i>d</i><u>e</u><tt>f</tt>", 400,
       {R"(T 8,8 15x13 "a b" 10pt B ^)", R"(T 23,8 10x13 " c" 10pt)", R"(T 33,8 5x13 "d" 10pt I)",
        R"(T 38,8 5x13 "e" 10pt U)", R"(T 43,8 5x13 "f" 10pt [Courier New])"}},
      {"font size, colour and face; baselines aligned", R"(a<font size=7 color=red face="Arial, Helvetica">B</font>c)",
       400,
       {R"(T 8,30 5x13 "a" 10pt ^)", R"(T 13,8 15x40 "B" 30pt [Arial] #FF0000)", R"(T 28,30 5x13 "c" 10pt)"}},
      {"a face longer than the system's font names is cut to 31 characters",
       R"(<font face=" Abcdefghijklmnopqrstuvwxyz0123456789, Arial">x</font><font face=Abcdefghijklmnopqrstuvwxyz01234>y)",
       400,
       {R"(T 8,8 10x13 "xy" 10pt [Abcdefghijklmnopqrstuvwxyz01234] ^)"}},
      {"relative font sizes count from 3 and stop at 1 and 7", "<font size=-1>s</font><font size=+9>L</font>", 400,
       {R"(T 8,32 4x11 "s" 8pt ^)", R"(T 12,8 15x40 "L" 30pt)"}},
      {"pictures: natural size, scaled by one side, placeholder; bottoms on the baseline",
       "<img src=a.gif><img src=a.gif width=64><img src=none.gif alt=Hi><img src=none.gif width=7 height=9>", 400,
       {R"(I 8,24 32x16 "a.gif")", R"(I 40,8 64x32 "a.gif")", R"(I 104,20 20x20 "none.gif" alt=Hi)",
        R"(I 124,31 7x9 "none.gif")"}},
      {"a picture's middle on the text's middle", "x<img src=a.gif align=middle>y", 400,
       {R"(T 8,11 5x13 "x" 10pt ^)", R"(I 13,8 32x16 "a.gif")", R"(T 45,11 5x13 "y" 10pt)"}},
      {"a picture aligned left: lines beside it shortened until its bottom", "<img src=a.gif align=left>aaa bbb ccc",
       76,
       {R"(I 8,8 32x16 "a.gif")", R"(T 44,8 15x13 "aaa" 10pt ^)", R"(T 44,21 15x13 "bbb" 10pt ^)",
        R"(T 8,34 15x13 "ccc" 10pt ^)"}},
      {"a picture aligned right; br clear goes below it", "<img src=a.gif align=right>x<br clear=all>y", 416,
       {R"(I 376,8 32x16 "a.gif")", R"(T 8,8 5x13 "x" 10pt ^)", R"(T 8,24 5x13 "y" 10pt ^)"}},
      {"lists: bullets, numbers from start and value, other kinds of numbers",
       "<ul><li>a<li>b</ul><ol start=3><li>c<li value=9>d</ol><ol type=i start=4><li>e</ol>", 400,
       {"F 39,12 4x4 #000000", R"(T 48,8 5x13 "a" 10pt ^)", "F 39,25 4x4 #000000", R"(T 48,21 5x13 "b" 10pt ^)",
        R"(T 33,47 10x13 "3." 10pt ^)", R"(T 48,47 5x13 "c" 10pt)", R"(T 33,60 10x13 "9." 10pt ^)",
        R"(T 48,60 5x13 "d" 10pt)", R"(T 28,86 15x13 "iv." 10pt ^)", R"(T 48,86 5x13 "e" 10pt)"}},
      {"a list in a list: indented again, no margins", "<ul><li>a<ul><li>b</ul></ul>x", 400,
       {"F 39,12 4x4 #000000", R"(T 48,8 5x13 "a" 10pt ^)", "F 79,25 4x4 #000000", R"(T 88,21 5x13 "b" 10pt ^)",
        R"(T 8,47 5x13 "x" 10pt ^)"}},
      {"pre keeps spaces, line ends and tabs, and never wraps", "<pre>a  b\n\tc</pre>", 30,
       {R"(T 8,8 20x13 "a  b" 10pt [Courier New] ^)", R"(T 8,21 45x13 "        c" 10pt [Courier New] ^)"}},
      {"rules: the whole width, or as wide as asked and centred; half a line around", "a<hr>b<hr width=50 size=3>",
       216, {R"(T 8,8 5x13 "a" 10pt ^)", "F 8,27 200x2 #808080", R"(T 8,35 5x13 "b" 10pt ^)", "F 83,54 50x3 #808080"}},
      {"a table with borders: cells padded inside a one-pixel rule, then the table's border",
       "<table border=1 cellpadding=2 cellspacing=0><tr><td>ab<td>c</table>", 416,
       {R"(T 12,12 10x13 "ab" 10pt ^)", R"(T 28,12 5x13 "c" 10pt ^)", "F 9,9 16x1 #808080", "F 9,27 16x1 #808080",
        "F 9,9 1x19 #808080", "F 24,9 1x19 #808080", "F 25,9 11x1 #808080", "F 25,27 11x1 #808080",
        "F 25,9 1x19 #808080", "F 35,9 1x19 #808080", "F 8,8 29x1 #808080", "F 8,28 29x1 #808080",
        "F 8,8 1x21 #808080", "F 36,8 1x21 #808080"}},
      {"columns share the room by what they lack; a short cell is centred vertically",
       "<table cellspacing=0 cellpadding=0><tr><td>aa bb cc dd<td>x</table>", 46,
       {R"(T 8,8 25x13 "aa bb" 10pt ^)", R"(T 8,21 25x13 "cc dd" 10pt ^)", R"(T 33,14 5x13 "x" 10pt ^)"}},
      {"a header spanning two columns, bold and centred",
       "<table cellspacing=0 cellpadding=0><tr><th colspan=2>h<tr><td>aaa<td>bbb</table>", 400,
       {R"(T 20,8 5x13 "h" 10pt B ^)", R"(T 8,21 15x13 "aaa" 10pt ^)", R"(T 23,21 15x13 "bbb" 10pt ^)"}},
      {"links: blue and underlined unless a colour inside says otherwise",
       R"(<p>x <a href="a.htm">go <b>there</b></a> <a href=b.htm>b</a><p><a href=c><font color=green>g</font></a>)",
       400,
       {R"(T 8,8 10x13 "x " 10pt ^)", R"(T 18,8 15x13 "go " 10pt U #0000FF L0)",
        R"(T 33,8 25x13 "there" 10pt B U #0000FF L0)", R"(T 58,8 5x13 " " 10pt)", R"(T 63,8 5x13 "b" 10pt U #0000FF L1)",
        R"(T 8,34 5x13 "g" 10pt U #008000 L2 ^)"}},
      {"centre and right alignment", "<center>ab</center><p align=right>c</p>", 116,
       {R"(T 53,8 10x13 "ab" 10pt ^)", R"(T 103,34 5x13 "c" 10pt ^)"}},
      {"blockquote indents both sides, dd the left", "<blockquote>aaa bbb c</blockquote><dl><dt>t<dd>d</dl>", 131,
       {R"(T 48,8 35x13 "aaa bbb" 10pt ^)", R"(T 48,21 5x13 "c" 10pt ^)", R"(T 8,47 5x13 "t" 10pt ^)",
        R"(T 48,60 5x13 "d" 10pt ^)"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Laid(c.html, c.width).Items(), c.items) << c.what;
}

TEST(HtmlLayout, LinksAnchorsAndPage) {
  const Laid laid("<title>T</title><body bgcolor=#102030 text=navy link=red><a name=top></a><p>x<br>"
                  "<a href=\"a.htm\">a</a> <a href=b.htm>b<p id=second>c</a> <a name=last></a>d<a name=top>",
                  400);
  const LaidOutPage& p = laid.page;
  EXPECT_EQ(p.title, "T");
  EXPECT_EQ(p.background, 0x102030u);
  EXPECT_EQ(p.links, (std::vector<std::string>{"a.htm", "b.htm", "b.htm"}));  // the link reopened in the paragraph
  // Named places take the top of the line they stand on; the first of a name counts.
  EXPECT_EQ(p.anchors, (std::map<std::string, int>{{"top", 8}, {"second", 47}, {"last", 47}}));
  ASSERT_EQ(laid.Items().size(), 6u);
  EXPECT_EQ(laid.Items()[0], R"(T 8,8 5x13 "x" 10pt #000080 ^)");
  EXPECT_EQ(laid.Items()[1], R"(T 8,21 5x13 "a" 10pt U #FF0000 L0 ^)");
  EXPECT_EQ(p.width, 8 + 15);
  EXPECT_EQ(p.height, 47 + 13);
}

// A word that wraps takes the places named just before it to its line.
TEST(HtmlLayout, AnchorBeforeAWrappedWord) {
  const Laid laid("aaa <a name=n>bbb", 8 + 20 + 8);
  EXPECT_EQ(laid.page.anchors.at("n"), 21);
}

// Trees the parser never makes must not break the layout either: it lays out what it can reach
// within its bounds, once.
TEST(HtmlLayout, SurvivesAnyTree) {
  FakeTextMetrics metrics;
  FakeImageSizes images;
  const auto element = [](const char* name, std::vector<int> children) {
    HtmlNode n;
    n.name = name;
    n.children = std::move(children);
    return n;
  };
  HtmlNode text;
  text.kind = HtmlNode::Kind::Text;
  text.text = "x";
  struct Case {
    const char* what;
    std::vector<HtmlNode> nodes;
    int fewest, most;  // times "x" shows
  } cases[] = {
      {"no nodes at all", {}, 0, 0},
      {"children out of range", {element("", {1, -5, 99}), element("p", {7})}, 0, 0},
      {"a node its own child", {element("", {1}), element("b", {1, 2}), text}, 1, 2},
      {"one node reached many ways",
       {element("", {1, 1, 1, 1}), element("div", {2, 2, 2, 2}), element("table", {3, 3}), element("tr", {4, 4}),
        element("td", {5, 5, 1}), text},
       0, 2},
      {"cells and rows without a table, a table of text",
       {element("", {1, 2, 3}), element("td", {4}), element("tr", {4}), element("table", {4, 1}), text}, 1, 2},
      {"a chain deeper than any stack", {}, 0, 0},
  };
  for (int i = 0; i < 100000; ++i) cases[5].nodes.push_back(element(i % 3 ? "ul" : "table", {i + 1}));
  cases[5].nodes.push_back(text);
  for (auto& c : cases) {
    HtmlDocument d;
    d.nodes = c.nodes;
    for (int width : {-10, 0, 1, 300}) {
      LayoutOptions options;
      options.width = width;
      const LaidOutPage page = LayoutHtml(d, options, metrics, images);
      int shown = 0;
      for (const auto& item : page.items) {
        EXPECT_GE(item.box.width, 0) << c.what;
        EXPECT_GE(item.box.height, 0) << c.what;
        if (item.kind == DrawItem::Kind::Text) shown += static_cast<int>(std::count(item.text.begin(), item.text.end(), 'x'));
      }
      EXPECT_LE(shown, c.most) << c.what << " at width " << width;
      EXPECT_GE(shown, c.fewest) << c.what << " at width " << width;
    }
  }
}

}  // namespace
}  // namespace sorel::test
