// Fuzz target: the HTML parser over arbitrary bytes. Besides the sanitizers' findings, the tree
// must be a tree within its bounds: every child index valid, every node but the root the child
// of exactly one element, no element deeper than kHtmlMaxDepth. Any breach aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "toolkit/html/html_document.h"

namespace {

using namespace sorel;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "tree broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HtmlDocument doc = ParseHtml(std::string_view(reinterpret_cast<const char*>(data), size));
  if (doc.nodes.empty() || doc.nodes.size() > kHtmlMaxNodes) Fail("node count");
  std::vector<int> parents(doc.nodes.size(), 0);
  std::size_t text = 0;
  for (const HtmlNode& n : doc.nodes) {
    if (n.kind == HtmlNode::Kind::Text) {
      if (!n.children.empty()) Fail("text with children");
      text += n.text.size();
    }
    if (n.attributes.size() > kHtmlMaxAttributes) Fail("attribute count");
    for (const auto& a : n.attributes)
      if (a.name.size() > kHtmlMaxAttributeLength || a.value.size() > kHtmlMaxAttributeLength) Fail("attribute length");
    for (int c : n.children) {
      if (c <= 0 || static_cast<std::size_t>(c) >= doc.nodes.size()) Fail("child index");
      ++parents[c];
    }
  }
  if (text > kHtmlMaxText) Fail("text size");
  if (doc.title.size() > kHtmlMaxTitle) Fail("title size");
  for (std::size_t i = 1; i < parents.size(); ++i)
    if (parents[i] != 1) Fail("a node not in the tree exactly once");
  // Depth first without recursion: a tree reaches every node once from the root.
  std::vector<std::pair<int, std::size_t>> stack{{0, 0}};
  std::size_t reached = 0;
  while (!stack.empty()) {
    const auto [id, depth] = stack.back();
    stack.pop_back();
    if (++reached > doc.nodes.size()) Fail("a cycle");
    const HtmlNode& n = doc.nodes[id];
    if (n.kind == HtmlNode::Kind::Element && depth > kHtmlMaxDepth) Fail("too deep");
    for (int c : n.children) stack.push_back({c, depth + 1});
  }
  if (reached != doc.nodes.size()) Fail("a node out of the tree");
  return 0;
}
