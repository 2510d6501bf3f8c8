// Printing through the common print dialogs (PrintDlgA) and a GDI printer device context.
#include "platform/win32/printing_win32.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include "platform/errors.h"
#include "platform/win32/gdi_font_win32.h"
#include "platform/win32/system_error_win32.h"

namespace sorel {

// <windows.h> defines TextOut as a macro; PrintJob's member keeps its plain name.
#undef TextOut

namespace {

// What the user reads when nothing can be printed because no printer is installed.
const char* const kNoPrinter = "There is no printer. Install a printer, then try again.";

// A common dialog's failure (CommDlgExtendedError), in words.
std::string DialogErrorMessage(DWORD code) {
  if (code == PDERR_NODEFAULTPRN || code == PDERR_NODEVICES) return kNoPrinter;
  char text[96];
  wsprintfA(text, "The printer could not be opened (print dialog error 0x%04lX).", static_cast<unsigned long>(code));
  return text;
}

class Win32PrintJob : public PrintJob {
 public:
  explicit Win32PrintJob(HDC dc) : dc_(dc) {}
  ~Win32PrintJob() override {
    if (!ended_) AbortDoc(dc_);
    if (font_) {
      SelectObject(dc_, original_);
      DeleteObject(font_);
    }
    DeleteDC(dc_);
  }
  Win32PrintJob(const Win32PrintJob&) = delete;
  Win32PrintJob& operator=(const Win32PrintJob&) = delete;

  void SetFont(const FontSpec& font) override {
    HFONT made = CreateGdiFont(font, GetDeviceCaps(dc_, LOGPIXELSY));
    if (!made) throw PlatformError("The printer has no font for '" + font.face + "'.");
    HGDIOBJ previous = SelectObject(dc_, made);
    if (font_) DeleteObject(font_);
    else original_ = previous;
    font_ = made;
  }
  int TextHeight(const std::string& text) override {
    // An empty text is as high as a line.
    const std::string sample = text.empty() ? " " : text;
    SIZE size{};
    GetTextExtentPoint32A(dc_, sample.c_str(), static_cast<int>(sample.size()), &size);
    return size.cy;
  }
  void TextOut(int x, int y, const std::string& text) override {
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  }
  // A failed page or document is aborted by the destructor, as a job never ended.
  void End() override {
    if (ended_) return;
    if (EndPage(dc_) <= 0) throw PlatformError(LastErrorText("The page could not be sent to the printer."));
    if (EndDoc(dc_) <= 0) throw PlatformError(LastErrorText("The document could not be finished."));
    ended_ = true;
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;         // owned, selected into the device context
  HGDIOBJ original_ = nullptr;   // the device context's font before ours
  bool ended_ = false;
};

}  // namespace

Win32Printing::~Win32Printing() {
  if (devMode_) GlobalFree(static_cast<HGLOBAL>(devMode_));
  if (devNames_) GlobalFree(static_cast<HGLOBAL>(devNames_));
}

bool Win32Printing::RunDialog(unsigned long flags) {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = static_cast<HWND>(owner_());
  dialog.hDevMode = static_cast<HGLOBAL>(devMode_);
  dialog.hDevNames = static_cast<HGLOBAL>(devNames_);
  dialog.Flags = flags;
  dialog.nCopies = 1;
  // Wine leaves an earlier failure's code in place when the user cancels (Windows clears it), so
  // only a code the dialog set itself counts as its failure.
  const DWORD earlier = CommDlgExtendedError();
  BOOL chosen = PrintDlgA(&dialog);
  // The dialog may have replaced the handles it was given, whatever the user answered.
  devMode_ = dialog.hDevMode;
  devNames_ = dialog.hDevNames;
  if (chosen) return true;
  if (DWORD error = CommDlgExtendedError(); error != 0 && error != earlier && !(flags & PD_PRINTSETUP))
    throw PlatformError(DialogErrorMessage(error));
  return false;
}

bool Win32Printing::PrintDialog() { return RunDialog(0); }

void Win32Printing::PrinterSetupDialog() { RunDialog(PD_PRINTSETUP); }

void* Win32Printing::CreatePrinterDC() {
  auto names = static_cast<HGLOBAL>(devNames_), mode = static_cast<HGLOBAL>(devMode_);
  const bool chosen = names != nullptr;
  if (!chosen) {
    // The default printer's DEVNAMES and DEVMODE, without a dialog; GetDefaultPrinterA would not
    // load on the 95/98 family.
    PRINTDLGA request{};
    request.lStructSize = sizeof(request);
    request.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&request)) {
      DWORD error = CommDlgExtendedError();
      throw PlatformError(error ? DialogErrorMessage(error) : kNoPrinter);
    }
    names = request.hDevNames;
    mode = request.hDevMode;
  }
  const auto* devNames = static_cast<const DEVNAMES*>(GlobalLock(names));
  auto* devMode = mode ? static_cast<DEVMODEA*>(GlobalLock(mode)) : nullptr;
  HDC dc = nullptr;
  if (devNames) {
    const char* base = reinterpret_cast<const char*>(devNames);
    dc = CreateDCA(base + devNames->wDriverOffset, base + devNames->wDeviceOffset, nullptr, devMode);
  }
  std::string error = dc ? "" : LastErrorText("The printer could not be opened.");
  if (devMode) GlobalUnlock(mode);
  if (devNames) GlobalUnlock(names);
  if (!chosen) {
    if (mode) GlobalFree(mode);
    GlobalFree(names);
  }
  if (!dc) throw PlatformError(error);
  return dc;
}

PrinterCaps Win32Printing::Caps() {
  auto dc = static_cast<HDC>(CreatePrinterDC());
  PrinterCaps caps{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, PHYSICALHEIGHT)};
  DeleteDC(dc);
  return caps;
}

std::unique_ptr<PrintJob> Win32Printing::BeginJob() {
  auto dc = static_cast<HDC>(CreatePrinterDC());
  DOCINFOA document{};
  document.cbSize = sizeof(document);
  document.lpszDocName = "";
  if (StartDocA(dc, &document) <= 0) {
    std::string error = LastErrorText("The printer could not start the document.");
    DeleteDC(dc);
    throw PlatformError(error);
  }
  if (StartPage(dc) <= 0) {
    std::string error = LastErrorText("The printer could not start a page.");
    AbortDoc(dc);
    DeleteDC(dc);
    throw PlatformError(error);
  }
  // Text goes onto the page without boxes around it; set after StartPage, which resets the
  // device context on the 95/98 family.
  SetBkMode(dc, TRANSPARENT);
  return std::make_unique<Win32PrintJob>(dc);
}

}  // namespace sorel
