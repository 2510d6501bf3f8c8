// A main window on in-memory platforms, for tests that drive TForm1 as a user would.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/fontsub.h"
#include "platform/memory/memory_compare.h"
#include "platform/memory/memory_controls.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_fonts.h"
#include "platform/memory/memory_printing.h"
#include "platform/memory/memory_profile.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_restart.h"
#include "platform/memory/memory_shell.h"
#include "platform/memory/memory_sockets.h"
#include "platform/memory/memory_system.h"

namespace sorel::test {

struct MemoryPlatforms {
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfileFiles profiles{files, "C:\\windows"};
  MemoryTextCompare compare;
  MemorySystemInfo system;
  MemoryDialogs dialogs;
  MemoryFonts fonts;
  MemoryRestart restart;
  MemoryUi ui;
  MemoryApplication app;
  MemoryPrinting printing;
  MemoryShell shell;
  MemorySockets sockets;
  Platform platform{registry, profiles, files, compare, system, dialogs, fonts, restart, ui, app, printing, shell,
                    sockets};

  MemoryPlatforms() {
    ui.treeCompare = &compare;
    ui.app = &app;  // forms centre on the screen the tests set
    system.SetExeVersion(FileVersion{0x00010001, 0x00030006});
    // The code-page files of the Windows code pages, as the system folder of a Western machine
    // holds them; a test of a missing one takes it away.
    for (const char* page : {"1250", "1251", "1252", "1253", "1254", "1255", "1256", "1257", "1258"})
      files.Put(system.systemDir + "\\c_" + page + ".nls", "NLS");
  }
};

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
