// End to end: switching a script on in the real program, saving, restoring, cancelling, the
// code-page choice and a code-page file the system folder lacks, and a save that fails half-way.
#include <algorithm>

#include "tests/e2e/fixture.h"

namespace e2e {
namespace {

const char* const kCentralEuropean = "DejaVu Sans (Central European)";

// The fixed entries an English save adds (its language gives the Western number 0).
const std::vector<std::string> kFixedEnglish = {"Helvetica,0=Arial,0", "Times,0=Times New Roman,0",
                                                "Courier,0=Courier New,0"};

class EditingE2E : public StartupE2E {
 protected:
  void SetUp() override {
    StartupE2E::SetUp();
    SetProgramString("Language", "English");
    // No DejaVu entries to begin with.
    RegDump table = table_;
    for (auto it = table.begin(); it != table.end();)
      it = it->first.rfind("DejaVu", 0) == 0 ? table.erase(it) : std::next(it);
    RestoreKey(HKEY_LOCAL_MACHINE, kFontSubstitutes, table);
    before_ = table;
  }

  // Starts the program and waits for its main window and tree.
  void Start() {
    app_ = std::make_unique<AppProcess>();
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    tree_ = FindChild(main_, "SysTreeView32", "");
    ASSERT_NE(tree_, nullptr);
  }
  int StateOf(const std::string& text) {
    const TreeNode* node = FindNode(ReadTree(tree_), text);
    return node ? node->state : -1;
  }
  // Switches a script node with the Enter key, as a user would after selecting it.
  void ToggleWithEnter(const std::string& text) {
    const auto nodes = ReadTree(tree_);
    const TreeNode* node = FindNode(nodes, text);
    ASSERT_NE(node, nullptr) << text;
    SelectNode(tree_, node->item);
    TypeChar(tree_, '\r');
  }
  HWND Button(const std::string& key) { return FindChild(main_, "Button", LangResValue("English", key)); }
  // The toolbox's code-page button: of its two-state buttons, the other one shows and hides the
  // preview. The preview button is found by its hint, which is asked again if the real pointer
  // overwrote it; asking each button once and taking the first other hint took the preview button
  // now and then.
  HWND CodePageButton(const std::string& language) {
    HWND preview = FindByHint(main_, "Button", LangResValue(language, "btPreviewHint"), StatusBar());
    if (!preview) return nullptr;
    for (HWND b : FindChildren(main_, "Button"))
      if (Text(b).empty() && GetWindowLongA(b, GWL_STYLE) & BS_PUSHLIKE && b != preview) return b;
    return nullptr;
  }
  // The narrow part beside it, made right after it, which opens the list of files.
  HWND CodePageArrow(HWND codePage) {
    const auto buttons = DirectChildren(GetParent(codePage), "Button");
    const auto at = std::find(buttons.begin(), buttons.end(), codePage);
    return at == buttons.end() || at + 1 == buttons.end() ? nullptr : *(at + 1);
  }
  HWND StatusBar() { return FindChild(main_, "msctls_statusbar32", ""); }
  // A file of the system folder, as the program (of this test's architecture) sees it.
  static std::string SystemFile(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof(folder));
    return std::string(folder) + "\\" + name;
  }
  // Answers the next message box and returns its caption (and, when asked, its text).
  std::string AnswerBox(int id, std::string* text = nullptr) {
    HWND box = app_->WaitForMessageBox();
    EXPECT_NE(box, nullptr);
    if (!box) return "";
    std::string caption = Text(box);
    if (text) *text = MessageBoxText(box);
    Answer(box, id);
    for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
    return caption;
  }

