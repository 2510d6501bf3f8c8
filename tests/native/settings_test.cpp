// The main window's placement and the toolbox layout in the registry, driven through TForm1.
#include <gtest/gtest.h>

#include <map>

#include "app/settings.h"
#include "platform/errors.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const std::string kMainWnd = std::string(sorel::Settings::kProgramKey) + "MainWnd";
const std::string kToolbox = "Software\\Velmora\\SorelAssistant\\tbToolbox";

class Settings : public MainWindowTest {
 protected:
  Rect Bounds() { return form->Self().Bounds(); }
  // The stored layout, as name = text of REG_SZ values only.
  std::map<std::string, std::string> Layout() {
    std::map<std::string, std::string> values;
    for (const auto& v : p.registry.Dump(RegRoot::CurrentUser, kToolbox))
      values[v.name] = v.type == RegType::String ? v.data : "<type " + std::to_string(v.type) + ">";
    return values;
  }
  void StoreLayout(const std::map<std::string, std::string>& values) {
    for (const auto& [name, text] : values) p.registry.SetString(RegRoot::CurrentUser, kToolbox, name, text);
  }
  Panel& Toolbox() { return *p.ui.Find<Panel>("tbToolbox"); }
};

// Without "MainWnd" the window and a 232-pixel strip right of it are centred together; both
// divisions truncate toward zero, so narrow screens give small negative edges, applied as they are.
TEST_F(Settings, ShowingWithoutStoredPlacementCentresWindowAndPreviewStrip) {
  struct Case {
    int screenWidth, screenHeight, left, top;
  } cases[] = {
      {1024, 768, 193, 175},  // window 406 x 417: (1024 - 638) / 2, (768 - 417) / 2 = 175.5
      {601, 400, -18, -8},    // -37 / 2 and -17 / 2, not rounded down to -19 and -9
      {638, 417, 0, 0},
  };
  for (const Case& c : cases) {
    p.app.screenWidth = c.screenWidth;
    p.app.screenHeight = c.screenHeight;
    TForm1& f = Create();
    ASSERT_EQ(Bounds().width, 406) << "the window's outer width, which the centring uses";
    f.FormShow();
    EXPECT_EQ(Bounds().left, c.left) << c.screenWidth;
    EXPECT_EQ(Bounds().top, c.top) << c.screenHeight;
    EXPECT_EQ(Bounds().width, 406);
    EXPECT_FALSE(p.registry.KeyExists(RegRoot::CurrentUser, kMainWnd)) << "showing writes nothing";
  }
}

TEST_F(Settings, StoredValuesSetTheirEdgeAndAbsentOnesLeaveItAlone) {
  TForm1& f = Create();
  f.Self().SetBounds({11, 22, 406, 417});
  p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "T", 300);
  f.RestoreMainPlacement();
  EXPECT_EQ(Bounds().left, 11) << "no \"L\": the left edge stays, no centring either";
  EXPECT_EQ(Bounds().top, 300);

  // A negative edge (a window on a screen left of the primary one) is kept; "P" shows or hides the
  // preview window.
  p.app.workAreas = {{0, 0, 1024, 738}, {-1600, 0, 1600, 900}};
  p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "L", -1500);
  for (int shown : {1, 0}) {
    p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "P", shown);
    f.RestoreMainPlacement();
    EXPECT_EQ(Bounds().left, -1500);
    EXPECT_EQ(Bounds().top, 300);
    EXPECT_EQ(Bounds().width, 406);
    EXPECT_EQ(Bounds().height, 417);
    EXPECT_EQ(f.Preview().Self().Visible(), shown == 1);
    EXPECT_EQ(Btn("btPreview").Down(), shown == 1);
  }
}

TEST_F(Settings, WronglyTypedValueStopsThePlacementThere) {
  struct Case {
    const char* badValue;
    int left, top;  // after the failed restore, from {11, 22}
  } cases[] = {{"L", 11, 22}, {"T", 70, 22}};
  for (const Case& c : cases) {
    p.registry.DeleteKey(RegRoot::CurrentUser, kMainWnd);
    p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "L", 70);
    p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "T", 80);
    p.registry.SetString(RegRoot::CurrentUser, kMainWnd, c.badValue, "70");
    StoreLayout({{"Rev", "3"}, {"Visible", "0"}});
    TForm1& f = Create();
    f.Self().SetBounds({11, 22, 406, 417});
    try {
      f.FormShow();
      ADD_FAILURE() << "no error for " << c.badValue;
    } catch (const PlatformError& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid data type for '" + std::string(c.badValue) + "'");
    }
    EXPECT_EQ(Bounds().left, c.left) << c.badValue;
    EXPECT_EQ(Bounds().top, c.top) << c.badValue;
    EXPECT_TRUE(Toolbox().Visible()) << "the toolbar layout comes after the placement and was not loaded";
  }
}

