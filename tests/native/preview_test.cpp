// The preview window, the sample sets, the sheet and its printout, on in-memory platforms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "preview/print_sheet.h"
#include "preview/sample_sets.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;
const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
constexpr FaceStyle kRegular{}, kBold{true, false}, kItalic{false, true}, kBoldItalic{true, true};

// Arial offers Greek and Central European, with regular, bold, italic and bold italic fonts in
// Greek; Symbolic offers Greek without a bold font.
const std::string kLanguageFile =
    "[IniStrings]\r\n[Test]\r\n[Samplez Latin]\r\n0=Zero\r\n161=Alpha\r\n"
    "[Samplez&Greek]\r\n0=Nil\r\n[samplez lower]\r\n0=x\r\n";

class Preview : public MainWindowTest {
 protected:
  void SetUp() override {
    p.files.Put(kLangRes, kLanguageFile);
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
    AddFace("Arial", {{0, "Western"}, {161, "Greek"}, {238, "Central European"}});
    AddFace("Symbolic", {{161, "Greek"}});
    p.fonts.SetStyles("Arial", 161, {kRegular, kBold, kItalic, kBoldItalic});
    p.fonts.SetStyles("Arial", 0, {kRegular, kBold, kItalic});
    p.fonts.SetStyles("Symbolic", 161, {kRegular, kItalic});
  }
  TfrmPrev& Prev() { return form->Preview(); }
  Texts SampleMenu() {
    Texts items;
    MenuItem& menu = Item("pmSamplez");
    for (int i = 0; i < menu.Count(); ++i)
      items.push_back(menu.Item(i).Caption() + (menu.Item(i).Checked() ? "*" : ""));
    return items;
  }
  // The sheet as "top text" rows.
  Texts Sheet() {
    Texts rows;
    for (Label* label : LabelsIn(*p.ui.Find<ScrollBox>("ScrollBox1")))
      rows.push_back(std::to_string(label->Bounds().top) + " " + label->Caption());
    return rows;
  }
};

TEST_F(Preview, SampleSetsAreListedAndTheStoredOneChosen) {
  struct Case {
    const char* stored;
    Texts menu;
    std::string greekSample;  // of Arial (Greek) once the set is read
  } cases[] = {
      {"Greek", {"Latin", "Greek*", ""}, "Nil"},      // no 161 in the set: the sample of "0"
      {"Latin", {"Latin*", "Greek", ""}, "Alpha"},
      {"Missing", {"Latin*", "Greek", ""}, "Alpha"},  // the first set instead
      {"", {"Latin", "Greek", "*"}, "Bare"},          // "Samplez" alone has an empty caption
  };
  p.files.Put(kLangRes, kLanguageFile + "[Samplez]\r\n0=Bare\r\n");
  for (const Case& c : cases) {
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "SampleSet1", c.stored);
    Create();
    EXPECT_EQ(SampleMenu(), c.menu) << c.stored;
    tree->Select(Node("Arial (Greek)"));
    EXPECT_EQ(p.ui.Find<Label>("LabelSample")->Caption(), c.greekSample) << c.stored;
    EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, "SampleSet1"), c.stored) << "kept as stored";
  }
}

TEST(SampleSets, TwoSetsOfTheStoredNameAreBothCheckedAndTheLaterRead) {
  MemoryFileSystem files;
  MemoryProfileFiles profiles{files, "C:\\windows"};
  files.Put("C:\\l.ini", "[Samplez A]\r\n[Samplez B]\r\n[Samplez-A]\r\n[Sample A]\r\n");
  const SampleSets sets = ListSampleSets(profiles, "C:\\l.ini", "A");
  ASSERT_EQ(sets.items.size(), 3u);
  EXPECT_TRUE(sets.items[0].checked && sets.items[2].checked && !sets.items[1].checked);
  EXPECT_EQ(sets.chosenSection, "Samplez-A");
  EXPECT_EQ(sets.items[2].tag, 2);
  EXPECT_TRUE(ListSampleSets(profiles, "C:\\none.ini", "A").items.empty());
}

