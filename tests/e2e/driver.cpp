// The end-to-end driver: process start, window search, clicks and store snapshots.
#include "tests/e2e/driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

std::string g_exePath;
const char* const kFontSubstitutes = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

std::string WindowsPath(const std::string& path) {
  if (path.size() > 1 && path[1] == ':') return path;
  std::string result = path;
  std::replace(result.begin(), result.end(), '/', '\\');
  if (!path.empty() && path[0] != '/') {
    // Relative to the current folder, which Wine gives as the Unix one under Z:.
    char full[MAX_PATH] = {};
    GetFullPathNameA(result.c_str(), MAX_PATH, full, nullptr);
    return full;
  }
  return "Z:" + result;
}

AppProcess::AppProcess(const std::string& exePath) {
  std::string exe = WindowsPath(exePath);
  std::string folder = exe.substr(0, exe.find_last_of('\\'));
  std::string command = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info_))
    throw std::runtime_error("cannot start " + exe);
}

AppProcess::~AppProcess() {
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

namespace {

struct Search {
  DWORD pid;
  std::string caption;
  std::string cls;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  if (!s->caption.empty() && Text(hwnd) != s->caption) return TRUE;
  if (!s->cls.empty() && ClassName(hwnd) != s->cls) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND Poll(Search search, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 100) {
    search.found = nullptr;
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

HWND AppProcess::WaitForWindow(const std::string& caption, int timeoutMs) {
  return Poll(Search{info_.dwProcessId, caption, ""}, timeoutMs);
}

HWND AppProcess::WaitForMessageBox(int timeoutMs) {
  return Poll(Search{info_.dwProcessId, "", "#32770"}, timeoutMs);
}

HWND AppProcess::WaitForMenu(int timeoutMs) {
  return Poll(Search{info_.dwProcessId, "", "#32768"}, timeoutMs);
}

bool AppProcess::WaitForExit(int timeoutMs) {
  return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppProcess::ExitCode() {
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::string Text(HWND hwnd) {
  char buffer[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      5000, &copied);
  return buffer;
}

std::string ClassName(HWND hwnd) {
  char buffer[256] = {};
  GetClassNameA(hwnd, buffer, sizeof(buffer));
  return buffer;
}

namespace {

struct Collect {
  std::string cls, text;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  auto* c = reinterpret_cast<Collect*>(param);
  if ((c->cls.empty() || lstrcmpiA(ClassName(hwnd).c_str(), c->cls.c_str()) == 0) &&
      (c->text.empty() || Text(hwnd) == c->text))
    c->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> FindChildren(HWND parent, const std::string& cls, const std::string& text) {
  Collect collect{cls, text, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&collect));
  return collect.found;
}

HWND FindChild(HWND parent, const std::string& cls, const std::string& text) {
  auto found = FindChildren(parent, cls, text);
  return found.empty() ? nullptr : found.front();
}

void Press(HWND button) {
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void CloseWindow(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void PressKey(HWND window, int virtualKey) {
  const UINT scan = MapVirtualKeyA(virtualKey, 0);
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

void Answer(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  if (button) {
    Press(button);
  } else {
    PostMessageA(box, WM_COMMAND, id, 0);
  }
}

std::string MessageBoxText(HWND box) {
  std::string all;
  for (HWND s : FindChildren(box, "Static")) all += Text(s);
  return all;
}

namespace {

// Memory inside the program's process: tree messages carry pointers that Wine does not marshal.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  char* Address(std::size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
  void Write(std::size_t offset, const void* data, std::size_t size) {
    WriteProcessMemory(process_, Address(offset), data, size, nullptr);
  }
  void Read(std::size_t offset, void* data, std::size_t size) {
    ReadProcessMemory(process_, Address(offset), data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
  std::size_t size_;
};

TreeNode ReadNode(HWND tree, HTREEITEM item, RemoteMemory& remote) {
  const std::size_t textOffset = 256;
  TVITEMA query{};
  query.mask = TVIF_TEXT | TVIF_STATE;
  query.hItem = item;
  query.stateMask = TVIS_STATEIMAGEMASK;
  query.pszText = remote.Address(textOffset);
  query.cchTextMax = 1024;
  remote.Write(0, &query, sizeof(query));
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Address()));
  TVITEMA answer{};
  remote.Read(0, &answer, sizeof(answer));
  char text[1025] = {};
  remote.Read(textOffset, text, 1024);
  TreeNode node;
  node.text = text;
  node.state = static_cast<int>((answer.state & TVIS_STATEIMAGEMASK) >> 12);
  node.item = item;
  for (auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
       child; child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
    node.children.push_back(ReadNode(tree, child, remote));
  return node;
}

}  // namespace

std::vector<TreeNode> ReadTree(HWND tree) {
  RemoteMemory remote(tree, 4096);
  std::vector<TreeNode> nodes;
  for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
       item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
    nodes.push_back(ReadNode(tree, item, remote));
  return nodes;
}

const TreeNode* FindNode(const std::vector<TreeNode>& nodes, const std::string& text) {
  for (const auto& n : nodes) {
    if (n.text == text) return &n;
    if (const TreeNode* child = FindNode(n.children, text)) return child;
  }
  return nullptr;
}

void SelectNode(HWND tree, HTREEITEM item) {
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TypeChar(HWND control, char c) { SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1); }

bool DoubleClickNode(HWND tree, HTREEITEM item) {
  // A node under a collapsed face or scrolled out of view has no rectangle: a click would land
  // on whatever is at (0, 0).
  SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  RemoteMemory remote(tree, sizeof(RECT));
  RECT rect{};
  remote.Write(0, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the rectangle
  if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.Address()))) return false;
  remote.Read(0, &rect, sizeof(rect));
  LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
  PostMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
  return true;
}

// Combo box strings are marshalled by the system between processes. Wine returns only the first
// character of an ANSI query from another process, so the text is asked for in Unicode and
// converted to this process's code page, which is the program's.
std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t wide[512] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    items.push_back(text);
  }
  return items;
}

std::string StatusText(HWND bar) {
  const std::size_t size = 4096;
  RemoteMemory remote(bar, size);
  remote.Write(0, std::string(size, '\0').data(), size);
  // A simple bar's text is part 0 to the reading messages, though SB_SIMPLEID sets it.
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote.Address()));
  std::string text(size, '\0');
  remote.Read(0, text.data(), size - 1);
  return text.c_str();
}

std::string HintOf(HWND control, HWND statusBar) {
  // Sent, not posted: the hint is in the bar when the call returns. The form itself first: the
  // program shows a hint only when it changes, and the bar may hold other text meanwhile.
  HWND form = GetAncestor(control, GA_ROOT);
  SendMessageA(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(form), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  SendMessageA(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return StatusText(statusBar);
}

HWND FindByHint(HWND parent, const std::string& cls, const std::string& hint, HWND statusBar) {
  // A few rounds: the real pointer may move over another control between the hint asked for and
  // the bar read back, and a form may still be creating its bars when it first shows.
  for (int round = 0; round < 5; ++round) {
    if (round > 0) Sleep(200);
    for (HWND control : FindChildren(parent, cls))
      if (HintOf(control, statusBar) == hint) return control;
  }
  return nullptr;
}

std::vector<HWND> DirectChildren(HWND parent, const std::string& cls) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (cls.empty() || lstrcmpiA(ClassName(child).c_str(), cls.c_str()) == 0) found.push_back(child);
  return found;
}

RECT WindowRect(HWND hwnd) {
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  return rc;
}

bool PickComboItem(HWND combo, const std::string& text) {
  auto items = ComboItems(combo);
  auto it = std::find(items.begin(), items.end(), text);
  if (it == items.end()) return false;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(it - items.begin()), 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return true;
}

RegDump DumpKey(HKEY root, const std::string& path, REGSAM extra) {
  RegDump dump;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | extra, &key) != ERROR_SUCCESS) return dump;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD nameLen = sizeof(name), type = 0, dataLen = 0;
    if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, &dataLen) != ERROR_SUCCESS) break;
    std::string data(dataLen, '\0');
    nameLen = sizeof(name);
    RegEnumValueA(key, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataLen);
    data.resize(dataLen);
    dump[std::string(name, nameLen)] = RegValue{type, data};
  }
  RegCloseKey(key);
  return dump;
}

