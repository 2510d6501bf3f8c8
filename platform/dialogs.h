// Message boxes and the save-file dialog.
#pragma once
#include <optional>
#include <string>

namespace sorel {

// The system's MessageBox flags and answers that the program uses.
namespace Mb {
constexpr unsigned Ok = 0x00, YesNoCancel = 0x03, YesNo = 0x04;
constexpr unsigned IconError = 0x10, IconQuestion = 0x20, IconWarning = 0x30, IconInformation = 0x40;
}  // namespace Mb
namespace Answer {
constexpr int Ok = 1, Cancel = 2, Yes = 6, No = 7;
}  // namespace Answer

// What the save dialog is asked to show. No title, initial folder or default extension: the
// system's own apply.
struct SaveFileRequest {
  // Description and pattern pairs separated by "|", in the class library's form:
  // "Aplikacje (*.EXE)|*.EXE|Wszystkie pliki (*.*)|*.*". "" offers no filter.
  std::string filter;
  std::string fileName;  // the name the dialog starts with
  int filterIndex = 1;   // the pair selected at first, from 1
  bool overwritePrompt = false;  // ask before an existing file is chosen
  bool pathMustExist = false;    // only an existing folder may be chosen
};

struct SaveFileChoice {
  std::string path;  // as the user chose it; no extension is added
  int filterIndex = 1;  // the pair selected when the user confirmed, from 1
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal message box owned by the application's window; returns the answer (Answer::*).
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // The system's modal save dialog, owned by the application's window; nothing when the user
  // cancels (or the dialog cannot be shown).
  virtual std::optional<SaveFileChoice> SaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace sorel
