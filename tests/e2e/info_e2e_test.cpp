// End to end: the information tab shows the help page in the program's own viewer; the link
// labels, a link of the page and the language-file button reach the shell; F1 on the tree opens
// the program tab's topic.
#include <fstream>

#include "tests/e2e/fixture.h"

namespace e2e {
namespace {

const char* const kClasses = "Software\\Classes\\";
// The shell's commands for these types lead to the recorder while a test runs.
const char* const kTypes[] = {"http", "mailto", "inifile"};

class InfoE2E : public StartupE2E {
 protected:
  void SetUp() override {
    StartupE2E::SetUp();
    SetProgramString("Language", "English");
    const std::string exe = WindowsPath(g_exePath);
    const std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
    recorder_ = folder + "sorel_shell_recorder.exe";
    log_ = folder + "shell-opened.txt";
    DeleteFileA(log_.c_str());
    for (const char* type : kTypes) {
      const std::string key = std::string(kClasses) + type + "\\shell\\open\\command";
      saved_[key] = DumpKey(HKEY_LOCAL_MACHINE, key);
      SetString(HKEY_LOCAL_MACHINE, key, "", "\"" + recorder_ + "\" \"%1\"");
    }
  }
  void TearDown() override {
    for (const auto& [key, dump] : saved_) RestoreKey(HKEY_LOCAL_MACHINE, key, dump);
    DeleteFileA(log_.c_str());
    StartupE2E::TearDown();
  }

  void Start() {
    app_ = std::make_unique<AppProcess>();
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    tabs_ = FindChild(main_, "SysTabControl32", "");
    viewer_ = nullptr;
    // The viewer is the only window of the program's class with a border and a vertical bar.
    for (HWND w : FindChildren(main_, "SorelWindow"))
      if ((GetWindowLongA(w, GWL_STYLE) & (WS_BORDER | WS_VSCROLL)) == (WS_BORDER | WS_VSCROLL)) viewer_ = w;
    ASSERT_NE(tabs_, nullptr);
    ASSERT_NE(viewer_, nullptr) << "no help viewer on the information tab";
  }
  // Moves to the next or the previous tab with the arrow keys, as a user with the keyboard does;
  // the tab control tells the window of the change.
  void StepTab(int key) { PressKey(tabs_, key); }
  // The lines the recorder wrote, waiting until there are count of them.
  std::vector<std::string> Opened(std::size_t count) {
    std::vector<std::string> lines;
    for (int i = 0; i < 100 && lines.size() < count; ++i) {
      lines.clear();
      std::ifstream in(log_);
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() < count) Sleep(100);
    }
    return lines;
  }
  static std::string English(const std::string& key) { return LangResValue("English", key); }
  // The first line of a text, without the blanks before it.
  static std::string FirstLine(const std::string& text) {
    const std::size_t from = text.find_first_not_of(' ');
    return from == std::string::npos ? "" : text.substr(from, text.find("\r\n") - from);
  }
  void CloseWithOk() {
    Press(FindChild(main_, "Button", English("btOK")));
    ASSERT_TRUE(app_->WaitForExit(30000)) << "the program did not end after OK";
  }

  std::map<std::string, RegDump> saved_;
  std::string recorder_, log_;
  std::unique_ptr<AppProcess> app_;
  HWND main_ = nullptr, tabs_ = nullptr, viewer_ = nullptr;
};

// The page is the help page, from its top; its links, the link labels and the language-file button
// reach the shell with their targets; the viewer stays on its page.
TEST_F(InfoE2E, InformationTabShowsTheHelpPageAndItsLinksReachTheShell) {
  Start();
  StepTab(VK_RIGHT);
  for (int i = 0; i < 50 && Text(viewer_).empty(); ++i) Sleep(100);
  const std::string page = Text(viewer_);
  EXPECT_EQ(FirstLine(page), "Sorel Assistant") << page.substr(0, 200);
  EXPECT_NE(page.find("The program tab: the font tree"), std::string::npos);

  HWND mail = FindChild(main_, "Static", English("MailTo"));
  HWND web = FindChild(main_, "Static", English("URLLink"));
  ASSERT_TRUE(mail && web) << "the link labels are missing";
  EXPECT_EQ(HintOf(mail, FindChild(main_, "msctls_statusbar32", "")), English("LabelContact"));
  std::string editHint = English("btLangResEditHint");
  editHint.replace(editHint.find("%s"), 2, "LangRes.ini");
  HWND edit = FindByHint(main_, "Button", editHint, FindChild(main_, "msctls_statusbar32", ""));
  ASSERT_NE(edit, nullptr) << "no button with the hint " << editHint;
  const std::string exe = WindowsPath(g_exePath);
  const struct {
    HWND control;
    std::string target;
  } clicks[] = {{mail, "mailto:" + English("MailTo")},
                {web, English("URLLink")},
                {edit, exe.substr(0, exe.find_last_of('\\') + 1) + "LangRes.ini"}};
  // One at a time: the shell starts each recorder on its own, and they could write out of order.
  for (std::size_t i = 0; i < std::size(clicks); ++i) {
    Press(clicks[i].control);
    const std::vector<std::string> opened = Opened(i + 1);
    ASSERT_EQ(opened.size(), i + 1) << clicks[i].target << " did not reach the shell";
    EXPECT_EQ(opened.back(), clicks[i].target);
  }
  EXPECT_EQ(Text(viewer_), page) << "the viewer stays where it was";
  CloseWithOk();
}

// F1 with the focus in the tree: the information tab comes forward at the program tab's topic.
TEST_F(InfoE2E, HelpKeyOnTheTreeOpensTheProgramTabsTopic) {
  Start();
  PressKey(FindChild(main_, "SysTreeView32", ""), VK_F1);
  for (int i = 0; i < 50 && SendMessageA(tabs_, TCM_GETCURSEL, 0, 0) != 1; ++i) Sleep(100);
  EXPECT_EQ(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0), 1);
  const std::string shown = Text(viewer_);
  EXPECT_EQ(FirstLine(shown), "The program tab: the font tree") << shown.substr(0, 200);
  CloseWithOk();
}

}  // namespace
}  // namespace e2e
