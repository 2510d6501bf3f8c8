// In-memory font enumeration: a scripted inventory that tests and benchmarks fill in.
#include "tests/fakes/memory_fonts.h"
#include "platform/text.h"

#include "platform/errors.h"

namespace sorel {

namespace {

class MemoryScreenDC : public ScreenDC {
 public:
  explicit MemoryScreenDC(MemoryFonts& owner) : owner_(owner) { ++owner_.screenDCsGot; }
  ~MemoryScreenDC() override { ++owner_.screenDCsReleased; }

  void ForEachFont(const std::function<void(const ReportedFont&)>& each) override { Report(owner_.fonts, each); }

  void ForEachFaceScript(const std::string& face, const std::function<void(const ReportedScript&)>& each) override {
    owner_.scriptQueries.push_back(face);
    if (const auto* scripts = owner_.ScriptsOf(face)) Report(*scripts, each);
  }
  void ForEachFaceStyle(const std::string& face, int charset,
                        const std::function<void(const FaceStyle&)>& each) override {
    // The system's face-name field holds 31 characters.
    if (const auto* styles = owner_.StylesOf(face.substr(0, 31), charset)) Report(*styles, each);
  }

 private:
  template <class T, class F>
  void Report(const std::vector<T>& items, const F& each) {
    std::size_t reported = 0;
    for (const T& item : items) {
      if (reported++ == owner_.reportLimit) {
        if (owner_.throwAtLimit) throw PlatformError("Font enumeration failed");
        return;
      }
      each(item);
    }
  }

  MemoryFonts& owner_;
};

}  // namespace

std::unique_ptr<ScreenDC> MemoryFonts::GetScreenDC() { return std::make_unique<MemoryScreenDC>(*this); }

std::string MemoryFonts::FoldCase(const std::string& face) {
  return AsciiLower(face);
}

void MemoryFonts::SetScripts(const std::string& face, std::vector<ReportedScript> scripts) {
  scripts_[FoldCase(face)] = std::move(scripts);
}

const std::vector<ReportedScript>* MemoryFonts::ScriptsOf(const std::string& face) const {
  auto it = scripts_.find(FoldCase(face));
  return it == scripts_.end() ? nullptr : &it->second;
}

void MemoryFonts::SetStyles(const std::string& face, int charset, std::vector<FaceStyle> styles) {
  styles_[{FoldCase(face), charset}] = std::move(styles);
}

const std::vector<FaceStyle>* MemoryFonts::StylesOf(const std::string& face, int charset) const {
  auto it = styles_.find({FoldCase(face), charset});
  return it == styles_.end() ? nullptr : &it->second;
}

}  // namespace sorel
