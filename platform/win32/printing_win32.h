// Printing through the common print dialogs (PrintDlgA) and a GDI printer device context.
#pragma once
#include <utility>

#include "platform/printing.h"
#include "platform/win32/owner_window.h"

namespace sorel {

// The printer the dialogs chose (their DEVMODE and DEVNAMES, kept between calls and freed at the
// end), else the default printer. The dialogs are owned by the application's main window.
class Win32Printing : public Printing {
 public:
  explicit Win32Printing(OwnerWindow owner) : owner_(std::move(owner)) {}
  ~Win32Printing() override;
  Win32Printing(const Win32Printing&) = delete;
  Win32Printing& operator=(const Win32Printing&) = delete;

  // PrintDlgA with its default options; a failure other than the user's cancel raises.
  bool PrintDialog() override;
  // PrintDlgA with PD_PRINTSETUP; what the user answered is not examined.
  void PrinterSetupDialog() override;
  // GetDeviceCaps of the printer; raises when there is none.
  PrinterCaps Caps() override;
  // A device context of the printer, StartDocA without a title and StartPage; raises with the
  // system's words when any of them fails.
  std::unique_ptr<PrintJob> BeginJob() override;

 private:
  // PrintDlgA with these flags over the kept choice; false when the user cancelled.
  bool RunDialog(unsigned long flags);
  // A device context (HDC) of the chosen printer, or of the default one; raises when there is none.
  void* CreatePrinterDC();

  OwnerWindow owner_;
  // HGLOBALs; this header stays free of <windows.h>, whose TextOut macro would rename PrintJob's.
  void* devMode_ = nullptr;
  void* devNames_ = nullptr;
};

}  // namespace sorel
