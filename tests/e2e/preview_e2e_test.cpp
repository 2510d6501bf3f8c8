// End to end: the preview window beside the main window — its sample sheet, the style buttons that
// follow the face, the sample sets, its place and visibility across a restart, and printing.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "tests/e2e/fixture.h"
#include "tests/win32/file_printer.h"

namespace e2e {
namespace {

const char* const kGreek = "DejaVu Sans (Greek)";
const char* const kGreekCharset = "161";
// The sizes' captions as the sheet shows them, from the top, trailing blank included.
const std::vector<std::string> kCaptions = {"8 pt ",  "10 pt ", "12 pt ", "16 pt ", "24 pt ",
                                            "32 pt ", "48 pt ", "64 pt ", "72 pt "};

// One line of text as Wine's PostScript driver writes it: a moveto, then each glyph shown by its
// name in a font it downloaded, the glyph's number in the font file given where it was downloaded.
struct PrintedLine {
  int y = 0;
  std::vector<int> glyphs;
};

std::vector<PrintedLine> PrintedLines(const std::string& ps) {
  std::vector<PrintedLine> lines;
  std::map<std::string, int> glyphOf;  // font + "/" + glyph name -> glyph number
  std::string font;
  int downloading = -1;  // the glyph number announced for the next definition
  std::istringstream in(ps);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string first, second, third;
    words >> first >> second >> third;
    if (first == "%%glyph") {
      downloading = std::stoi(second, nullptr, 16);
    } else if (second == "findfont") {
      font = first;
    } else if (third == "RD" && downloading >= 0 && first[0] == '/') {
      glyphOf[font + first] = downloading;
      downloading = -1;
    } else if (third == "moveto") {
      lines.push_back(PrintedLine{std::stoi(second), {}});
    } else if (second == "glyphshow" && !lines.empty()) {
      auto known = glyphOf.find(font + first);
      lines.back().glyphs.push_back(known == glyphOf.end() ? -1 : known->second);
    }
  }
  // A moveto that starts a drawn line (the heading's underline) shows no glyph.
  std::erase_if(lines, [](const PrintedLine& l) { return l.glyphs.empty(); });
  return lines;
}

// The glyph numbers of text (in codePage) in the face's font file, as this process's GDI finds them.
std::vector<int> GlyphsOf(const std::string& face, const std::string& text, UINT codePage) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-40, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str());
  HGDIOBJ before = SelectObject(dc, font);
  std::vector<WORD> indices(wide.size());
  GetGlyphIndicesW(dc, wide.c_str(), static_cast<int>(wide.size()), indices.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, before);
  DeleteObject(font);
  DeleteDC(dc);
  return std::vector<int>(indices.begin(), indices.end());
}

