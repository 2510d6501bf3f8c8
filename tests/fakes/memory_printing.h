// An in-memory printer: it answers the dialogs as told and records every font and text of a page.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/printing.h"

namespace sorel {

class MemoryPrinting : public Printing {
 public:
  // A line of text in a font of this many points on a printer of this vertical resolution: the
  // points at that resolution, rounded.
  static int LineHeight(int points, int logPixelsY) { return (points * logPixelsY + 36) / 72; }

  bool PrintDialog() override;
  void PrinterSetupDialog() override { ++setupDialogs; }
  PrinterCaps Caps() override;
  std::unique_ptr<PrintJob> BeginJob() override;

  struct Text {
    FontSpec font;
    int x = 0, y = 0;
    std::string text;
  };

  PrinterCaps caps{600, 600, 7016};  // A4 at 600 units per inch
  bool printDialogAnswer = true;     // false: the user cancels the print dialog
  std::string failure;               // not empty: no printer, or the job cannot start, with this error
  int printDialogs = 0, setupDialogs = 0, jobsStarted = 0, jobsEnded = 0, jobsAborted = 0;
  std::vector<Text> printed;  // every text drawn, in order
};

}  // namespace sorel
