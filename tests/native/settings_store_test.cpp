// Settings over the in-memory registry: where each value is kept, and what a missing value or one
// of another type reads as.
#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "app/settings.h"
#include "platform/errors.h"
#include "tests/fakes/memory_registry.h"

namespace sorel {
namespace {

const std::string kProgram = Settings::kProgramKey;
const std::string kMainWnd = kProgram + "MainWnd";
const std::string kPrevWnd = kProgram + "PrevWnd";
const std::string kToolbox = "Software\\Velmora\\SorelAssistant\\tbToolbox";

std::string Shown(const std::optional<std::string>& text) { return text ? "\"" + *text + "\"" : "-"; }
std::string Shown(const std::optional<int>& n) { return n ? std::to_string(*n) : "-"; }
std::string Shown(const std::optional<bool>& b) { return b ? (*b ? "yes" : "no") : "-"; }

// As "left top width height", "-" for an edge not kept, then the error that stopped the read.
std::string Shown(const std::optional<StoredPlacement>& p) {
  if (!p) return "none";
  std::string text = Shown(p->left) + " " + Shown(p->top) + " " + Shown(p->width) + " " + Shown(p->height);
  if (p->error) {
    try {
      std::rethrow_exception(p->error);
    } catch (const PlatformError& e) {
      text += " / " + std::string(e.what());
    }
  }
  return text;
}

std::string Shown(const DockLayout& layout) {
  std::string text;
  for (const NamedToolWindowLayout& bar : layout) {
    const ToolWindowLayout& l = bar.layout;
    text += bar.name + ":" + (l.Visible ? "shown" : "hidden") + " " + std::to_string(l.DockedTo) + " " +
            std::to_string(l.LastDock) + " " + std::to_string(l.DockRow) + " " + std::to_string(l.DockPos) +
            " " + std::to_string(l.FloatLeft) + " " + std::to_string(l.FloatTop) + ";";
  }
  return text;
}

// A read that raises the registry's error shows it as "error: <message>".
std::string Read(const std::function<std::string()>& read) {
  try {
    return read();
  } catch (const PlatformError& e) {
    return "error: " + std::string(e.what());
  }
}

const DockLayout kToolboxAtStart = {{"tbToolbox", {}}};

TEST(SettingsStore, EachValueRoundTripsAndReadsItsDefaultWhenMissingOrOfAnotherType) {
  const ToolWindowLayout floating{false, ToolWindowLayout::kFloating, 2, 1, -5, 812, -30};
  struct Case {
    const char* what;
    std::string key, value;  // where it is kept, and the value a wrong type is put in
    std::uint32_t type;      // the type it is written with
    std::function<void(Settings&)> write;
    std::function<std::string(Settings&)> read;
    std::string written, missing, otherType;
  } cases[] = {
      {"AppPath", kProgram, "AppPath", RegType::String,
       [](Settings& s) { s.KeepAppPath("C:\\Program Files\\Sorel\\SorelAssistant.exe"); },
       [](Settings& s) { return Shown(s.AppPath()); },
       "\"C:\\Program Files\\Sorel\\SorelAssistant.exe\"", "-", "-"},
      {"language", kProgram, "Language", RegType::String, [](Settings& s) { s.SetLanguage("English"); },
       [](Settings& s) { return Shown(s.Language()); }, "\"English\"", "-", "-"},
      {"sample set", kProgram, "SampleSet1", RegType::String, [](Settings& s) { s.SetSampleSet("Greek"); },
       [](Settings& s) { return "\"" + s.SampleSet() + "\""; }, "\"Greek\"", "\"\"",
       "error: Invalid data type for 'SampleSet1'"},
      {"main window's place", kMainWnd, "L", RegType::DWord,
       [](Settings& s) { s.SaveMainPlacement({-7, 640}, true); },
       [](Settings& s) { return Shown(s.MainPlacement()); }, "-7 640 - -", "none",
       "- - - - / Invalid data type for 'L'"},
      {"preview shown with it", kMainWnd, "P", RegType::DWord,
       [](Settings& s) { s.SaveMainPlacement({1, 2}, false); },
       [](Settings& s) { return Shown(s.PreviewShown()); }, "no", "-", "error: Invalid data type for 'P'"},
      {"preview's place", kPrevWnd, "L", RegType::DWord,
       [](Settings& s) { s.SavePreviewPlacement({7, 8, 300, 200}); },
       [](Settings& s) { return Shown(s.PreviewPlacement()); }, "7 8 300 200", "none",
       "- - 300 200 / Invalid data type for 'L'"},
      {"tool window layout", kToolbox, "DockRow", RegType::String,
       [&](Settings& s) { s.SaveToolWindowLayouts({{"tbToolbox", floating}}); },
       [](Settings& s) { return Shown(s.ToolWindowLayouts(kToolboxAtStart)); },
       "tbToolbox:hidden 0 2 1 -5 812 -30;", "", "error: Invalid data type for 'DockRow'"},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    Settings settings(registry);
    EXPECT_EQ(Read([&] { return c.read(settings); }), c.missing) << c.what << ", missing";

    c.write(settings);
    EXPECT_EQ(Read([&] { return c.read(settings); }), c.written) << c.what;
    auto stored = registry.GetRaw(RegRoot::CurrentUser, c.key, c.value);
    ASSERT_TRUE(stored) << c.what;
    EXPECT_EQ(stored->type, c.type) << c.what;

    const std::uint32_t other = c.type == RegType::String ? RegType::DWord : RegType::String;
    registry.SetRaw(RegRoot::CurrentUser, c.key, c.value, other, std::string("\5\0\0\0", 4));
    EXPECT_EQ(Read([&] { return c.read(settings); }), c.otherType) << c.what << ", of another type";
  }
}

// The placements and layouts are kept under their own keys below the program's, with the names
// and types the program has always used.
TEST(SettingsStore, WritesEveryValueUnderItsName) {
  MemoryRegistry registry;
  Settings settings(registry);
  settings.SaveMainPlacement({3, 4}, true);
  settings.SavePreviewPlacement({5, 6, 232, 417});
  settings.SaveToolWindowLayouts(kToolboxAtStart);
  const auto dwords = [&](const std::string& key) {
    std::string text;
    for (const auto& v : registry.Dump(RegRoot::CurrentUser, key))
      text += v.name + (v.type == RegType::DWord ? "=" + std::to_string(*registry.GetDWord(RegRoot::CurrentUser, key, v.name)) : "?") + " ";
    return text;
  };
  EXPECT_EQ(dwords(kMainWnd), "L=3 T=4 P=1 ");
  EXPECT_EQ(dwords(kPrevWnd), "W=232 H=417 L=5 T=6 ");
  EXPECT_EQ(registry.DumpStrings(RegRoot::CurrentUser, kToolbox),
            (std::vector<std::string>{"Rev=3", "Visible=1", "DockedTo=1", "LastDock=1", "DockRow=0", "DockPos=0",
                                      "FloatLeft=0", "FloatTop=0"}));
}

}  // namespace
}  // namespace sorel
