// Every in-memory platform service, joined into the Platform the program's code takes.
#pragma once
#include "ui/services.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_controls.h"
#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_fonts.h"
#include "tests/fakes/memory_printing.h"
#include "tests/fakes/memory_profile.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_restart.h"
#include "tests/fakes/memory_shell.h"
#include "tests/fakes/memory_sockets.h"
#include "tests/fakes/memory_system.h"

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
    system.SetExeVersion(FileVersion{1, 1, 3, 6});
    // The code-page files of the Windows code pages, as the system folder of a Western machine
    // holds them; a test of a missing one takes it away.
    for (const char* page : {"1250", "1251", "1252", "1253", "1254", "1255", "1256", "1257", "1258"})
      files.Put(system.systemDir + "\\c_" + page + ".nls", "NLS");
  }
};

}  // namespace sorel::test
