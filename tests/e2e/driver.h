// Drives the real SorelAssistant.exe from outside, as a user would: start it, find its windows,
// press buttons, answer message boxes, read texts and the system's stores.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// The program under test, as given on the command line (--exe=).
extern std::string g_exePath;

// A Linux path as Wine sees it (drive Z: maps the root); a relative one is taken from the current folder.
std::string WindowsPath(const std::string& path);

class AppProcess {
 public:
  // Starts the program (by default the one under test) in its own folder; the families and locale
  // are set up by the caller.
  explicit AppProcess(const std::string& exePath = g_exePath);
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  // The first visible top-level window of the program with this caption (nullptr on time-out).
  HWND WaitForWindow(const std::string& caption, int timeoutMs = 30000);
  // A message box of the program (dialog class #32770), nullptr on time-out.
  HWND WaitForMessageBox(int timeoutMs = 10000);
  // An open pop-up menu of the program (class #32768), nullptr on time-out.
  HWND WaitForMenu(int timeoutMs = 10000);
  // True when the program ended within the time.
  bool WaitForExit(int timeoutMs = 15000);
  DWORD ExitCode();
  DWORD Pid() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// Child windows (any depth) of the given class whose text matches; class "" matches any.
std::vector<HWND> FindChildren(HWND parent, const std::string& cls, const std::string& text = "");
HWND FindChild(HWND parent, const std::string& cls, const std::string& text);
std::string Text(HWND hwnd);
std::string ClassName(HWND hwnd);
// Presses a button as a click would: the button's parent gets BN_CLICKED.
void Press(HWND button);
void CloseWindow(HWND window);
// A key pressed and released, posted to a window of the program's thread; a menu the program
// tracks takes every key of its thread, whichever window it is posted to.
void PressKey(HWND window, int virtualKey);
// Answers a message box with IDYES, IDNO, IDCANCEL...
void Answer(HWND box, int id);
// The texts of a message box's static controls, joined.
std::string MessageBoxText(HWND box);

// One node of the program's tree view, read across the process boundary.
struct TreeNode {
  std::string text;
  int state = 0;  // state image index
  HTREEITEM item = nullptr;
  std::vector<TreeNode> children;
};
std::vector<TreeNode> ReadTree(HWND tree);
const TreeNode* FindNode(const std::vector<TreeNode>& nodes, const std::string& text);
// Selects a node as a click would (the program hears of the change).
void SelectNode(HWND tree, HTREEITEM item);
// Types a character into a control, as the keyboard would.
void TypeChar(HWND control, char c);
// Scrolls a node into view and double-clicks the middle of its row; false when it has no row.
bool DoubleClickNode(HWND tree, HTREEITEM item);

// The text of a status bar in simple mode, read across the process boundary.
std::string StatusText(HWND bar);
// The hint the program shows in statusBar while the pointer is over control (the program's forms
// show the hint of the control their WM_SETCURSOR names).
std::string HintOf(HWND control, HWND statusBar);
// The control of class cls within parent whose hint is hint; nullptr when none has it.
HWND FindByHint(HWND parent, const std::string& cls, const std::string& hint, HWND statusBar);
// The direct children of parent of class cls, in the system's order (creation order).
std::vector<HWND> DirectChildren(HWND parent, const std::string& cls);
RECT WindowRect(HWND hwnd);

// The items of a drop-down list, and picking one as the user would (the dialog hears of it).
std::vector<std::string> ComboItems(HWND combo);
bool PickComboItem(HWND combo, const std::string& text);

// The FontSubstitutes key as name -> (type, data); values of every type.
struct RegValue {
  DWORD type;
  std::string data;
  bool operator==(const RegValue&) const = default;
};
using RegDump = std::map<std::string, RegValue>;
RegDump DumpKey(HKEY root, const std::string& path, REGSAM extra = 0);
void RestoreKey(HKEY root, const std::string& path, const RegDump& dump);
// A key with its subkeys: the path below the key ("" for the key itself) -> its values.
using RegTree = std::map<std::string, RegDump>;
RegTree DumpTree(HKEY root, const std::string& path);
// Makes the key hold exactly the tree: what the tree lacks is deleted first.
void RestoreTree(HKEY root, const std::string& path, const RegTree& tree);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void DeleteKeyTree(HKEY root, const std::string& path);
std::string ReadString(HKEY root, const std::string& path, const std::string& name, bool* exists = nullptr);

// Makes Wine report the 95/98 family to the program only (its AppDefaults key), or undoes it.
void SetProgramFamilyWin98(bool win98);

extern const char* const kFontSubstitutes;
extern const char* const kProgramKey;
void SetProgramString(const std::string& name, const std::string& value);
void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);
// A value of the language file beside the program, as the program reads it.
std::string LangResValue(const std::string& section, const std::string& key);
// The sections of the language file beside the program, in file order.
std::vector<std::string> LangResSections();
std::string WinIniPath();

}  // namespace e2e