class PreviewE2E : public StartupE2E {
 protected:
  void SetUp() override {
    StartupE2E::SetUp();
    SetProgramString("Language", "English");
    // A first start: no places kept, no sample set chosen; the fixture puts everything back.
    DeleteKeyTree(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\MainWnd");
    DeleteKeyTree(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\PrevWnd");
    DeleteValue(HKEY_CURRENT_USER, kProgramKey, "SampleSet1");
    for (const auto& section : LangResSections())
      if (section.rfind("Samplez", 0) == 0) sets_.push_back(section);
  }

  // Starts the program and waits for both windows.
  void Start() {
    app_ = std::make_unique<AppProcess>();
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    preview_ = app_->WaitForWindow(English("frmPreviewCaption"));
    ASSERT_NE(preview_, nullptr) << "the preview window did not appear";
    tree_ = FindChild(main_, "SysTreeView32", "");
    status_ = FindChild(main_, "msctls_statusbar32", "");
    ASSERT_NE(tree_, nullptr);
    ASSERT_NE(status_, nullptr);
  }
  void CloseWithOk() {
    Press(FindChild(main_, "Button", English("btOK")));
    ASSERT_TRUE(app_->WaitForExit(30000)) << "the program did not end after OK";
  }

  static std::string English(const std::string& key) { return LangResValue("English", key); }
  // The sample a set holds for Greek.
  std::string GreekSample(std::size_t set) { return LangResValue(sets_.at(set), kGreekCharset); }
  // A set's menu caption: its section name without "Samplez" and the separator after it.
  std::string SetCaption(std::size_t set) { return sets_.at(set).substr(8); }

  void Select(const std::string& text) {
    const auto nodes = ReadTree(tree_);
    const TreeNode* node = FindNode(nodes, text);
    ASSERT_NE(node, nullptr) << text << " is not in the tree";
    SelectNode(tree_, node->item);  // sent: the sheet is rebuilt when it returns
  }
  // The sheet's captions, in order: the scroll box draws them and gives them as its text, a line
  // each; no other window of the preview has a text of several lines.
  std::vector<std::string> Sheet() {
    for (HWND window : FindChildren(preview_, "SorelWindow")) {
      const std::string text = Text(window);
      if (text.find("\r\n") == std::string::npos) continue;
      std::vector<std::string> lines;
      for (std::size_t from = 0, to; from <= text.size(); from = to + 2) {
        to = std::min(text.find("\r\n", from), text.size());
        lines.push_back(text.substr(from, to - from));
      }
      return lines;
    }
    return {};
  }
  HWND Tool(HWND form, const std::string& hintKey) {
    HWND button = FindByHint(form, "Button", English(hintKey), status_);
    EXPECT_NE(button, nullptr) << "no button with the hint of " << hintKey;
    return button;
  }
  // Waits until the window's visibility is as asked.
  static bool WaitVisible(HWND window, bool visible) {
    for (int i = 0; i < 50 && (IsWindowVisible(window) != 0) != visible; ++i) Sleep(100);
    return (IsWindowVisible(window) != 0) == visible;
  }

  std::vector<std::string> sets_;  // the language file's sample sets, in menu order
  std::unique_ptr<AppProcess> app_;
  HWND main_ = nullptr, preview_ = nullptr, tree_ = nullptr, status_ = nullptr;
};

TEST_F(PreviewE2E, SheetShowsTheHeadingThenTheSampleInNineSizesWithTheirCaptions) {
  ASSERT_FALSE(sets_.empty()) << "LangRes.ini has no sample set";
  const std::string sample = GreekSample(0);  // no set chosen: the first
  ASSERT_FALSE(sample.empty());
  Start();
  Select(kGreek);
  const std::vector<std::string> sheet = Sheet();
  ASSERT_EQ(sheet.size(), 1 + 2 * kCaptions.size());
  EXPECT_EQ(sheet[0], kGreek);
  for (std::size_t i = 0; i < kCaptions.size(); ++i) {
    EXPECT_EQ(sheet[1 + 2 * i], sample) << kCaptions[i];
    EXPECT_EQ(sheet[2 + 2 * i], kCaptions[i]);
  }
  CloseWithOk();
}

// The style buttons offer what the face has in the script shown; a face without a bold font
// takes bold away only while it is shown. The faces are the host's: Debian's fonts-dejavu-core and
// -extra, and fonts-urw-base35 (Z003), which Wine lists as they are.
TEST_F(PreviewE2E, StyleButtonsFollowTheStylesOfTheFaceShown) {
  struct Case {
    const char* node;
    bool bold, italic;
  };
  const Case cases[] = {
      {kGreek, true, true},                        // regular, bold, oblique, bold oblique
      {"DejaVu Sans Light (Greek)", false, false},  // one extra-light font
      {kGreek, true, true},
      {"Z003 (Greek)", false, true},                 // one medium italic font
      {"DejaVu Math TeX Gyre (Turkish)", false, false},
      {"DejaVu Serif (Cyrillic)", true, true},
  };
  Start();
  HWND bold = Tool(preview_, "frmPreviewbtBoldHint");
  HWND italic = Tool(preview_, "frmPreviewbtItalicHint");
  ASSERT_NE(bold, nullptr);
  ASSERT_NE(italic, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node);
    Select(c.node);
    EXPECT_EQ(IsWindowEnabled(bold) != 0, c.bold);
    EXPECT_EQ(IsWindowEnabled(italic) != 0, c.italic);
    const std::vector<std::string> sheet = Sheet();
    ASSERT_FALSE(sheet.empty());
    EXPECT_EQ(sheet[0], c.node) << "the sheet shows the face selected";
  }
  CloseWithOk();
}

TEST_F(PreviewE2E, SampleSetChosenFromTheMenuIsShownAndKeptAfterARestart) {
  ASSERT_GE(sets_.size(), 2u) << "the menu needs two sets to choose between";
  ASSERT_NE(GreekSample(0), GreekSample(1)) << "the sets must differ for Greek";
  Start();
  Select(kGreek);
  HWND labelSample = FindChild(main_, "Static", GreekSample(0));
  ASSERT_NE(labelSample, nullptr) << "the first set's sample is not under the tree";

  Press(Tool(main_, "btSampleSelectHint"));
  HWND menu = app_->WaitForMenu();
  ASSERT_NE(menu, nullptr) << "the sample-set menu did not open";
  // Nothing is highlighted when the menu opens: the first Down reaches the first set.
  PressKey(menu, VK_DOWN);
  PressKey(menu, VK_DOWN);
  PressKey(menu, VK_RETURN);
  for (int i = 0; i < 50 && Text(labelSample) != GreekSample(1); ++i) Sleep(100);
  EXPECT_EQ(Text(labelSample), GreekSample(1));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProgramKey, "SampleSet1"), SetCaption(1));
  const std::vector<std::string> sheet = Sheet();
  ASSERT_EQ(sheet.size(), 1 + 2 * kCaptions.size());
  EXPECT_EQ(sheet[1], GreekSample(1)) << "the preview follows the set";
  CloseWithOk();

  Start();
  Select(kGreek);
  labelSample = FindChild(main_, "Static", GreekSample(1));
  ASSERT_NE(labelSample, nullptr) << "the chosen set is not kept";
  EXPECT_EQ(FindChild(main_, "Static", GreekSample(0)), nullptr);

  // A right click on the sample offers the same sets.
  RECT area = WindowRect(labelSample);
  PostMessageA(labelSample, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(labelSample), MAKELPARAM(area.left + 5, area.top + 5));
  menu = app_->WaitForMenu();
  ASSERT_NE(menu, nullptr) << "the sample area has no context menu";
  PressKey(menu, VK_DOWN);
  PressKey(menu, VK_RETURN);
  for (int i = 0; i < 50 && Text(labelSample) != GreekSample(0); ++i) Sleep(100);
  EXPECT_EQ(Text(labelSample), GreekSample(0));
  CloseWithOk();
}

