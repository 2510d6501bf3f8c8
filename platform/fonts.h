// Font enumeration on the screen's device context.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sorel {

// One font as the system reports it when every face is enumerated (EnumFontsA).
struct ReportedFont {
  std::string face;  // at most 31 characters
  bool raster = false;
  int charset = 0;
};

// One style and character set of a face (EnumFontFamiliesExA).
struct ReportedScript {
  int charset = 0;
  std::string script;  // the system's script name; may be empty
};

// The style of one font of a family: the bold one, the italic one, both or neither.
struct FaceStyle {
  bool bold = false;
  bool italic = false;
  bool operator==(const FaceStyle&) const = default;
};

// The screen's device context, held for a run of enumerations and released when destroyed.
class ScreenDC {
 public:
  virtual ~ScreenDC() = default;
  // Every font the system reports, in its order; a failing enumeration just stops early.
  virtual void ForEachFont(const std::function<void(const ReportedFont&)>& each) = 0;
  // Every style and character set of one face, in the system's order.
  virtual void ForEachFaceScript(const std::string& face, const std::function<void(const ReportedScript&)>& each) = 0;
  // The styles of one face in one character set (EnumFontFamiliesExA): for every font of the
  // family the system reports, whether it is bold and whether italic. The face name is cut to 31
  // characters, as the system's field holds no more.
  virtual void ForEachFaceStyle(const std::string& face, int charset,
                                const std::function<void(const FaceStyle&)>& each) = 0;
};

class Fonts {
 public:
  virtual ~Fonts() = default;
  virtual std::unique_ptr<ScreenDC> GetScreenDC() = 0;
};

}  // namespace sorel
