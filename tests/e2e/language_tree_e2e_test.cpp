// End to end: the language dialog at the first start, and the font tree with the table's state.
#include "tests/e2e/fixture.h"

namespace e2e {
namespace {

const char* const kEntry = "DejaVu Sans CE,238";

class LanguageTreeE2E : public StartupE2E {
 protected:
  // One script entry of DejaVu Sans in the store; no other entry of DejaVu faces.
  void PrepareRegistryTable() {
    RegDump table = table_;
    for (auto it = table.begin(); it != table.end();)
      it = it->first.rfind("DejaVu", 0) == 0 ? table.erase(it) : std::next(it);
    table[kEntry] = RegValue{REG_SZ, std::string("DejaVu Sans,238") + '\0'};
    RestoreKey(HKEY_LOCAL_MACHINE, kFontSubstitutes, table);
  }

  // The tree as the user sees it in the running program, which is then closed without changes.
  std::vector<TreeNode> TreeOfRunningProgram(std::string* osVer = nullptr) {
    AppProcess app;
    HWND main = app.WaitForWindow(kMainCaption);
    EXPECT_NE(main, nullptr);
    if (!main) return {};
    HWND tree = FindChild(main, "SysTreeView32", "");
    auto nodes = ReadTree(tree);
    if (osVer) {
      for (HWND label : FindChildren(main, "Static"))
        if (Text(label).rfind("Windows", 0) == 0) *osVer = Text(label);
    }
    Press(FindChild(main, "Button", "&OK"));
    EXPECT_TRUE(app.WaitForExit());
    return nodes;
  }

  void ExpectDejaVuState(const std::vector<TreeNode>& nodes) {
    ASSERT_FALSE(nodes.empty()) << "the tree is empty";
    const TreeNode* sans = FindNode(nodes, "DejaVu Sans");
    ASSERT_NE(sans, nullptr);
    EXPECT_EQ(sans->state, 3) << "some scripts on, some off: grey box";
    ASSERT_GE(sans->children.size(), 2u);
    int ticked = 0;
    for (const auto& child : sans->children) {
      EXPECT_EQ(child.text.rfind("DejaVu Sans (", 0), 0u) << child.text;
      if (child.state == 2) {
        ++ticked;
        EXPECT_EQ(child.text, "DejaVu Sans (" + centralEuropean_ + ")");
      } else {
        EXPECT_EQ(child.state, 1) << child.text;
      }
    }
    EXPECT_EQ(ticked, 1);
    const TreeNode* serif = FindNode(nodes, "DejaVu Serif");
    ASSERT_NE(serif, nullptr);
    EXPECT_EQ(serif->state, 1) << "no script of the face on: empty box";
    for (const auto& child : serif->children) EXPECT_EQ(child.state, 1) << child.text;
    // Children are sorted by text within their face.
    for (std::size_t i = 1; i < sans->children.size(); ++i)
      EXPECT_LT(lstrcmpA(sans->children[i - 1].text.c_str(), sans->children[i].text.c_str()), 0);
  }

  std::string centralEuropean_ = "Central European";
};

TEST_F(LanguageTreeE2E, FirstStartAsksForTheLanguageBeforeTheMainWindow) {
  DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
  AppProcess app;
  HWND dialog = app.WaitForWindow(LangResValue("Polski", "dLangChoose"));
  ASSERT_NE(dialog, nullptr) << "the language dialog did not appear";
  EXPECT_EQ(app.WaitForWindow(kMainCaption, 0), nullptr) << "the main window came first";
  HWND combo = FindChild(dialog, "ComboBox", "");
  ASSERT_NE(combo, nullptr);
  auto items = ComboItems(combo);
  EXPECT_NE(std::find(items.begin(), items.end(), "English"), items.end()) << testing::PrintToString(items);
  for (const auto& item : items) {
    EXPECT_NE(item.rfind("Samplez", 0), 0u) << item;
    EXPECT_NE(item, "IniStrings");
  }
  ASSERT_TRUE(PickComboItem(combo, "English"));
  EXPECT_EQ(Text(dialog), LangResValue("English", "dLangChoose")) << "the caption follows the selection";
  Press(FindChild(dialog, "Button", "&OK"));

  HWND main = app.WaitForWindow(kMainCaption);
  ASSERT_NE(main, nullptr);
  EXPECT_NE(FindChild(main, "Button", LangResValue("English", "btCancel")), nullptr);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProgramKey, "Language"), "English");
  Press(FindChild(main, "Button", "&OK"));
  EXPECT_TRUE(app.WaitForExit());
}

TEST_F(LanguageTreeE2E, NtTreeShowsTheTableInEnglish) {
  SetProgramString("Language", "English");
  PrepareRegistryTable();
  std::string osVer;
  auto nodes = TreeOfRunningProgram(&osVer);
  ExpectDejaVuState(nodes);
  EXPECT_EQ(osVer, "Windows NT\r" + LangResValue("English", "WSRegistry"));
}

TEST_F(LanguageTreeE2E, Win98TreeShowsTheWinIniTable) {
  SetProgramString("Language", "English");
  SetProgramFamilyWin98(true);
  WriteFileBytes(WinIniPath(), "[FontSubstitutes]\r\nDejaVu Sans CE,238=DejaVu Sans,238\r\n");
  std::string osVer;
  auto nodes = TreeOfRunningProgram(&osVer);
  ExpectDejaVuState(nodes);
  EXPECT_EQ(osVer, "Windows 95/98\r" + LangResValue("English", "WSWinIni"));
}

// Run with a Polish locale (ANSI code page 1250), where the Polish texts show right.
TEST_F(LanguageTreeE2E, PolishTreeShowsTheTable) {
  if (GetACP() != 1250) GTEST_SKIP() << "needs the Polish locale (LANG=pl_PL.UTF-8)";
  SetProgramString("Language", "Polski");
  PrepareRegistryTable();
  std::string osVer;
  auto nodes = TreeOfRunningProgram(&osVer);
  centralEuropean_ = "Środkowoeuropejski";  // Wine names the scripts in the user's language
  ExpectDejaVuState(nodes);
  EXPECT_EQ(osVer, "Windows NT\r" + LangResValue("Polski", "WSRegistry"));
}

}  // namespace
}  // namespace e2e