// Picking a set stores it, reloads the menu and refreshes the sample of the selection.
TEST_F(Preview, PickingASetStoresItAndShowsItsSample) {
  Create();
  tree->Select(Node("Symbolic"));
  ASSERT_EQ(p.ui.Find<Label>("LabelSample")->Caption(), "Zero");
  const int refreshes = Prev().Refreshes();
  ClickItem(p.ui, Item("pmSamplez").Item(1));
  EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, "SampleSet1"), "Greek");
  EXPECT_EQ(SampleMenu(), (Texts{"Latin", "Greek*"}));
  EXPECT_EQ(p.ui.Find<Label>("LabelSample")->Caption(), "Nil");
  EXPECT_EQ(LabelFont(*p.ui.Find<Label>("LabelSample")).face, "Symbolic");
  EXPECT_EQ(Prev().Refreshes(), refreshes + 1);
  // The same sample again: nothing to refresh.
  ClickItem(p.ui, Item("pmSamplez").Item(1));
  EXPECT_EQ(Prev().Refreshes(), refreshes + 1);
  // The sample area offers the same menu where it is right-clicked.
  ContextMenuOf(p.ui, *p.ui.Find<Panel>("SB1"), 30, 12);
  EXPECT_EQ(LastPopupAnchor(*p.ui.FindMenu("pmSamplez")), "SB1@30,12");
}

TEST_F(Preview, ShowFontRefreshesOnlyWhatChanged) {
  Create();
  const struct {
    const char* node;
    std::string face;
    int charset;
    std::string sample;
    bool refreshes;
  } steps[] = {
      {"Arial (Greek)", "Arial", 161, "Alpha", true},
      {"Arial (Greek)", "Arial", 161, "Alpha", false},  // selected again elsewhere and back: see below
      {"Arial (Central European)", "Arial", 238, "Zero", true},
      {"Arial", "Arial", 0, "Zero", true},
      {"Symbolic (Greek)", "Symbolic", 161, "Alpha", true},
  };
  for (const auto& s : steps) {
    const int before = Prev().Refreshes();
    tree->Select(Node(s.node));
    if (!s.refreshes) form->Preview().ShowFont(s.sample, s.face, static_cast<std::uint8_t>(s.charset));
    EXPECT_EQ(Prev().Refreshes(), before + (s.refreshes ? 1 : 0)) << s.node;
    EXPECT_EQ(Prev().CurrentFace(), s.face) << s.node;
    EXPECT_EQ(Prev().CurrentCharset(), s.charset) << s.node;
    EXPECT_EQ(Prev().CurrentSample(), s.sample) << s.node;
    EXPECT_EQ(Sheet()[0], "6 " + (s.charset == 161 ? s.face + " (Greek)" : s.charset == 238 ? s.face + " (Central European)" : s.face))
        << s.node;
  }
}

// The sheet: heading at 6, the first sample 22 pixels below the heading's bottom, each sample 2
// pixels above its caption; 19 labels however often it is built, scrolled back to the top.
TEST_F(Preview, SheetPlacesNineSizesBelowTheHeading) {
  Create();
  auto& box = *p.ui.Find<ScrollBox>("ScrollBox1");
  tree->Select(Node("Arial (Greek)"));
  box.SetScrollPosition(0, 140);
  const int computations = RangeComputations(box);
  tree->Select(Node("Arial (Central European)"));
  EXPECT_EQ(box.ScrollY(), 0);
  EXPECT_EQ(RangeComputations(box), computations + 1);
  Texts expected = {"6 Arial (Central European)"};
  int y = 28 + MemoryLineHeight(12);
  for (int points : kPointSizes) {
    expected.push_back(std::to_string(y) + " Zero");
    y += MemoryLineHeight(points) + 2;
    expected.push_back(std::to_string(y) + " " + std::to_string(points) + " pt ");
    y += MemoryLineHeight(8);
  }
  EXPECT_EQ(Sheet(), expected);
  EXPECT_EQ(box.Range().height, y);
  for (int i = 0; i < 5; ++i) tree->Select(Node(i % 2 ? "Arial" : "Symbolic (Greek)"));
  EXPECT_EQ(LabelsIn(box).size(), 19u);
}

