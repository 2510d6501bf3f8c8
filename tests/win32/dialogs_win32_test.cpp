// The message box's questions and answers as MessageBoxA's flags and results.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/dialogs_win32.h"

namespace sorel {
namespace {

// Every question the program asks, with the flags the system must get for it.
TEST(Win32Dialogs, EachQuestionIsTheSystemsButtonsAndIcon) {
  const struct Case {
    Buttons buttons;
    Icon icon;
    unsigned flags;
  } cases[] = {
      {Buttons::Ok, Icon::None, MB_OK},
      {Buttons::Ok, Icon::Warning, MB_OK | MB_ICONWARNING},
      {Buttons::Ok, Icon::Information, MB_OK | MB_ICONINFORMATION},
      {Buttons::YesNo, Icon::Question, MB_YESNO | MB_ICONQUESTION},
      {Buttons::YesNoCancel, Icon::Question, MB_YESNOCANCEL | MB_ICONQUESTION},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBoxFlags(c.buttons, c.icon), c.flags) << std::hex << c.flags;
}

TEST(Win32Dialogs, TheSystemsResultsAreTheAnswers) {
  const struct Case {
    int result;
    Answer answer;
  } cases[] = {
      {IDOK, Answer::Ok},  {IDCANCEL, Answer::Cancel}, {IDYES, Answer::Yes},
      {IDNO, Answer::No},  {0, Answer::None},          {IDABORT, Answer::None},
  };
  for (const Case& c : cases) EXPECT_EQ(AnswerOf(c.result), c.answer) << c.result;
}

}  // namespace
}  // namespace sorel
