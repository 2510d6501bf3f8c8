// Printing: the system's print and printer-setup dialogs and a print job on the chosen printer.
#pragma once
#include <memory>
#include <string>

#include "platform/font_spec.h"

namespace sorel {

// What the chosen printer reports of itself (GetDeviceCaps), in its own units.
struct PrinterCaps {
  int logPixelsX = 0;      // LOGPIXELSX: units per inch across
  int logPixelsY = 0;      // LOGPIXELSY: units per inch down
  int physicalHeight = 0;  // PHYSICALHEIGHT: the whole sheet's height
};

// One document being printed; every position is in the printer's units. Errors of the printing
// layer are raised as PlatformError in its own words.
class PrintJob {
 public:
  virtual ~PrintJob() = default;  // a job not ended is aborted
  // Points are converted with the printer's resolution.
  virtual void SetFont(const FontSpec& font) = 0;
  // The height of text in the current font.
  virtual int TextHeight(const std::string& text) = 0;
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Ends the document; the page goes to the printer.
  virtual void End() = 0;
};

class Printing {
 public:
  virtual ~Printing() = default;
  // The standard print dialog; false when the user cancels it.
  virtual bool PrintDialog() = 0;
  // The standard printer-setup dialog; the choice applies to later printing.
  virtual void PrinterSetupDialog() = 0;
  // The chosen printer's values; raises when there is no printer.
  virtual PrinterCaps Caps() = 0;
  // Starts a document without a title on the chosen printer; raises when it cannot.
  virtual std::unique_ptr<PrintJob> BeginJob() = 0;
};

}  // namespace sorel