  std::unique_ptr<AppProcess> app_;
  HWND main_ = nullptr, tree_ = nullptr;
  RegDump before_;
};

TEST_F(EditingE2E, NtSaveWritesTheScriptEntryAndTheFixedEntries) {
  Start();
  ASSERT_EQ(StateOf(kCentralEuropean), 1);
  ToggleWithEnter(kCentralEuropean);
  EXPECT_EQ(StateOf(kCentralEuropean), 2);
  EXPECT_EQ(StateOf("DejaVu Sans"), 3);
  EXPECT_TRUE(IsWindowEnabled(Button("btRestore")));
  Press(Button("btOK"));
  EXPECT_EQ(AnswerBox(IDYES), LangResValue("English", "WSSaveTitle"));
  EXPECT_EQ(AnswerBox(IDNO), LangResValue("English", "WSRestartTitle"));
  ASSERT_TRUE(app_->WaitForExit());

  RegDump after = DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes);
  std::printf("FontSubstitutes after the save:\n");
  for (const auto& [name, value] : after) std::printf("  %s = %s\n", name.c_str(), value.data.c_str());
  auto sz = [](const std::string& text) { return RegValue{REG_SZ, text + '\0'}; };
  EXPECT_EQ(after["DejaVu Sans CE,238"], sz("DejaVu Sans,238"));
  for (const auto& fixed : kFixedEnglish) {
    auto eq = fixed.find('=');
    EXPECT_EQ(after[fixed.substr(0, eq)], sz(fixed.substr(eq + 1))) << fixed;
  }
  // Every other entry is as it was.
  for (const auto& [name, value] : before_) {
    if (name.rfind("Helvetica,", 0) == 0 || name.rfind("Times,", 0) == 0 || name.rfind("Courier,", 0) == 0) continue;
    EXPECT_EQ(after[name], value) << name;
  }
  EXPECT_EQ(after.size(), before_.size() + 1 + kFixedEnglish.size());
}

// Thousands of entries, more than a key list's buffer holds, with a nameless key and a value
// longer than a value's buffer in win.ini: one edit and a save keep every one of them, in both
// families.
TEST_F(EditingE2E, LargeTableIsSavedAndReadBackWhole) {
  const int kEntries = 2000;
  std::string section;
  for (int i = 0; i < kEntries; ++i) {
    const std::string face = "Bench Face " + std::to_string(i);
    SetString(HKEY_LOCAL_MACHINE, kFontSubstitutes, face + " CE,238", face + ",238");
    section += face + " CE,238=" + face + ",238\r\n";
  }
  section += "=nameless\r\nLong=" + std::string(2100, 'L') + "\r\n";

  for (bool win98 : {false, true}) {
    SCOPED_TRACE(win98 ? "95/98 family" : "NT family");
    SetProgramFamilyWin98(win98);
    if (win98) WriteFileBytes(WinIniPath(), "[FontSubstitutes]\r\n" + section + "\r\n[mail]\r\nmapi=1\r\n");
    Start();
    ToggleWithEnter(kCentralEuropean);
    Press(Button("btOK"));
    AnswerBox(IDYES);
    AnswerBox(IDNO);
    ASSERT_TRUE(app_->WaitForExit(60000));
    if (win98) {
      const std::string winIni = ReadFileBytes(WinIniPath());
      EXPECT_NE(winIni.find("[FontSubstitutes]\r\n" + section), std::string::npos) << "every line as it stood";
      EXPECT_NE(winIni.find("DejaVu Sans CE,238=DejaVu Sans,238\r\n"), std::string::npos);
    } else {
      const RegDump after = DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes);
      for (int i = 0; i < kEntries; ++i) {
        const std::string face = "Bench Face " + std::to_string(i);
        const auto found = after.find(face + " CE,238");
        ASSERT_NE(found, after.end()) << i;
        EXPECT_EQ(found->second.type, static_cast<DWORD>(REG_SZ)) << i;
        EXPECT_EQ(std::string(found->second.data.c_str()), face + ",238") << i;
      }
      EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kFontSubstitutes, "DejaVu Sans CE,238"), "DejaVu Sans,238");
    }
  }
  SetProgramFamilyWin98(false);
}

TEST_F(EditingE2E, Win98SaveRewritesTheSectionWithTheFixedEntriesLast) {
  SetProgramFamilyWin98(true);
  WriteFileBytes(WinIniPath(), "[windows]\r\nload=\r\n[FontSubstitutes]\r\n; a comment\r\nHelv=MS Sans Serif\r\n"
                               "Times,0=Times New Roman,0\r\nOld Face,238=Old Face,238\r\n\r\n[mail]\r\nmapi=1\r\n");
  Start();
  ASSERT_TRUE(DoubleClickNode(tree_, FindNode(ReadTree(tree_), kCentralEuropean)->item)) << "the node is on screen";
  for (int i = 0; i < 30 && StateOf(kCentralEuropean) != 2; ++i) Sleep(100);
  ASSERT_EQ(StateOf(kCentralEuropean), 2) << "a double click switches the script on";
  Press(Button("btOK"));
  AnswerBox(IDYES);
  AnswerBox(IDNO);
  ASSERT_TRUE(app_->WaitForExit());
  std::printf("win.ini after the save:\n%s", ReadFileBytes(WinIniPath()).c_str());
  EXPECT_EQ(ReadFileBytes(WinIniPath()),
            "[windows]\r\nload=\r\n[FontSubstitutes]\r\nHelv=MS Sans Serif\r\nOld Face,238=Old Face,238\r\n"
            "DejaVu Sans CE,238=DejaVu Sans,238\r\nHelvetica,0=Arial,0\r\nTimes,0=Times New Roman,0\r\n"
            "Courier,0=Courier New,0\r\n\r\n[mail]\r\nmapi=1\r\n");
}

