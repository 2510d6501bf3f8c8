// The printed sample sheet: one page in the printer's own units.
#pragma once
#include "platform/printing.h"
#include "preview/sample_sheet.h"

namespace sorel {

// Prints content on the chosen printer: the heading half an inch from the left and the top, the
// first sample an eighteenth of an inch (across) below it, then each size's sample and caption
// until a pair ends below the sheet's physical height. One page; an error of the printing layer
// ends the job unfinished and propagates.
void PrintSheet(Printing& printing, const SheetContent& content);

}  // namespace sorel
