// The installer from a user's side: a silent install, the program started from its Start-menu
// shortcut, then a silent uninstall through the Add/Remove Programs entry, leaving nothing behind.
// scripts/test-installer runs it in a fresh Wine prefix: it changes the machine it runs on.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/program_version.h"
#include "tests/e2e/driver.h"

namespace {

std::string g_setup;  // the installer (--setup=)
std::string g_files;  // the folder the release was made from (--files=)
bool g_win98 = false; // the prefix reports the 95/98 family (--family=win98), else NT

const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SorelAssistant";
const char* const kMainCaption = SOREL_CAPTION;

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return "";
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// Every file below root, as paths relative to it, sorted.
void CollectFiles(const std::string& root, const std::string& below, std::vector<std::string>& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((root + "\\" + below + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CollectFiles(root, below + name + "\\", out);
    else
      out.push_back(below + name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::vector<std::string> FilesBelow(const std::string& root) {
  std::vector<std::string> files;
  CollectFiles(root, "", files);
  std::sort(files.begin(), files.end());
  return files;
}

// The FILEVERSION of an executable's version record, as a.b.c.d; "" when it has none.
std::string FileVersion(const std::string& exe) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(exe.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
    return "";
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
         "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

struct Shortcut {
  std::string target, workingFolder;
};

// Reads a shell link through the shell's own IShellLinkA, as Explorer resolves it.
bool ReadShortcut(const std::string& lnk, Shortcut* out) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool ok = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    ok = SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
         SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
    out->target = target;
    out->workingFolder = folder;
    file->Release();
  }
  link->Release();
  return ok;
}

// Runs a command line and waits for it; the exit code, or -1 when it did not start or end in time.
long RunAndWait(const std::string& commandLine, DWORD timeoutMs) {
  std::string command = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  long code = -1;
  DWORD exitCode = 0;
  if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &exitCode))
    code = static_cast<long>(exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}

bool WaitUntilGone(const std::string& path, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 200) {
    if (!Exists(path)) return true;
    Sleep(200);
  }
  return false;
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(Installer, InstallsStartsFromTheShortcutAndUninstallsCleanly) {
  // The family is the prefix's setting: a run meant for 95/98 must not pass as NT.
  OSVERSIONINFOA os{};
  os.dwOSVersionInfoSize = sizeof(os);
  ASSERT_TRUE(GetVersionExA(&os));
  ASSERT_EQ(os.dwPlatformId, static_cast<DWORD>(g_win98 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT));

  // NSIS's installer, silent, ends when it is done.
  ASSERT_EQ(RunAndWait("\"" + e2e::WindowsPath(g_setup) + "\" /S", 120000), 0) << "the installer failed";

  // The release's files, byte for byte, and the uninstaller: nothing more, nothing less.
  const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Sorel Assistant";
  const std::string exe = folder + "\\SorelAssistant.exe";
  const std::string release = e2e::WindowsPath(g_files);
  std::vector<std::string> shipped = FilesBelow(release);
  ASSERT_FALSE(shipped.empty()) << release;
  std::vector<std::string> expected = shipped;
  expected.push_back("Uninstall.exe");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesBelow(folder), expected) << folder;
  for (const std::string& file : shipped)
    EXPECT_TRUE(e2e::ReadFileBytes(folder + "\\" + file) == e2e::ReadFileBytes(release + "\\" + file)) << file;

  // The installer and the Add/Remove Programs entry carry the version of the program's own record.
  const std::string version = FileVersion(exe);
  ASSERT_FALSE(version.empty()) << exe;
  EXPECT_EQ(FileVersion(e2e::WindowsPath(g_setup)), version);
  EXPECT_EQ(e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Sorel Assistant");
  EXPECT_EQ(e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), version);
  EXPECT_TRUE(SamePath(e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), folder));
  const std::string quietUninstall = e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
  ASSERT_FALSE(quietUninstall.empty());

  // The Start-menu shortcut starts the installed program in its own folder.
  const std::string lnk = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Sorel Assistant.lnk";
  Shortcut shortcut;
  ASSERT_TRUE(ReadShortcut(lnk, &shortcut)) << lnk;
  EXPECT_TRUE(SamePath(shortcut.target, exe)) << shortcut.target;
  EXPECT_TRUE(SamePath(shortcut.workingFolder, folder)) << shortcut.workingFolder;
  {
    // No language question on the first start; English shows the installed LangRes.ini was found.
    e2e::SetProgramString("Language", "English");
    e2e::g_exePath = shortcut.target;
    e2e::AppProcess app;
    HWND main = app.WaitForWindow(kMainCaption, 60000);
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    EXPECT_NE(e2e::FindChild(main, "Static", version), nullptr) << "version label missing";
    const std::string cancel = e2e::LangResValue("English", "btCancel");
    ASSERT_FALSE(cancel.empty());
    EXPECT_NE(e2e::FindChild(main, "Button", cancel), nullptr) << "not in English: " << cancel;
    HWND ok = e2e::FindChild(main, "Button", "&OK");
    ASSERT_NE(ok, nullptr);
    e2e::Press(ok);
    ASSERT_TRUE(app.WaitForExit(30000)) << "the program did not end after OK";
  }

  // As Add/Remove Programs would. The uninstaller copies itself to the temporary folder, starts the
  // copy and returns at once; the copy removes the files.
  ASSERT_EQ(RunAndWait(quietUninstall, 60000), 0) << quietUninstall;
  EXPECT_TRUE(WaitUntilGone(folder, 60000)) << folder << " is still there";
  EXPECT_FALSE(Exists(lnk)) << lnk;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string family = "nt";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--setup=", 8) == 0) g_setup = argv[i] + 8;
    if (std::strncmp(argv[i], "--files=", 8) == 0) g_files = argv[i] + 8;
    if (std::strncmp(argv[i], "--family=", 9) == 0) family = argv[i] + 9;
  }
  g_win98 = family == "win98";
  if (g_setup.empty() || g_files.empty() || (family != "nt" && family != "win98")) {
    std::fprintf(stderr, "usage: sorel_installer_tests --setup=<setup.exe> --files=<the release's folder>"
                         " [--family=nt|win98]\n");
    return 2;
  }
  CoInitialize(nullptr);
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