// Another mapping of the script entry's name: the script shows off; switched on and saved, the
// program's entry is what the system holds for the name, and the next start shows it on.
TEST_F(EditingE2E, SwitchedOnScriptReplacesAnotherMappingOfItsName) {
  const char* const greek = "DejaVu Sans (Greek)";
  for (bool win98 : {false, true}) {
    SCOPED_TRACE(win98 ? "95/98 family" : "NT family");
    SetProgramFamilyWin98(win98);
    if (win98) {
      WriteFileBytes(WinIniPath(), "[FontSubstitutes]\r\nDejaVu Sans Greek,161=DejaVu Serif,161\r\n\r\n[mail]\r\nmapi=1\r\n");
    } else {
      SetString(HKEY_LOCAL_MACHINE, kFontSubstitutes, "DejaVu Sans Greek,161", "DejaVu Serif,161");
    }
    Start();
    ASSERT_EQ(StateOf(greek), 1) << "mapped elsewhere, the script is off";
    ToggleWithEnter(greek);
    ASSERT_EQ(StateOf(greek), 2);
    Press(Button("btOK"));
    AnswerBox(IDYES);
    AnswerBox(IDNO);
    ASSERT_TRUE(app_->WaitForExit());
    if (win98) {
      const std::string winIni = ReadFileBytes(WinIniPath());
      std::printf("win.ini after the save:\n%s", winIni.c_str());
      EXPECT_NE(winIni.find("\r\nDejaVu Sans Greek,161=DejaVu Sans,161\r\n"), std::string::npos);
      EXPECT_EQ(winIni.find("DejaVu Serif"), std::string::npos);
    } else {
      EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kFontSubstitutes, "DejaVu Sans Greek,161"), "DejaVu Sans,161");
    }
    Start();
    EXPECT_EQ(StateOf(greek), 2) << "the next start shows it on";
    Press(Button("btCancel"));
    ASSERT_TRUE(app_->WaitForExit());
  }
}

namespace {

// The key's values as the Unicode functions see them: name -> type and data bytes.
using WideDump = std::map<std::wstring, std::pair<DWORD, std::string>>;
WideDump DumpKeyW(const char* path) {
  WideDump dump;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return dump;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    BYTE data[65536];
    DWORD nameLength = 16384, size = sizeof(data), type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    dump[std::wstring(name, nameLength)] = {type, std::string(reinterpret_cast<char*>(data), size)};
  }
  RegCloseKey(key);
  return dump;
}
std::pair<DWORD, std::string> WideString(const std::wstring& text) {
  return {REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t))};
}
std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

