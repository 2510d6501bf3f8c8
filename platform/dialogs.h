// Message boxes and the save-file dialog.
#pragma once
#include <optional>
#include <string>

namespace sorel {

// What a message box asks: the buttons it offers and the icon beside its text.
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Question, Warning, Information };

// What the user answered: the button pressed (closing the box counts as its Cancel, or as Ok when
// it has only Ok). None when the box could not be shown.
enum class Answer { None, Ok, Cancel, Yes, No };

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
  // Modal message box owned by the application's window; returns the answer.
  virtual Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) = 0;
  // The system's modal save dialog, owned by the application's window; nothing when the user
  // cancels (or the dialog cannot be shown).
  virtual std::optional<SaveFileChoice> SaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace sorel