// A place stored off every screen (monitors since removed or rearranged) is brought into view, for
// the main window and the preview alike; one on any screen is kept.
TEST_F(Settings, StoredPlacementOffEveryScreenIsBroughtIntoView) {
  p.app.workAreas = {{0, 0, 1024, 738}, {1024, -200, 800, 600}};
  struct Case {
    const char* what;
    Point stored, main, preview;  // top left corners; the main window is 406 x 417, the preview 300 x 200
  } cases[] = {
      {"on the primary monitor", {100, 50}, {100, 50}, {100, 50}},
      {"on the second monitor", {1500, -150}, {1500, -150}, {1500, -150}},
      {"left of every screen", {-3000, 100}, {0, 100}, {0, 100}},
      {"below every screen", {200, 5000}, {200, 321}, {200, 538}},
  };
  for (const Case& c : cases) {
    const std::string prevWnd = std::string(sorel::Settings::kProgramKey) + "PrevWnd";
    for (const auto& [name, value] : {std::pair{"L", c.stored.x}, std::pair{"T", c.stored.y}}) {
      p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, name, value);
      p.registry.SetDWord(RegRoot::CurrentUser, prevWnd, name, value);
    }
    p.registry.SetDWord(RegRoot::CurrentUser, kMainWnd, "P", 1);
    p.registry.SetDWord(RegRoot::CurrentUser, prevWnd, "W", 300);
    p.registry.SetDWord(RegRoot::CurrentUser, prevWnd, "H", 200);
    TForm1& f = Create();
    f.FormShow();
    EXPECT_EQ(Bounds(), (Rect{c.main.x, c.main.y, 406, 417})) << c.what;
    EXPECT_EQ(f.Preview().Self().Bounds(), (Rect{c.preview.x, c.preview.y, 300, 200})) << c.what;
  }
}

// Every close attempt stores the position, whatever is answered; "P" is 0 while there is no
// preview window.
TEST_F(Settings, EveryCloseAttemptStoresThePlacement) {
  struct Case {
    const char* what;
    bool modified;
    Answer answer;
    bool closes;
  } cases[] = {{"unchanged", false, Answer::None, true},
               {"Cancel", true, Answer::Cancel, false},
               {"No", true, Answer::No, true},
               {"Yes", true, Answer::Yes, true}};
  int shift = 0;  // a new position for every case
  for (const Case& c : cases) {
    ++shift;
    p.registry.DeleteKey(RegRoot::CurrentUser, kMainWnd);
    p.registry.DeleteKey(RegRoot::CurrentUser, kToolbox);
    TForm1& f = Create();
    f.Self().SetBounds({-40 + shift, 90 + shift, 406, 417});
    if (c.modified) SwitchCodePage();
    if (c.modified) p.dialogs.Script({c.answer});
    p.dialogs.SetDefaultAnswer(Answer::No);  // the restart question after Yes
    Click(p.ui, *p.ui.Find<Button>("btOK"));
    EXPECT_EQ(f.Self().Closed(), c.closes) << c.what;
    EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, kMainWnd, "L"), -40 + shift) << c.what;
    EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, kMainWnd, "T"), 90 + shift) << c.what;
    EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, kMainWnd, "P"), 0) << c.what;
    EXPECT_EQ(Layout()["Rev"], "3") << c.what;
    EXPECT_TRUE(p.ui.events.errorsShown.empty()) << c.what;
  }
  // A second attempt after Cancel stores the position again.
  p.registry.DeleteKey(RegRoot::CurrentUser, kMainWnd);
  TForm1& f = Create();
  SwitchCodePage();
  p.dialogs.Script({Answer::Cancel, Answer::Cancel});
  Click(p.ui, *p.ui.Find<Button>("btOK"));
  f.Self().SetBounds({5, 6, 406, 417});
  Click(p.ui, *p.ui.Find<Button>("btOK"));
  EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, kMainWnd, "L"), 5);
}

TEST_F(Settings, SavedPlacementIsRestoredOnTheNextStart) {
  Create().Self().SetBounds({-7, 640, 406, 417});
  form->SaveMainPlacement();
  TForm1& next = Create();
  next.FormShow();
  EXPECT_EQ(Bounds().left, -7);
  EXPECT_EQ(Bounds().top, 640);
}

TEST_F(Settings, UnwritableMainWndIsSkippedButTheLayoutIsStillSaved) {
  p.registry.DenyOpen(RegRoot::CurrentUser, kMainWnd);
  Create().SaveMainPlacement();
  EXPECT_FALSE(p.registry.KeyExists(RegRoot::CurrentUser, kMainWnd));
  EXPECT_EQ(Layout()["Rev"], "3");
}

