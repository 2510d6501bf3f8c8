// An in-memory printer: it answers the dialogs as told and records every font and text of a page.
#include "tests/fakes/memory_printing.h"

#include "platform/errors.h"

namespace sorel {

namespace {

class MemoryPrintJob : public PrintJob {
 public:
  explicit MemoryPrintJob(MemoryPrinting& owner) : owner_(owner) {}
  ~MemoryPrintJob() override {
    if (!ended_) ++owner_.jobsAborted;
  }
  void SetFont(const FontSpec& font) override { font_ = font; }
  int TextHeight(const std::string&) override {
    return MemoryPrinting::LineHeight(font_.points, owner_.caps.logPixelsY);
  }
  void TextOut(int x, int y, const std::string& text) override { owner_.printed.push_back({font_, x, y, text}); }
  void End() override {
    ended_ = true;
    ++owner_.jobsEnded;
  }

 private:
  MemoryPrinting& owner_;
  FontSpec font_;
  bool ended_ = false;
};

}  // namespace

bool MemoryPrinting::PrintDialog() {
  ++printDialogs;
  return printDialogAnswer;
}

PrinterCaps MemoryPrinting::Caps() {
  if (!failure.empty()) throw PlatformError(failure);
  return caps;
}

std::unique_ptr<PrintJob> MemoryPrinting::BeginJob() {
  if (!failure.empty()) throw PlatformError(failure);
  ++jobsStarted;
  return std::make_unique<MemoryPrintJob>(*this);
}

}  // namespace sorel
