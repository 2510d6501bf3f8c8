// Times a refresh of the preview window's sample sheet on the real Win32 controls, for
// scripts/bench-preview: the program's own TfrmPrev, shown, refreshed for two faces in turn, each
// refresh painted before the next one starts, as a user stepping through the tree sees it.
//   preview_bench [N]   N refreshes (400 unless told) after a few unmeasured ones
// Prints the mean and the slowest refresh in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/win32/win32_services.h"
#include "preview/fontsub_preview.h"

namespace {

using namespace sorel;

// What the main window would give the preview: script names, a place to stand beside, texts.
class BenchHost : public PreviewHost {
 public:
  explicit BenchHost(TextCompare& compare) : scripts_(compare) {
    scripts_.Add("161=Greek");
    scripts_.Add("238=Central European");
  }
  const SortedTextList& ScriptNames() const override { return scripts_; }
  Rect HostBounds() override { return Rect{0, 0, 408, 440}; }
  std::string UiText(const std::string&) const override { return ""; }
  void PreviewShown(bool) override {}
  std::optional<StoredPlacement> StoredPreviewPlacement() override { return std::nullopt; }
  void KeepPreviewPlacement(const Rect&) override {}

 private:
  SortedTextList scripts_;
};

struct Request {
  const char* face;
  std::uint8_t charset;
  const char* sample;
};

// Two faces, so that every refresh makes new fonts and new labels; the samples are in the code
// pages of their character sets (1253 and 1250).
const Request kRequests[] = {
    {"DejaVu Sans", 161, "\xD3\xF4\xE7\xED \xE1\xF1\xF7\xDE \xE7\xF4\xE1\xED \xEF \xCB\xFC\xE3\xEF\xF2 ABCDEF 0123456789"},
    {"DejaVu Serif", 238, "Pchn\xB9\xE6 w t\xEA \xB3\xF3" "d\x9F je\xBF" "a lub o\x9Cm skrzy\xF1 fig."},
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 400;
  if (n < 1) {
    std::fprintf(stderr, "usage: preview_bench [N], N at least 1\n");
    return 2;
  }
  Win32Services services(GetModuleHandleA(nullptr));

  BenchHost host(services.compare);
  TfrmPrev preview(services.platform, host);
  preview.Self().SetVisible(true);
  HWND window = HandleOf(preview.Self());
  auto refresh = [&](int i) {
    const Request& r = kRequests[i % 2];
    preview.RefreshPreview(r.sample, r.face, r.charset);
    UpdateWindow(window);  // the sheet on screen, not only its labels made
  };
  for (int i = 0; i < 6; ++i) refresh(i);  // fonts cached, window classes warm

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  times.reserve(n);
  for (int i = 0; i < n; ++i) {
    QueryPerformanceCounter(&start);
    refresh(i);
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end, frequency));
  }
  double total = 0;
  for (double t : times) total += t;
  std::sort(times.begin(), times.end());
  std::printf("%d refreshes: mean %.2f ms, median %.2f ms, slowest %.2f ms\n", n, total / n, times[n / 2],
              times.back());
  // Closed without hiding it first: hiding would store the bench's placement as the user's.
  return 0;
}