TEST_F(Preview, BoldAndItalicFormOneGroupAndFollowTheFace) {
  Create();
  auto& box = *p.ui.Find<ScrollBox>("ScrollBox1");
  Button& bold = *p.ui.Find<Button>("btBold");
  Button& italic = *p.ui.Find<Button>("btItalic");
  auto styles = [&] {  // heading, first sample, first caption: b/i/u letters
    std::string out;
    for (int i : {0, 1, 2}) {
      FontSpec f = LabelFont(*LabelsIn(box)[i]);
      out += std::string(f.bold ? "b" : "") + (f.italic ? "i" : "") + (f.underline ? "u" : "") + "|";
    }
    return out;
  };
  tree->Select(Node("Arial (Greek)"));
  EXPECT_EQ(styles(), "u|||");
  Click(p.ui, bold);
  EXPECT_TRUE(bold.Down());
  EXPECT_EQ(styles(), "bu|b||");
  Click(p.ui, italic);  // releases bold
  EXPECT_FALSE(bold.Down());
  EXPECT_TRUE(italic.Down());
  EXPECT_EQ(styles(), "iu|i||");
  Click(p.ui, italic);
  EXPECT_EQ(styles(), "u|||");
  Click(p.ui, bold);
  tree->Select(Node("Symbolic (Greek)"));  // no bold font: regular, the button keeps its state
  EXPECT_FALSE(bold.Enabled());
  EXPECT_TRUE(bold.Down());
  EXPECT_TRUE(italic.Enabled());
  EXPECT_EQ(styles(), "u|||");
  tree->Select(Node("Arial (Greek)"));
  EXPECT_EQ(styles(), "bu|b||");
}

// A selection change handled while a refresh lets events run wins: the sheet, the values and the
// style are all the later request's.
TEST_F(Preview, NestedRefreshLeavesTheLatestRequest) {
  Create();
  tree->Select(Node("Arial (Greek)"));
  Click(p.ui, *p.ui.Find<Button>("btBold"));
  tree->Select(Node("Arial (Central European)"));
  // The outer request would be bold; the one handled inside it is not.
  p.app.pendingEvents.push_back([&] { tree->Select(Node("Symbolic (Greek)")); });
  tree->Select(Node("Arial (Greek)"));
  EXPECT_EQ(Prev().CurrentFace(), "Symbolic");
  EXPECT_EQ(Prev().CurrentCharset(), 161);
  EXPECT_FALSE(Prev().Style().Bold());
  EXPECT_EQ(Sheet()[0], "6 Symbolic (Greek)");
  EXPECT_FALSE(LabelFont(*LabelsIn(*p.ui.Find<ScrollBox>("ScrollBox1"))[0]).bold);
  EXPECT_EQ(LabelsIn(*p.ui.Find<ScrollBox>("ScrollBox1")).size(), 19u);
}

TEST_F(Preview, PlacementBesideTheMainWindowThenAsStored) {
  Create();
  form->Self().SetVisible(true);  // first start: the preview shows beside the window
  Form& prev = Prev().Self();
  const Rect main = form->Self().Bounds();
  EXPECT_TRUE(prev.Visible());
  EXPECT_TRUE(Btn("btPreview").Down());
  EXPECT_EQ(prev.Bounds().left, main.left + main.width);
  EXPECT_EQ(prev.Bounds().top, main.top);
  EXPECT_EQ(prev.Bounds().width, 232);
  EXPECT_EQ(prev.Bounds().height, main.height);
  prev.SetBounds({5, 6, 300, 200});
  Click(p.ui, Btn("btPreview"));  // hides and stores
  EXPECT_FALSE(prev.Visible());
  EXPECT_FALSE(Btn("btPreview").Down());
  EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, Settings::kProgramKey + std::string("PrevWnd"), "W"), 300);
  prev.SetBounds({0, 0, 10, 10});
  Click(p.ui, Btn("btPreview"));
  EXPECT_EQ(prev.Bounds().left, 5);
  EXPECT_EQ(prev.Bounds().height, 200);
  // Closing the program keeps "P" and the preview's place.
  prev.SetBounds({7, 8, 300, 200});
  Click(p.ui, Btn("btOK"));
  EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, Settings::kProgramKey + std::string("MainWnd"), "P"), 1);
  EXPECT_EQ(p.registry.GetDWord(RegRoot::CurrentUser, Settings::kProgramKey + std::string("PrevWnd"), "L"), 7);
}

