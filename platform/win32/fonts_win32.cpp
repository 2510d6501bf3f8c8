// Font enumeration on the screen's device context through GDI.
#include "platform/win32/fonts_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <exception>

namespace sorel {

namespace {

// A callback's report and an error it raised; the error must not unwind through GDI, so the
// callback stops the enumeration and the caller throws it again afterwards.
template <class Report>
struct Enumeration {
  const std::function<void(const Report&)>& each;
  std::exception_ptr error;
};

std::string FixedText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

int CALLBACK OnFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD fontType, LPARAM param) {
  auto* run = reinterpret_cast<Enumeration<ReportedFont>*>(param);
  try {
    ReportedFont reported;
    reported.face = FixedText(font->lfFaceName, LF_FACESIZE);
    reported.raster = (fontType & RASTER_FONTTYPE) != 0;
    reported.charset = font->lfCharSet;
    run->each(reported);
    return 1;
  } catch (...) {
    run->error = std::current_exception();
    return 0;
  }
}

// GDI passes an ENUMLOGFONTEXA and a NEWTEXTMETRICEXA behind the declared types.
int CALLBACK OnFaceScript(const LOGFONTA* font, const TEXTMETRICA* metric, DWORD, LPARAM param) {
  auto* run = reinterpret_cast<Enumeration<ReportedScript>*>(param);
  try {
    const auto* full = reinterpret_cast<const ENUMLOGFONTEXA*>(font);
    const auto* metrics = reinterpret_cast<const NEWTEXTMETRICEXA*>(metric);
    ReportedScript reported;
    reported.charset = metrics->ntmTm.tmCharSet;
    reported.script = FixedText(reinterpret_cast<const char*>(full->elfScript), sizeof(full->elfScript));
    run->each(reported);
    return 1;
  } catch (...) {
    run->error = std::current_exception();
    return 0;
  }
}

// GDI passes a NEWTEXTMETRICEXA behind the declared type for TrueType and OpenType fonts; its ntmFlags
// say whether a font of the family is the bold, italic or regular one.
int CALLBACK OnFaceStyle(const LOGFONTA*, const TEXTMETRICA* metric, DWORD, LPARAM param) {
  auto* run = reinterpret_cast<Enumeration<FaceStyle>*>(param);
  try {
    const DWORD flags = reinterpret_cast<const NEWTEXTMETRICEXA*>(metric)->ntmTm.ntmFlags;
    run->each(FaceStyle{(flags & NTM_BOLD) != 0, (flags & NTM_ITALIC) != 0});
    return 1;
  } catch (...) {
    run->error = std::current_exception();
    return 0;
  }
}

// A request for one face: the zeroed field keeps its terminating zero whatever the name's length.
LOGFONTA FaceRequest(const std::string& face, int charset) {
  LOGFONTA request{};
  request.lfCharSet = static_cast<BYTE>(charset);
  std::memcpy(request.lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  return request;
}

class Win32ScreenDC : public ScreenDC {
 public:
  Win32ScreenDC() : dc_(GetDC(nullptr)) {}
  ~Win32ScreenDC() override {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  Win32ScreenDC(const Win32ScreenDC&) = delete;
  Win32ScreenDC& operator=(const Win32ScreenDC&) = delete;

  // Without a device context nothing is reported, as when the enumeration itself fails.
  void ForEachFont(const std::function<void(const ReportedFont&)>& each) override {
    if (!dc_) return;
    Enumeration<ReportedFont> run{each, nullptr};
    EnumFontsA(dc_, nullptr, &OnFont, reinterpret_cast<LPARAM>(&run));
    if (run.error) std::rethrow_exception(run.error);
  }

  void ForEachFaceScript(const std::string& face, const std::function<void(const ReportedScript&)>& each) override {
    if (!dc_) return;
    LOGFONTA request = FaceRequest(face, DEFAULT_CHARSET);
    Enumeration<ReportedScript> run{each, nullptr};
    EnumFontFamiliesExA(dc_, &request, &OnFaceScript, reinterpret_cast<LPARAM>(&run), 0);
    if (run.error) std::rethrow_exception(run.error);
  }

  void ForEachFaceStyle(const std::string& face, int charset,
                        const std::function<void(const FaceStyle&)>& each) override {
    if (!dc_) return;
    LOGFONTA request = FaceRequest(face, charset);
    Enumeration<FaceStyle> run{each, nullptr};
    EnumFontFamiliesExA(dc_, &request, &OnFaceStyle, reinterpret_cast<LPARAM>(&run), 0);
    if (run.error) std::rethrow_exception(run.error);
  }

 private:
  HDC dc_;
};

}  // namespace

std::unique_ptr<ScreenDC> Win32Fonts::GetScreenDC() { return std::make_unique<Win32ScreenDC>(); }

}  // namespace sorel