TEST_F(PreviewE2E, PreviewMovedAndResizedKeepsItsPlaceAfterARestart) {
  Start();
  // The first start puts it flush against the main window's right edge, as high as that window.
  const RECT host = WindowRect(main_), first = WindowRect(preview_);
  EXPECT_EQ(first.left, host.right);
  EXPECT_EQ(first.top, host.top);
  EXPECT_EQ(first.bottom - first.top, host.bottom - host.top);

  const RECT wanted{37, 41, 37 + 310, 41 + 265};
  ASSERT_NE(wanted.left, first.left);
  SetWindowPos(preview_, nullptr, wanted.left, wanted.top, wanted.right - wanted.left, wanted.bottom - wanted.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT moved = WindowRect(preview_);
  ASSERT_TRUE(EqualRect(&wanted, &moved));
  CloseWithOk();
  const RegDump kept = DumpKey(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\PrevWnd");
  auto integer = [&](const char* name) {
    auto it = kept.find(name);
    return it != kept.end() && it->second.type == REG_DWORD ? *reinterpret_cast<const LONG*>(it->second.data.data())
                                                            : -1;
  };
  EXPECT_EQ(integer("L"), wanted.left);
  EXPECT_EQ(integer("T"), wanted.top);
  EXPECT_EQ(integer("W"), wanted.right - wanted.left);
  EXPECT_EQ(integer("H"), wanted.bottom - wanted.top);

  Start();
  const RECT again = WindowRect(preview_);
  EXPECT_TRUE(EqualRect(&wanted, &again)) << again.left << "," << again.top << " " << again.right - again.left
                                          << "x" << again.bottom - again.top;
  CloseWithOk();
}

TEST_F(PreviewE2E, PreviewHiddenWithItsToolButtonStaysHiddenAfterARestart) {
  Start();
  HWND toggle = Tool(main_, "btPreviewHint");
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(SendMessageA(toggle, BM_GETCHECK, 0, 0), BST_CHECKED) << "shown: the button is down";
  Press(toggle);
  ASSERT_TRUE(WaitVisible(preview_, false));
  EXPECT_EQ(SendMessageA(toggle, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  CloseWithOk();

  app_ = std::make_unique<AppProcess>();
  main_ = app_->WaitForWindow(kMainCaption);
  ASSERT_NE(main_, nullptr);
  // Answered only once the window's show step, which shows or hides the preview, has run.
  SendMessageA(main_, WM_NULL, 0, 0);
  EXPECT_EQ(app_->WaitForWindow(English("frmPreviewCaption"), 0), nullptr) << "the preview came back";
  status_ = FindChild(main_, "msctls_statusbar32", "");
  toggle = Tool(main_, "btPreviewHint");
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(SendMessageA(toggle, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Press(toggle);
  EXPECT_NE(app_->WaitForWindow(English("frmPreviewCaption"), 5000), nullptr) << "the button shows it again";
  EXPECT_EQ(SendMessageA(toggle, BM_GETCHECK, 0, 0), BST_CHECKED);
  CloseWithOk();
}

// Prints the sheet on a printer whose output is a PostScript file, through the print dialog.
TEST_F(PreviewE2E, PrintWritesOnePageWithTheHeadingAndEachSizesSampleAndCaption) {
  sorel::test::FilePrinter printer;
  ASSERT_EQ(printer.Error(), "");
  const std::string sample = GreekSample(0);
  ASSERT_FALSE(sample.empty());
  Start();
  Select(kGreek);
  Press(Tool(preview_, "frmPreviewbtPrintHint"));
  HWND dialog = app_->WaitForMessageBox();
  ASSERT_NE(dialog, nullptr) << "no print dialog";
  ASSERT_NE(FindChild(dialog, "ComboBox", ""), nullptr) << "not the print dialog: " << MessageBoxText(dialog);
  Answer(dialog, IDOK);
  std::string ps;  // complete when the job has ended
  for (int i = 0; i < 150 && ps.find("%%EOF") == std::string::npos; ++i) {
    Sleep(100);
    ps = printer.Output();
  }
  CloseWithOk();
  // A copy of the page for whoever wants to look at it (a Linux path).
  if (const char* copy = std::getenv("SOREL_PRINTED_PAGE")) WriteFileBytes(WindowsPath(copy), ps);

  ASSERT_EQ(ps.rfind("%!PS", 0), 0u) << "no PostScript in " << printer.OutputPath();
  EXPECT_NE(ps.find("%%Pages: 1\n"), std::string::npos) << "one page";
  const std::vector<PrintedLine> lines = PrintedLines(ps);
  ASSERT_EQ(lines.size(), 1 + 2 * kCaptions.size()) << "the heading and nine pairs fit on the page";
  // The glyphs of the face, in the code page of the script shown.
  auto glyphs = [](const std::string& text, UINT codePage) { return GlyphsOf("DejaVu Sans", text, codePage); };
  EXPECT_EQ(lines[0].glyphs, glyphs(kGreek, CP_ACP)) << "the heading";
  for (std::size_t i = 0; i < kCaptions.size(); ++i) {
    SCOPED_TRACE(kCaptions[i]);
    EXPECT_EQ(lines[1 + 2 * i].glyphs, glyphs(sample, 1253)) << "the sample, in Greek";
    EXPECT_EQ(lines[2 + 2 * i].glyphs, glyphs(kCaptions[i], CP_ACP));
  }
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_GT(lines[i].y, lines[i - 1].y) << "top to bottom";
}

}  // namespace
}  // namespace e2e
