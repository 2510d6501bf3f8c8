// Message boxes.
#pragma once
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

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal message box owned by the application's window; returns the answer (Answer::*).
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

}  // namespace sorel
