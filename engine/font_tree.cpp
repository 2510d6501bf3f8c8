// The font tree (a node per face, a child per script) and the records of which script entries the table holds.
#include "engine/font_tree.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/font_inventory.h"

namespace sorel {

namespace {

// The pieces joined in one allocation: a rebuild composes three texts for every script of every face.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::size_t length = 0;
  for (std::string_view piece : pieces) length += piece.size();
  std::string text;
  text.reserve(length);
  for (std::string_view piece : pieces) text += piece;
  return text;
}

}  // namespace

std::string ScriptEntry(const std::string& face, const std::string& suffix, int charset) {
  std::string n = std::to_string(charset);
  return Join({face, " ", suffix, ",", n, "=", face, ",", n});
}

std::string WesternEntry(const std::string& face, int charset) {
  return Join({face, ",0=", face, ",", std::to_string(charset)});
}

std::string ScriptNodeText(const std::string& face, std::string_view script, int charset, bool western) {
  std::string n = std::to_string(charset);
  return Join({face, " (", script.empty() ? "Script: " : script, script.empty() ? n : "", ")",
               western ? kWesternMark : ""});
}

int ClassifyFont(FontTreeContext& context, const IgnoreCaseIndex& table, const std::string& face, NodeId fontNode) {
  int enabled = 0, disabled = 0;
  if (!context.handleAllocated) return -1;
  std::unique_ptr<ScreenDC> dc = context.fonts.GetScreenDC();
  EnumFaceScripts(*dc, face, context.FaceScripts);
  // Several styles may name one character set differently; the first element of a number, in
  // sorted order, speaks for all of them. Walking in order, that is the first one seen. A face
  // has a handful of character sets, so a list searched from the front does.
  std::vector<std::pair<std::string, std::string_view>> firstScripts;  // ignore-case key of N, script
  for (const std::string& element : context.FaceScripts.Items()) {
    std::size_t eq = element.find('=');
    std::string n = element.substr(0, eq);
    std::string key = context.compare.IgnoreCaseKey(n);
    auto first = std::find_if(firstScripts.begin(), firstScripts.end(), [&](const auto& f) { return f.first == key; });
    if (first == firstScripts.end()) {
      firstScripts.emplace_back(std::move(key), std::string_view(element).substr(eq + 1));
      first = firstScripts.end() - 1;
    }
    const std::string_view script = first->second;
    if (n == "0") continue;  // Western requests get no node of their own
    int charset = std::atoi(n.c_str());
    TFontStruct* record = context.FontList.Add(face, charset, 0);
    record->Enabled = table.Has(ScriptEntry(face, context.ScriptSuffixes.ValueOr(n, ""), charset));
    record->WesternMapped = table.Has(WesternEntry(face, charset));
    // The node gets its final text at once: no sibling sort can run before the prune step sorts them.
    NodeId child = context.tree.AddChild(fontNode, ScriptNodeText(face, script, charset, record->WesternMapped));
    context.ScriptNames.Add(script.empty() ? n + "=Script: " + n : element);
    record->NodeItemId = child;
    context.tree.SetStateIndex(child, record->Enabled ? 2 : 1);
    ++(record->Enabled ? enabled : disabled);
  }
  if (enabled == 0) return 0;
  return disabled == 0 ? 1 : 2;
}

void BuildFontTree(FontTreeContext& context) {
  TreeView& tree = context.tree;
  // A snapshot of the table: the tree is built from the table as it is now.
  const IgnoreCaseIndex table(context.compare, context.SubstTable);
  TreeBatchUpdate batch(tree);
  tree.Clear();
  for (const std::string& face : context.FontNames.Items()) {
    NodeId node = tree.AddChild(0, face);
    tree.SetStateIndex(node, ClassifyFont(context, table, face, node) + 1);
  }
  // Drop the faces without script nodes and sort the rest's children. Moving on to the deleted
  // node's successor ends as starting over from the first node would: the faces before it are
  // already sorted, and their order is not touched.
  for (NodeId node = tree.FirstChild(0); node;) {
    NodeId next = tree.NextSibling(node);
    if (tree.FirstChild(node)) {
      tree.SortChildren(node);
    } else {
      tree.Delete(node);
    }
    node = next;
  }
  // Every face ends up expanded either way; a system tree view re-lays out its open nodes on
  // every insert and sort, so the faces are opened once their children are in place.
  for (NodeId node = tree.FirstChild(0); node; node = tree.NextSibling(node)) tree.Expand(node);
}

}  // namespace sorel