// 600 units per inch: the text starts 300 units in and down, the first sample 33 units below the
// heading; on a sheet that the 24 pt pair overruns, sizes 32 to 72 are left out.
TEST(PrintSheet, LaysThePageOutInThePrintersUnits) {
  struct Case {
    const char* what;
    PrinterCaps caps;
    bool italic;
    int pairs;
  } cases[] = {
      {"A4 at 600", {600, 600, 7016}, false, 9},
      {"short sheet", {600, 600, 0}, false, 1},
      {"the 24 pt pair overruns", {600, 600, 1200}, true, 5},  // 1084 after 16 pt, 1351 after 24 pt
      {"unequal resolutions", {300, 600, 7016}, false, 9},
  };
  for (const Case& c : cases) {
    MemoryPrinting printing;
    printing.caps = c.caps;
    SheetContent content{"Sample", "Arial", 161, "Arial (Greek)", ActiveStyle{true, true, false, c.italic}};
    PrintSheet(printing, content);
    ASSERT_EQ(printing.printed.size(), 1u + 2u * c.pairs) << c.what;
    const auto& heading = printing.printed[0];
    EXPECT_EQ(heading.x, c.caps.logPixelsX / 2) << c.what;
    EXPECT_EQ(heading.y, c.caps.logPixelsY / 2) << c.what;
    EXPECT_TRUE(heading.font.underline) << c.what;
    EXPECT_EQ(heading.font.italic, c.italic) << c.what;
    int y = c.caps.logPixelsY / 2 + MemoryPrinting::LineHeight(12, c.caps.logPixelsY) + c.caps.logPixelsX / 18;
    for (int i = 0; i < c.pairs; ++i) {
      const auto& sample = printing.printed[1 + 2 * i];
      const auto& caption = printing.printed[2 + 2 * i];
      EXPECT_EQ(sample.y, y) << c.what << i;
      EXPECT_EQ(sample.font.points, kPointSizes[i]) << c.what;
      EXPECT_EQ(sample.font.italic, c.italic) << c.what;
      y += MemoryPrinting::LineHeight(kPointSizes[i], c.caps.logPixelsY);
      EXPECT_EQ(caption.y, y) << c.what << i;
      EXPECT_EQ(caption.text, std::to_string(kPointSizes[i]) + " pt ") << c.what;
      EXPECT_FALSE(caption.font.italic || caption.font.bold) << c.what;
      y += MemoryPrinting::LineHeight(8, c.caps.logPixelsY);
    }
    EXPECT_EQ(printing.jobsEnded, 1) << c.what;
  }
}

// The language chosen while the program runs reaches the preview window at once.
TEST_F(Preview, ChosenLanguageSetsThePreviewsCaptionAndHints) {
  p.files.Put(kLangRes, kLanguageFile + "[English]\r\nfrmPreviewCaption=Preview\r\nfrmPreviewbtBoldHint=Bold\r\n");
  Create();
  form->Self().SetVisible(true);  // the preview shows, its first tab named in the language of the start
  TabSheet& tab = *p.ui.Find<TabSheet>("frmPrev.TabSheet1");
  ASSERT_EQ(tab.Caption(), "Okno podgl\xB9" "du czcionki");
  p.ui.modalHandler = [&](Form&) {
    auto& combo = *p.ui.Find<ComboBox>("ComboBox1");
    Pick(p.ui, combo, combo.FindExact("English"));
    Click(p.ui, *p.ui.Find<Button>("Button1"));
  };
  Click(p.ui, Btn("btLangChoose"));
  EXPECT_EQ(Prev().Self().Caption(), "Preview");
  EXPECT_EQ(p.ui.Find<Form>("Toolbar971Float")->Caption(), "Preview") << "the toolbar's floating window";
  EXPECT_EQ(p.ui.Find<Button>("btBold")->Hint(), "Bold");
  EXPECT_EQ(p.ui.Find<Button>("btItalic")->Hint(), "Kursywa") << "built in when the language has none";
  EXPECT_EQ(tab.Caption(), "Preview") << "the first tab, while the window stays shown";
}

TEST_F(Preview, PrintingFollowsTheDialogAndShowsAFailure) {
  Create();
  tree->Select(Node("Arial (Greek)"));
  const Texts sheet = Sheet();
  p.printing.printDialogAnswer = false;
  Click(p.ui, *p.ui.Find<Button>("btPrint"));
  EXPECT_EQ(p.printing.jobsStarted, 0);
  p.printing.printDialogAnswer = true;
  Click(p.ui, *p.ui.Find<Button>("btPrint"));
  ASSERT_FALSE(p.printing.printed.empty());
  EXPECT_EQ(p.printing.printed[0].text, "Arial (Greek)");
  EXPECT_EQ(p.printing.printed[0].x, 300);
  p.printing.failure = "The printer is out of paper.";
  Click(p.ui, *p.ui.Find<Button>("btPrint"));
  EXPECT_EQ(p.ui.events.errorsShown, Texts{"The printer is out of paper."});
  EXPECT_EQ(Sheet(), sheet);
  Click(p.ui, *p.ui.Find<Button>("btPrintSetup"));
  EXPECT_EQ(p.printing.setupDialogs, 1);
}

}  // namespace
}  // namespace sorel::test