void RestoreKey(HKEY root, const std::string& path, const RegDump& dump) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot open " + path);
  for (const auto& [name, value] : DumpKey(root, path))
    if (!dump.count(name)) RegDeleteValueA(key, name.c_str());
  for (const auto& [name, value] : dump)
    RegSetValueExA(key, name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                   static_cast<DWORD>(value.data.size()));
  RegCloseKey(key);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

namespace {

std::vector<std::string> SubkeyNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  RegCloseKey(key);
  return names;
}

void DumpInto(HKEY root, const std::string& top, const std::string& below, RegTree& tree) {
  const std::string path = below.empty() ? top : top + "\\" + below;
  tree[below] = DumpKey(root, path);
  for (const auto& name : SubkeyNames(root, path)) DumpInto(root, top, below.empty() ? name : below + "\\" + name, tree);
}

}  // namespace

RegTree DumpTree(HKEY root, const std::string& path) {
  RegTree tree;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return tree;
  RegCloseKey(key);
  DumpInto(root, path, "", tree);
  return tree;
}

void RestoreTree(HKEY root, const std::string& path, const RegTree& tree) {
  DeleteKeyTree(root, path);
  // The map's order puts every key before its subkeys, and each key is created with its values.
  for (const auto& [below, values] : tree) RestoreKey(root, below.empty() ? path : path + "\\" + below, values);
}

