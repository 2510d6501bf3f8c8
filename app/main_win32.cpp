// Process entry: splash, application title and help file, the main window, the message loop.
#include <windows.h>

#include <memory>

#include "app/Splash_Form.h"
#include "app/fontsub.h"
#include "platform/win32/compare_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/fonts_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/restart_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/ui_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace sorel;
  Win32Application app(instance);
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32FileSystem files;
  Win32TextCompare compare;
  Win32SystemInfo system;
  Win32Dialogs dialogs;
  Win32Fonts fonts;
  Win32Restart restart;
  Win32Ui ui(app);
  Platform platform{registry, profiles, files, compare, system, dialogs, fonts, restart, ui, app};

  ShowSplash(platform);
  app.SetTitle("Sorel Assistant");
  app.SetHelpFile("typevane.hlp");

  std::unique_ptr<TForm1> form;
  try {
    form = std::make_unique<TForm1>(platform);
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
  app.SetMainWindow(HandleOf(form->Self()));
  dialogs.SetOwner(HandleOf(form->Self()));
  // A program that already asked to end (no settings key) does not show its window.
  if (!app.Terminated()) form->Self().SetVisible(true);
  return app.Run();
}
