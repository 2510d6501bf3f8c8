// A printer whose output is a file, for tests under Wine: wineps.drv with Wine's generic PostScript
// description, on a port that is a Unix path.
#include "tests/win32/file_printer.h"

#include <windows.h>
#include <winspool.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace sorel::test {
namespace {

std::string Failure(const std::string& step) {
  return step + " failed with error " + std::to_string(GetLastError());
}

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  return temp;
}

// Wine's own export names the Unix file behind a Windows path; absent on Windows itself.
std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  std::vector<WCHAR> wide(windowsPath.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  char* unix = toUnix(wide.data());
  if (!unix) return "";
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

bool WriteFileBytes(const std::string& path, const void* data, DWORD size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PostScript description Wine falls back on when a printer brings none.
bool WriteGenericPpd(const std::string& path) {
  HMODULE spooler = LoadLibraryExA("winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!spooler) return false;
  bool written = false;
  if (HRSRC found = FindResourceA(spooler, MAKEINTRESOURCEA(1), "PPDFILE")) {
    HGLOBAL loaded = LoadResource(spooler, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    written = bytes && WriteFileBytes(path, bytes, SizeofResource(spooler, found));
  }
  FreeLibrary(spooler);
  return written;
}

void DeletePrinterNamed(const std::string& name) {
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) return;
  DeletePrinter(printer);
  ClosePrinter(printer);
}

}  // namespace

FilePrinter::FilePrinter(const std::string& name) : name_(name), driver_(name + " Driver") {
  const std::string temp = TempFolder();
  ppdPath_ = temp + "sorel_generic.ppd";
  outputPath_ = temp + "sorel_printed_" + std::to_string(GetCurrentProcessId()) + ".ps";
  port_ = UnixPath(outputPath_);
  char previous[256] = {};
  DWORD size = sizeof(previous);
  if (GetDefaultPrinterA(previous, &size)) previousDefault_ = previous;
  Install();
}

void FilePrinter::Install() {
  if (port_.empty()) {
    error_ = "wine_get_unix_file_name gave no Unix path for " + outputPath_;
    return;
  }
  if (!WriteGenericPpd(ppdPath_)) {
    error_ = Failure("writing winspool.drv's PPDFILE 1 to " + ppdPath_);
    return;
  }
  DRIVER_INFO_3A driver{};
  driver.cVersion = 3;
  driver.pName = driver_.data();
  driver.pEnvironment = nullptr;  // the system's own
  driver.pDriverPath = const_cast<char*>("wineps.drv");
  driver.pConfigFile = const_cast<char*>("wineps.drv");
  driver.pDataFile = ppdPath_.data();
  driver.pDefaultDataType = const_cast<char*>("RAW");
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY)) {
    error_ = Failure("AddPrinterDriverExA");
    return;
  }
  DeletePrinterNamed(name_);  // left by an earlier run that did not end
  PRINTER_INFO_2A info{};
  info.pPrinterName = name_.data();
  info.pPortName = port_.data();
  info.pDriverName = driver_.data();
  info.pPrintProcessor = const_cast<char*>("winprint");
  info.pDatatype = const_cast<char*>("RAW");
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!printer) {
    error_ = Failure("AddPrinterA on port " + port_);
    return;
  }
  ClosePrinter(printer);
  added_ = true;
  if (!SetDefaultPrinterA(name_.c_str())) error_ = Failure("SetDefaultPrinterA");
  RemoveOutput();
}

FilePrinter::~FilePrinter() {
  if (added_) DeletePrinterNamed(name_);
  SetDefaultPrinterA(previousDefault_.empty() ? nullptr : previousDefault_.c_str());
  DeletePrinterDriverA(nullptr, nullptr, driver_.data());
  RemoveOutput();
  DeleteFileA(ppdPath_.c_str());
}

std::string FilePrinter::Output() const { return ReadFileText(outputPath_); }

bool FilePrinter::OutputExists() const { return GetFileAttributesA(outputPath_.c_str()) != INVALID_FILE_ATTRIBUTES; }

void FilePrinter::RemoveOutput() const { DeleteFileA(outputPath_.c_str()); }

int PrinterCount() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return 0;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed, &needed, &count))
    return 0;
  return static_cast<int>(count);
}

bool GhostscriptText(const std::string& postScriptPath, std::string& text) {
  const std::string gs = "/usr/bin/gs";
  const std::string textPath = postScriptPath + ".txt";
  const std::string unixPs = UnixPath(postScriptPath), unixText = UnixPath(textPath);
  if (unixPs.empty() || unixText.empty() || GetFileAttributesA(("Z:" + gs).c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  // Wine starts a Unix program given by its Unix path, but does not wait for it (the process
  // handle is that of a starter that ends at once); the text appears under its name only when
  // Ghostscript has written all of it.
  std::string command = "/bin/sh -c \"" + gs + " -q -dNOPAUSE -dBATCH -sDEVICE=txtwrite -o " + unixText + ".tmp " +
                        unixPs + " && mv " + unixText + ".tmp " + unixText + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  DeleteFileA(textPath.c_str());
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int waited = 0; waited < 300 && GetFileAttributesA(textPath.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited)
    Sleep(100);
  text = ReadFileText(textPath);
  DeleteFileA(textPath.c_str());
  return true;
}

}  // namespace sorel::test