// Values another program wrote in Unicode, which the ANSI code page cannot hold: a save of an
// unrelated change leaves every one of them as it stood and adds no value but the changed ones.
TEST_F(EditingE2E, NtSaveLeavesValuesTheCodePageCannotHoldAsTheyStood) {
  const std::vector<std::pair<std::wstring, std::wstring>> planted = {
      {L"Alpha \x03A9", L"Alpha"},
      {L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF", L"MS Gothic"},
      {L"MS Mincho", L"\xFF2D\xFF33 \x660E\x671D"},
  };
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontSubstitutes, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  // The fixture restores the table through the 8-bit functions, which cannot name these values.
  struct Unplant {
    HKEY key;
    const std::vector<std::pair<std::wstring, std::wstring>>& values;
    ~Unplant() {
      for (const auto& [name, text] : values) RegDeleteValueW(key, name.c_str());
      RegCloseKey(key);
    }
  } unplant{key, planted};
  for (const auto& [name, text] : planted) {
    const auto data = WideString(text);
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.second.data()),
                             static_cast<DWORD>(data.second.size())),
              ERROR_SUCCESS);
  }
  WideDump expected = DumpKeyW(kFontSubstitutes);

  Start();
  ToggleWithEnter(kCentralEuropean);
  Press(Button("btOK"));
  AnswerBox(IDYES);
  AnswerBox(IDNO);
  ASSERT_TRUE(app_->WaitForExit());

  expected[L"DejaVu Sans CE,238"] = WideString(L"DejaVu Sans,238");
  for (const auto& entry : kFixedEnglish) {
    const auto eq = entry.find('=');
    expected[Widen(entry.substr(0, eq))] = WideString(Widen(entry.substr(eq + 1)));
  }
  const WideDump after = DumpKeyW(kFontSubstitutes);
  EXPECT_EQ(after.size(), expected.size()) << "no value added or lost";
  for (const auto& [name, value] : expected) {
    const auto found = after.find(name);
    ASSERT_NE(found, after.end()) << std::string(name.begin(), name.end());
    EXPECT_EQ(found->second, value) << std::string(name.begin(), name.end());
  }
}

TEST_F(EditingE2E, RestoreDiscardsEditsAndCloseThenAsksNothing) {
  Start();
  ToggleWithEnter(kCentralEuropean);
  ASSERT_EQ(StateOf(kCentralEuropean), 2);
  Press(Button("btRestore"));
  for (int i = 0; i < 30 && StateOf(kCentralEuropean) != 1; ++i) Sleep(100);
  EXPECT_EQ(StateOf(kCentralEuropean), 1);
  EXPECT_FALSE(IsWindowEnabled(Button("btRestore")));
  Press(Button("btOK"));
  ASSERT_TRUE(app_->WaitForExit()) << "nothing to save: no question";
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), before_);
}

TEST_F(EditingE2E, CancelInTheQuestionKeepsTheWindowAndStoresItsPlace) {
  DeleteKeyTree(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\MainWnd");
  Start();
  ToggleWithEnter(kCentralEuropean);
  Press(Button("btOK"));
  AnswerBox(IDCANCEL);
  EXPECT_FALSE(app_->WaitForExit(1000)) << "Cancel keeps the program open";
  EXPECT_TRUE(IsWindowVisible(main_));
  RegDump placement = DumpKey(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\MainWnd");
  EXPECT_EQ(placement.count("L"), 1u);
  EXPECT_EQ(placement.count("T"), 1u);
  // btCancel leaves without a question and writes nothing.
  Press(Button("btCancel"));
  ASSERT_TRUE(app_->WaitForExit());
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), before_);
}

// The program takes only a file its system folder holds, which Wine's does: the test plants none.
TEST_F(EditingE2E, CodePageChoiceIsWrittenBySave) {
  SetProgramString("Language", "Polski");
  const std::string target = LangResValue("Polski", "DefNLsSubst");
  ASSERT_NE(target, "c_1252.nls") << "the Polish mapping switches to another file";
  ASSERT_NE(GetFileAttributesA(SystemFile(target).c_str()), INVALID_FILE_ATTRIBUTES) << SystemFile(target);
  Start();
  HWND codePage = CodePageButton("Polski");
  ASSERT_NE(codePage, nullptr) << "the code-page button";
  Press(codePage);
  Press(FindChild(main_, "Button", "&OK"));
  AnswerBox(IDYES);
  AnswerBox(IDNO);
  ASSERT_TRUE(app_->WaitForExit());
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kCodePageKey, "1252"), target);
}

