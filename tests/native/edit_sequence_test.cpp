// Seeded random sequences of editing commands, given through the window's controls, checked after
// every step against a plain reference model of the records, and the saved table checked at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/settings.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
const std::map<int, std::string> kScripts = {
    {161, "Greek"}, {162, "Turkish"}, {186, "Baltic"}, {204, "Cyrillic"}, {222, ""}, {238, "Central European"}};
const std::map<int, std::string> kSuffixes = {{161, "Greek"}, {204, "CYR"}, {238, "CE"}};  // others: none

// The reference: one record per face and script, in the order faces and numbers sort, switched
// as the commands are documented, composed with the plain list helpers.
struct Reference {
  struct Rec {
    std::string face;
    int charset;
    bool on = false, western = false;
  };
  std::vector<Rec> recs;
  bool modified = false;

  std::string NodeText(const Rec& r) const {
    const std::string& script = kScripts.at(r.charset);
    return r.face + " (" + (script.empty() ? "Script: " + std::to_string(r.charset) : script) + ")" +
           (r.western ? " -> [Western]" : "");
  }
  int FaceState(const std::string& face) const {
    bool on = false, off = false;
    for (const Rec& r : recs)
      if (r.face == face) (r.on ? on : off) = true;
    return !on ? 1 : off ? 3 : 2;
  }
  // Every node's text with its state image.
  std::map<std::string, int> Nodes() const {
    std::map<std::string, int> nodes;
    for (const Rec& r : recs) {
      nodes[NodeText(r)] = r.on ? 2 : 1;
      nodes[r.face] = FaceState(r.face);
    }
    return nodes;
  }
  static std::string ScriptEntry(const Rec& r) {
    const std::string n = std::to_string(r.charset);
    auto suffix = kSuffixes.find(r.charset);
    return r.face + " " + (suffix == kSuffixes.end() ? "" : suffix->second) + "," + n + "=" + r.face + "," + n;
  }
  static std::string WesternEntry(const Rec& r) { return r.face + ",0=" + r.face + "," + std::to_string(r.charset); }
  SubstTable Compose(TextCompare& compare, SubstTable table) const {
    if (modified) {
      for (const Rec& r : recs) {
        r.on ? AddEntry(compare, table, ScriptEntry(r)) : RemoveEntry(compare, table, ScriptEntry(r));
        r.western ? AddEntry(compare, table, WesternEntry(r)) : RemoveEntry(compare, table, WesternEntry(r));
      }
    }
    for (const char* face : {"Helvetica", "Times", "Courier"}) {
      const std::string real = std::string(face) == "Helvetica" ? "Arial"
                               : std::string(face) == "Times"   ? "Times New Roman"
                                                                : "Courier New";
      for (const std::string& entry : {std::string(face) + ",238=" + real + ",238", std::string(face) + ",0=" + real + ",238"}) {
        RemoveEntry(compare, table, entry);
        AddEntry(compare, table, entry);
      }
    }
    return table;
  }
};

