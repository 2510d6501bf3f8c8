// A main window on in-memory platforms, for tests that drive TForm1 as a user would.
#pragma once
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

inline const char* const kFontSubstitutesPath =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

}  // namespace sorel::test
