// A main window on in-memory platforms, for tests that drive TForm1 as a user would.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/fontsub.h"
#include "tests/support/memory_platforms.h"

namespace sorel::test {

// The face or script node whose text is exactly text; fails the test when there is none.
inline NodeId NodeByText(TreeView& tree, const std::string& text) {
  for (NodeId face = tree.FirstChild(0); face; face = tree.NextSibling(face)) {
    if (tree.Text(face) == text) return face;
    for (NodeId script = tree.FirstChild(face); script; script = tree.NextSibling(script))
      if (tree.Text(script) == text) return script;
  }
  ADD_FAILURE() << "no node " << text;
  return 0;
}

inline const char* const kFontSubstitutesPath =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

// A main window on in-memory platforms, reached as a user reaches it: through its controls.
class MainWindowTest : public testing::Test {
 protected:
  TForm1& Create() {
    form = std::make_unique<TForm1>(p.platform);
    tree = p.ui.Find<TreeView>("TVFonts");
    return *form;
  }
  void AddFace(const std::string& face, const std::vector<ReportedScript>& scripts) {
    p.fonts.fonts.push_back({face, false, 0});
    p.fonts.SetScripts(face, scripts);
  }
  NodeId Node(const std::string& text) { return NodeByText(*tree, text); }
  int State(const std::string& text) { return tree->StateIndex(Node(text)); }
  // The record behind face's script node of charset; fails the test when there is none.
  const TFontStruct& Record(const std::string& face, int charset) {
    const TFontList& records = form->Edits().FontList();
    for (int i = 0; i < records.Count(); ++i) {
      const TFontStruct* r = records.Item(i);
      if (r->FaceName == face && r->Charset == charset) return *r;
    }
    throw std::logic_error("no record " + face);
  }
  bool Modified() { return form->Edits().Modified(); }
  Button& Btn(const char* name) { return *p.ui.Find<Button>(name); }
  // An item of a pop-up menu by name, "" for the menu's root.
  MenuItem& Item(const char* menu, const char* name = "") {
    MenuItem* item = p.ui.FindMenuItem(menu, name);
    if (!item) throw std::logic_error(std::string("no menu item ") + menu + "." + name);
    return *item;
  }
  // The code-page switch: marks the edits unsaved without changing a record.
  void SwitchCodePage() { Click(p.ui, Btn("ToolbarButton971")); }

  MemoryPlatforms p;
  std::unique_ptr<TForm1> form;
  TreeView* tree = nullptr;
};

}  // namespace sorel::test