class EditSequence : public testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    std::string lines = "[IniStrings]\r\n";
    for (const auto& [n, suffix] : kSuffixes) lines += std::to_string(n) + "=" + suffix + "\r\n";
    p.files.Put(kLangRes, lines + "[Test]\r\n");
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
    p.registry.CreateKey(RegRoot::LocalMachine, kFontSubstitutesPath);
  }
  // Four faces with random scripts, and a table holding a random part of their entries.
  void Populate(std::mt19937& random) {
    for (int face = 0; face < 4; ++face) {
      const std::string name = "Face" + std::to_string(face);
      std::vector<ReportedScript> scripts = {{0, "Western"}};
      for (const auto& [n, script] : kScripts)
        if (random() % 2) scripts.push_back({n, script});
      if (scripts.size() == 1) scripts.push_back({238, kScripts.at(238)});
      p.fonts.fonts.push_back({name, false, 0});
      p.fonts.SetScripts(name, scripts);
      bool mapped = false;  // the registry holds one Western entry per face
      for (const auto& s : scripts) {
        if (s.charset == 0) continue;
        Reference::Rec r{name, s.charset};
        if (random() % 3 == 0) Store(Reference::ScriptEntry(r)), r.on = true;
        if (!mapped && random() % 4 == 0) Store(Reference::WesternEntry(r)), r.western = mapped = true;
        reference.recs.push_back(r);
      }
    }
    Store("Helv=MS Sans Serif");
    initial = Stored();
  }
  void Store(const std::string& entry) {
    const auto eq = entry.find('=');
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, entry.substr(0, eq), entry.substr(eq + 1));
  }
  SubstTable Stored() { return p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath); }
  std::map<std::string, int> TreeNodes() {
    std::map<std::string, int> nodes;
    for (NodeId face = tree->FirstChild(0); face; face = tree->NextSibling(face)) {
      nodes[tree->Text(face)] = tree->StateIndex(face);
      for (NodeId s = tree->FirstChild(face); s; s = tree->NextSibling(s)) nodes[tree->Text(s)] = tree->StateIndex(s);
    }
    return nodes;
  }
  std::vector<NodeId> AllNodes() {
    std::vector<NodeId> nodes;
    for (NodeId face = tree->FirstChild(0); face; face = tree->NextSibling(face)) {
      nodes.push_back(face);
      for (NodeId s = tree->FirstChild(face); s; s = tree->NextSibling(s)) nodes.push_back(s);
    }
    return nodes;
  }
  Reference::Rec* RecOf(NodeId node) {
    for (auto& r : reference.recs)
      if (reference.NodeText(r) == tree->Text(node)) return &r;
    return nullptr;
  }
  // What the reference does for "toggle the node here".
  void ToggleInReference(NodeId node) {
    if (Reference::Rec* r = RecOf(node)) {
      r->on = !r->on;
    } else {
      const std::string face = tree->Text(node);
      const bool on = reference.FaceState(face) != 2;
      for (auto& each : reference.recs)
        if (each.face == face) each.on = on;
    }
    reference.modified = true;
  }
  void WesternInReference(NodeId node) {
    Reference::Rec* r = RecOf(node);
    if (!r) return;
    if (r->western) {
      r->western = false;
    } else {
      for (auto& each : reference.recs)
        if (each.face == r->face) each.western = false;
      r->western = true;
    }
    reference.modified = true;
  }
  void SwitchInReference(int charset, bool on) {  // charset 0: all
    for (auto& r : reference.recs) {
      if (charset && r.charset != charset) continue;
      r.on = on;
      reference.modified = true;
    }
  }
  MenuItem& Item(const char* menu, const char* name) { return *p.ui.FindMenuItem(menu, name); }

  // One random command through the controls, mirrored in the reference; returns its name.
  std::string Step(std::mt19937& random) {
    const std::vector<NodeId> nodes = AllNodes();
    const NodeId node = nodes[random() % nodes.size()];
    const std::string text = tree->Text(node);
    switch (random() % 9) {
      case 0:
        tree->Select(node);
        DoubleClickTree(p.ui, *tree);
        ToggleInReference(node);
        return "double click " + text;
      case 1:
        tree->Select(node);
        TypeInTree(p.ui, *tree, 13);
        ToggleInReference(node);
        return "Enter " + text;
      case 2:
        tree->Select(node);
        Click(p.ui, *p.ui.Find<Button>("btOnOff"));
        ToggleInReference(node);
        return "btOnOff " + text;
      case 3:
        tree->Select(node);
        WesternInReference(node);
        Click(p.ui, *p.ui.Find<Button>("btWesternMap"));
        return "btWesternMap " + text;
      case 4: {
        int x = 0, y = 0;
        PointOfNode(*tree, node, x, y);
        PressTree(p.ui, *tree, x, y, random() % 2);
        ToggleInReference(node);
        ClickItem(p.ui, Item("PopupMenu3", "muOnOff"));
        return "muOnOff " + text;
      }
      case 5: {
        int x = 0, y = 0;
        PointOfNode(*tree, node, x, y);
        PressTree(p.ui, *tree, x, y);
        WesternInReference(node);
        ClickItem(p.ui, Item("PopupMenu3", "muWestern"));
        return "muWestern " + text;
      }
      case 6: {
        static const std::pair<const char*, const char*> all[] = {
            {"PopupMenu3", "muAllOn1"}, {"PopupMenu3", "muAllD1"}, {"PopupMenu2", "muAllOn2"}, {"PopupMenu2", "muAllD2"}};
        const auto& [menu, name] = all[random() % 4];
        MenuItem& item = Item(menu, name);
        SwitchInReference(0, item.Tag == 1);
        ClickItem(p.ui, item);
        return name;
      }
      case 7: {
        static const std::pair<const char*, const char*> parents[] = {
            {"PopupMenu3", "puSelOn1"}, {"PopupMenu3", "puSelOff1"}, {"PopupMenu2", "puSelOn2"}, {"PopupMenu2", "puSelOff2"}};
        const auto& [menu, name] = parents[random() % 4];
        MenuItem& parent = Item(menu, name);
        MenuItem& item = parent.Item(static_cast<int>(random() % parent.Count()));
        SwitchInReference(item.Tag, std::string(name).find("On") != std::string::npos);
        ClickItem(p.ui, item);
        return std::string(name) + " " + item.Caption();
      }
      default:
        if (!p.ui.Find<Button>("btRestore")->Enabled()) return "restore (disabled)";
        Click(p.ui, *p.ui.Find<Button>("btRestore"));
        // Nothing was saved, so the records come back as the stored table has them.
        for (auto& r : reference.recs) {
          r.on = std::find(initial.begin(), initial.end(), Reference::ScriptEntry(r)) != initial.end();
          r.western = std::find(initial.begin(), initial.end(), Reference::WesternEntry(r)) != initial.end();
        }
        reference.modified = false;
        return "restore";
    }
  }

  MemoryPlatforms p;
  Reference reference;
  SubstTable initial;
  std::unique_ptr<TForm1> form;
  TreeView* tree = nullptr;
};

TEST_P(EditSequence, TreeFollowsEveryCommandAndTheSaveWritesTheRecords) {
  std::mt19937 random(GetParam());
  Populate(random);
  form = std::make_unique<TForm1>(p.platform);
  tree = p.ui.Find<TreeView>("TVFonts");
  std::vector<std::string> steps;
  for (int i = 0; i < 40; ++i) {
    steps.push_back(Step(random));
    ASSERT_EQ(TreeNodes(), reference.Nodes()) << "after: " << testing::PrintToString(steps);
  }
  // Saving writes the records' entries over the table read at start, the fixed ones at its end.
  p.dialogs.Script({Answer::Yes, Answer::No});
  Click(p.ui, *p.ui.Find<Button>("btOK"));
  // Without an edit there is no question and nothing is written.
  SubstTable expected = reference.modified ? reference.Compose(p.compare, initial) : initial;
  SubstTable stored = Stored();
  std::sort(expected.begin(), expected.end());
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, expected) << "steps: " << testing::PrintToString(steps);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditSequence, testing::Range(1u, 41u));

}  // namespace
}  // namespace sorel::test
