// Process entry: splash, application title and help file, the main window, the message loop.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/Splash_Form.h"
#include "app/fontsub.h"
#include "ui/win32/win32_services.h"

// libstdc++'s default terminate handler writes the escaping exception's demangled type to a
// console this program does not have; its demangler alone is some 30 KB of the executable. Defined
// here, the library's own is not linked: an exception that escapes everything ends the program as
// the default handler would after writing, by abort().
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

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