// A first save writes the toolbox where it starts, in the right dock, every value as decimal text.
TEST_F(Settings, FirstSaveWritesTheFixedToolboxLayout) {
  TForm1& f = Create();
  f.FormShow();
  f.SaveMainPlacement();
  EXPECT_EQ(Layout(), (std::map<std::string, std::string>{{"Rev", "3"},
                                                          {"Visible", "1"},
                                                          {"DockedTo", "2"},
                                                          {"LastDock", "2"},
                                                          {"DockRow", "0"},
                                                          {"DockPos", "0"},
                                                          {"FloatLeft", "0"},
                                                          {"FloatTop", "0"}}));
}

// A toolbox left floating comes back floating where it was, and is saved so again; one stored off
// every screen comes back into view, keeping the values that place it in its dock.
TEST_F(Settings, FloatingToolboxComesBackWhereItWasOrIntoView) {
  struct Case {
    const char *left, *top;
    Rect shown;
  } cases[] = {{"812", "300", {812, 300, 44, 309}}, {"812", "-30", {812, 0, 44, 309}}, {"-5000", "9000", {0, 459, 44, 309}}};
  for (const Case& c : cases) {
    const std::map<std::string, std::string> stored = {{"Rev", "3"},      {"Visible", "1"}, {"DockedTo", "0"},
                                                       {"LastDock", "1"}, {"DockRow", "2"}, {"DockPos", "-5"},
                                                       {"FloatLeft", c.left}, {"FloatTop", c.top}};
    StoreLayout(stored);
    TForm1& f = Create();
    f.FormShow();
    Form& floating = *p.ui.Find<Form>("tbToolboxFloat");
    EXPECT_TRUE(floating.Visible()) << c.left << "," << c.top;
    EXPECT_EQ(ParentOf(Toolbox()), &floating);
    EXPECT_EQ(floating.Bounds(), c.shown) << c.left << "," << c.top;
    p.registry.DeleteKey(RegRoot::CurrentUser, kToolbox);
    f.SaveMainPlacement();
    auto expected = stored;
    expected["FloatLeft"] = std::to_string(c.shown.left);
    expected["FloatTop"] = std::to_string(c.shown.top);
    EXPECT_EQ(Layout(), expected);
  }
}

// Only revisions 2 and 3 are taken; anything else leaves the defaults, which the save then writes.
TEST_F(Settings, LayoutAppliesOnlyForRevisionTwoOrThree) {
  struct Case {
    const char* rev;  // nullptr: no "Rev"
    bool applied;
  } cases[] = {{"2", true}, {"3", true}, {" 3", true}, {"1", false}, {"4", false},
               {"0", false}, {"3x", false}, {"", false}, {nullptr, false}};
  for (const Case& c : cases) {
    const std::string what = c.rev ? std::string("Rev \"") + c.rev + "\"" : "no Rev";
    p.registry.DeleteKey(RegRoot::CurrentUser, kToolbox);
    StoreLayout({{"Visible", "0"}, {"DockedTo", "1"}, {"FloatTop", "44"}});
    if (c.rev) StoreLayout({{"Rev", c.rev}});
    TForm1& f = Create();
    f.FormShow();
    EXPECT_EQ(Toolbox().Visible(), !c.applied) << what;
    f.SaveMainPlacement();
    auto saved = Layout();
    EXPECT_EQ(saved["Rev"], "3") << what;
    EXPECT_EQ(saved["Visible"], c.applied ? "0" : "1") << what;
    EXPECT_EQ(saved["DockedTo"], c.applied ? "1" : "2") << what;
    EXPECT_EQ(saved["FloatTop"], c.applied ? "44" : "0") << what;
  }
}

TEST_F(Settings, UnreadableLayoutTextsKeepTheirDefaults) {
  StoreLayout({{"Rev", "2"},
               {"Visible", "yes"},
               {"DockedTo", "1"},
               {"DockRow", "0x10"},
               {"DockPos", "-"},
               {"FloatLeft", "99999999999"},
               {"FloatTop", " -2147483648"}});
  TForm1& f = Create();
  f.FormShow();
  EXPECT_TRUE(Toolbox().Visible());
  f.SaveMainPlacement();
  auto saved = Layout();
  EXPECT_EQ(saved["Visible"], "1");
  EXPECT_EQ(saved["DockedTo"], "1");
  EXPECT_EQ(saved["DockRow"], "0");
  EXPECT_EQ(saved["DockPos"], "0");
  EXPECT_EQ(saved["FloatLeft"], "0");
  EXPECT_EQ(saved["FloatTop"], "-2147483648");
}

TEST_F(Settings, LayoutValueOfAnotherTypeRaisesTheRegistryError) {
  StoreLayout({{"Rev", "3"}});
  p.registry.SetDWord(RegRoot::CurrentUser, kToolbox, "Visible", 0);
  TForm1& f = Create();
  try {
    f.FormShow();
    ADD_FAILURE() << "no error";
  } catch (const PlatformError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Visible'");
  }
}

}  // namespace
}  // namespace sorel::test
