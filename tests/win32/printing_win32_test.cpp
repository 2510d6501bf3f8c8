// Win32Printing under Wine, on a printer whose output is a PostScript file (tests/win32/file_printer).
#include <windows.h>
// <windows.h> defines TextOut as a macro; PrintJob's member keeps its plain name.
#undef TextOut

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/win32/printing_win32.h"
#include "ui/win32/ui_win32.h"
#include "tests/win32/file_printer.h"

namespace sorel {
namespace {

using test::FilePrinter;

Win32Application& App() {
  static Win32Application app(GetModuleHandleA(nullptr));
  return app;
}

// Answers the next common dialog of this thread as a user would, by pressing one of its buttons: a
// timer of the thread runs inside the dialog's own message loop.
class DialogAnswer {
 public:
  explicit DialogAnswer(int button) : timer_(SetTimer(nullptr, 0, 50, &Press)) { button_ = button; }
  ~DialogAnswer() { KillTimer(nullptr, timer_); }

 private:
  static BOOL CALLBACK PressIn(HWND window, LPARAM) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (IsWindowVisible(window) && std::string(cls) == "#32770") PostMessageA(window, WM_COMMAND, button_, 0);
    return TRUE;
  }
  static void CALLBACK Press(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &PressIn, 0); }
  static inline int button_ = 0;
  UINT_PTR timer_;
};

std::string CapsError(Win32Printing& printing) {
  try {
    printing.Caps();
  } catch (const PlatformError& e) {
    return e.what();
  }
  return "";
}

// Without a printer the user is told so; the helper leaves none behind.
TEST(Win32Printing, NoPrinterIsAClearError) {
  if (test::PrinterCount() != 0) GTEST_SKIP() << "this prefix has printers of its own";
  Win32Printing printing([] { return static_cast<void*>(App().MainWindow()); });
  const std::string noPrinter = "There is no printer. Install a printer, then try again.";
  EXPECT_EQ(CapsError(printing), noPrinter);
  EXPECT_THROW(printing.BeginJob(), PlatformError);
  {
    FilePrinter printer;
    ASSERT_EQ(printer.Error(), "");
    EXPECT_EQ(CapsError(printing), "");
  }
  EXPECT_EQ(test::PrinterCount(), 0);
  EXPECT_EQ(CapsError(printing), noPrinter);
}

// Wine's generic PostScript printer: 300 dots per inch, an A4 sheet 3508 dots high. Point sizes
// become printer dots: a line is at least the font's height at 300 dots per inch (the screen's 96
// would give a third of it) and not much more. A job dropped before End prints nothing.
TEST(Win32Printing, APrintedPageHoldsTheTextInTheChosenFonts) {
  FilePrinter printer;
  ASSERT_EQ(printer.Error(), "");
  Win32Printing printing([] { return static_cast<void*>(App().MainWindow()); });
  const PrinterCaps caps = printing.Caps();
  EXPECT_TRUE(caps.logPixelsX == 300 && caps.logPixelsY == 300 && caps.physicalHeight == 3508)
      << caps.logPixelsX << " " << caps.logPixelsY << " " << caps.physicalHeight;
  {
    DialogAnswer cancel(IDCANCEL);
    EXPECT_FALSE(printing.PrintDialog());
  }
  for (bool setup : {true, false}) {
    DialogAnswer ok(IDOK);
    if (setup) printing.PrinterSetupDialog();
    else EXPECT_TRUE(printing.PrintDialog());
  }
  EXPECT_EQ(printing.Caps().logPixelsY, 300) << "the printer the dialog chose";
  printing.BeginJob()->TextOut(100, 100, "Aborted");
  EXPECT_FALSE(printer.OutputExists());

  const std::pair<FontSpec, const char*> lines[] = {
      {{"Arial", 0, 10}, "Sorel"}, {{"Times New Roman", 0, 14, true}, "Assistant"}, {{"Courier New", 0, 24, false, true, true}, "Preview"}};
  auto job = printing.BeginJob();
  int y = 100;
  for (const auto& [font, text] : lines) {
    job->SetFont(font);
    const int height = job->TextHeight(text), emHeight = MulDiv(font.points, 300, 72);
    EXPECT_TRUE(height >= emHeight && height <= emHeight * 3 / 2) << text << ": " << height;
    EXPECT_EQ(job->TextHeight(""), height) << "an empty text is a line high";
    job->TextOut(100, y += height, text);
  }
  job->End();
  ASSERT_TRUE(printer.OutputExists()) << printer.OutputPath() << " (port " << printer.Port() << ")";
  EXPECT_EQ(printer.Output().rfind("%!PS-Adobe", 0), 0u);
  std::string printed;
  if (!test::GhostscriptText(printer.OutputPath(), printed)) GTEST_SKIP() << "Ghostscript is not installed";
  for (const auto& [font, text] : lines) EXPECT_NE(printed.find(text), std::string::npos) << text << " in:\n" << printed;
}

}  // namespace
}  // namespace sorel