// A code-page file the system folder lacks (one of Wine's, moved aside for the test) cannot be
// chosen: its list item's hint says why. The system holding it as the current file, a save fails
// before it writes anything, names the file and leaves the program open with its changes.
TEST_F(EditingE2E, CodePageFileMissingFromTheSystemFolderIsRefused) {
  const std::string caption = "Vietnamese (c_1258.nls)";
  ASSERT_EQ(LangResValue("NLSMaps", caption), "c_1258.nls");
  const std::string file = SystemFile("c_1258.nls"), aside = file + ".sorel-aside";
  ASSERT_TRUE(MoveFileA(file.c_str(), aside.c_str())) << file;
  struct PutBack {
    std::string from, to;
    ~PutBack() { MoveFileA(from.c_str(), to.c_str()); }
  } putBack{aside, file};
  SetString(HKEY_LOCAL_MACHINE, kCodePageKey, "1252", "c_1258.nls");
  const RegDump codePages = DumpKey(HKEY_LOCAL_MACHINE, kCodePageKey);
  Start();
  HWND codePage = CodePageButton("English");
  ASSERT_NE(codePage, nullptr) << "the code-page button";
  HWND arrow = CodePageArrow(codePage);
  ASSERT_NE(arrow, nullptr) << "the code-page list's arrow";
  Press(arrow);
  HWND menu = app_->WaitForMenu();
  ASSERT_NE(menu, nullptr) << "the list of files did not open";
  // The keys walk down the list; the highlighted item's hint shows in the status bar.
  const std::string reason = "The file c_1258.nls is not in the system folder";
  ASSERT_EQ(LangResValue("English", "WSNLsMissing"), "The file %s is not in the system folder");
  bool shown = false;
  for (int i = 0; i < 12 && !shown; ++i) {
    PressKey(menu, VK_DOWN);
    for (int wait = 0; wait < 10 && !shown; ++wait, Sleep(50)) shown = StatusText(StatusBar()) == reason;
  }
  EXPECT_TRUE(shown) << "the item's hint; the status bar shows: " << StatusText(StatusBar());
  PressKey(menu, VK_ESCAPE);
  for (int i = 0; i < 50 && IsWindowVisible(menu); ++i) Sleep(100);

  ToggleWithEnter(kCentralEuropean);
  ASSERT_EQ(StateOf(kCentralEuropean), 2);
  Press(Button("btOK"));
  AnswerBox(IDYES);
  std::string text;
  EXPECT_EQ(AnswerBox(IDOK, &text), "Sorel Assistant");
  EXPECT_EQ(text, "The code-page file \"" + file + "\" does not exist");
  EXPECT_FALSE(app_->WaitForExit(1000)) << "the program stays open";
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), before_) << "the table is not written either";
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kCodePageKey), codePages);
  EXPECT_EQ(StateOf(kCentralEuropean), 2) << "the user's choice is kept";
  Press(Button("btCancel"));
  ASSERT_TRUE(app_->WaitForExit());
}

// Escape is the cancel button: the program ends at once, without a question, and writes nothing.
TEST_F(EditingE2E, EscapeLeavesWithoutQuestionLikeTheCancelButton) {
  Start();
  ToggleWithEnter(kCentralEuropean);
  ASSERT_EQ(StateOf(kCentralEuropean), 2);
  PostMessageA(tree_, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(tree_, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  ASSERT_TRUE(app_->WaitForExit()) << "Escape did not close the program";
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), before_);
}

// A save that cannot finish (win.ini held open by another program) leaves the table whole and
// the program open with its changes.
TEST_F(EditingE2E, FailedSaveLeavesWinIniWholeAndTheProgramOpen) {
  SetProgramFamilyWin98(true);
  const std::string ini = "[FontSubstitutes]\r\nHelv=MS Sans Serif\r\n[mail]\r\nmapi=1\r\n";
  WriteFileBytes(WinIniPath(), ini);
  Start();
  ToggleWithEnter(kCentralEuropean);
  HANDLE held = CreateFileA(WinIniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Press(Button("btOK"));
  AnswerBox(IDYES);
  // The layer's error, in its own words: win.ini cannot be opened while another program holds it.
  std::string text;
  EXPECT_EQ(AnswerBox(IDOK, &text), "Sorel Assistant");
  EXPECT_EQ(text, "Cannot open file \"" + WinIniPath() + "\"");
  CloseHandle(held);
  EXPECT_FALSE(app_->WaitForExit(1000));
  EXPECT_EQ(ReadFileBytes(WinIniPath()), ini);
  EXPECT_EQ(StateOf(kCentralEuropean), 2) << "the user's choice is kept";
  // The next close asks again; this time the save goes through.
  Press(Button("btOK"));
  AnswerBox(IDYES);
  AnswerBox(IDNO);
  ASSERT_TRUE(app_->WaitForExit());
  EXPECT_NE(ReadFileBytes(WinIniPath()).find("DejaVu Sans CE,238=DejaVu Sans,238"), std::string::npos);
}

}  // namespace
}  // namespace e2e
