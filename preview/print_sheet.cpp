// The printed sample sheet: one page in the printer's own units.
#include "preview/print_sheet.h"

namespace sorel {

namespace {

// Every line is as high as this text in its font, as the printer measures it.
constexpr const char* kMeasure = "AjQ";

}  // namespace

void PrintSheet(Printing& printing, const SheetContent& content) {
  const PrinterCaps caps = printing.Caps();
  std::unique_ptr<PrintJob> job = printing.BeginJob();
  const int x = caps.logPixelsX / 2;
  const int y0 = caps.logPixelsY / 2;
  job->SetFont(content.HeadingFont());
  const int headingHeight = job->TextHeight(kMeasure);
  job->TextOut(x, y0, content.heading);
  // The gap below the heading is measured across the page.
  int y = y0 + headingHeight + caps.logPixelsX / 18;
  for (int points : kPointSizes) {
    job->SetFont(content.SampleFont(points));
    const int sampleHeight = job->TextHeight(kMeasure);
    job->TextOut(x, y, content.sample);
    y += sampleHeight;
    job->SetFont(content.CaptionFont());
    const int captionHeight = job->TextHeight(kMeasure);
    job->TextOut(x, y, SizeCaption(points));
    y += captionHeight;
    // The last pair may run past the printable area; the device clips it.
    if (y > caps.physicalHeight) break;
  }
  job->End();
}

}  // namespace sorel
