// A main window on in-memory platforms, for tests that drive TForm1 as a user would.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "app/fontsub.h"
#include "platform/memory/memory_compare.h"
#include "platform/memory/memory_controls.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_fonts.h"
#include "platform/memory/memory_profile.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_restart.h"
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
  Platform platform{registry, profiles, files, compare, system, dialogs, fonts, restart, ui, app};

  MemoryPlatforms() {
    ui.treeCompare = &compare;
    system.SetExeVersion(FileVersion{0x00010001, 0x00030006});
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

}  // namespace sorel::test
