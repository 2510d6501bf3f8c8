// Process entry: splash, application title and help file, the main window, the message loop.
#include <windows.h>

#include <memory>

#include "app/Splash_Form.h"
#include "app/fontsub.h"
#include "ui/win32/win32_services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace sorel;
  Win32Services services(instance);
  Win32Application& app = services.app;
  Platform& platform = services.platform;

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
  services.dialogs.SetOwner(HandleOf(form->Self()));
  // A program that already asked to end (no settings key) does not show its window.
  if (!app.Terminated()) form->Self().SetVisible(true);
  return app.Run();
}