void DeleteKeyTree(HKEY root, const std::string& path) {
  for (const auto& sub : SubkeyNames(root, path)) DeleteKeyTree(root, path + "\\" + sub);
  RegDeleteKeyA(root, path.c_str());
}

std::string ReadString(HKEY root, const std::string& path, const std::string& name, bool* exists) {
  auto dump = DumpKey(root, path);
  auto it = dump.find(name);
  bool found = it != dump.end() && it->second.type == REG_SZ;
  if (exists) *exists = found;
  return found ? std::string(it->second.data.c_str()) : "";
}

void SetProgramFamilyWin98(bool win98) {
  const char* path = "Software\\Wine\\AppDefaults\\SorelAssistant.exe";
  if (!win98) {
    DeleteKeyTree(HKEY_CURRENT_USER, path);
    return;
  }
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(key);
}

const char* const kProgramKey = "Software\\Velmora\\SorelAssistant";

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot create " + path);
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

void SetProgramString(const std::string& name, const std::string& value) {
  SetString(HKEY_CURRENT_USER, kProgramKey, name, value);
}

std::string LangResValue(const std::string& section, const std::string& key) {
  std::string exe = WindowsPath(g_exePath);
  std::string file = exe.substr(0, exe.find_last_of('\\') + 1) + "LangRes.ini";
  char value[2048] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof(value), file.c_str());
  return value;
}

std::vector<std::string> LangResSections() {
  std::string exe = WindowsPath(g_exePath);
  std::string file = exe.substr(0, exe.find_last_of('\\') + 1) + "LangRes.ini";
  std::vector<char> names(65536);
  DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
  std::vector<std::string> sections;
  for (const char* name = names.data(); name < names.data() + length && *name; name += std::strlen(name) + 1)
    sections.emplace_back(name);
  return sections;
}

std::string WinIniPath() {
  char folder[MAX_PATH];
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\win.ini";
}

}  // namespace e2e
