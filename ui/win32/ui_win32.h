// Win32 controls behind the control interfaces, and the application object with its message loop.
#pragma once
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace sorel {

class Win32Application : public Application {
 public:
  explicit Win32Application(HINSTANCE instance);
  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() override { return title_; }
  void SetHelpFile(const std::string& file) override { helpFile_ = file; }
  std::string HelpFile() override { return helpFile_; }
  void Terminate() override;
  bool Terminated() override { return terminated_; }
  std::string CurrentHint() override { return hint_; }
  bool WindowEnabled() override;
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  std::vector<Rect> WorkAreas() override;
  void BringToForeground() override;

  HINSTANCE Instance() const { return instance_; }
  // The window that owns message boxes and whose destruction ends the message loop.
  void SetMainWindow(HWND hwnd) { main_ = hwnd; }
  HWND MainWindow() const { return main_; }
  // Runs the message loop until Terminate or the main window is destroyed.
  int Run();
  // Handles the messages already waiting, as the loop does, and returns; a quit message is left
  // for the loop.
  void ProcessMessages() override;
  // The application's default error display: the error's own words in a message box; or
  // OnException.
  void ShowException(const std::exception& e) override;
  void SetHint(const std::string& hint);
  // While a pop-up menu is open: its items by command id (from 1), so that the item the user
  // highlights shows its hint; nullptr once it has closed.
  void SetOpenMenu(const std::vector<MenuItem*>* items) { openMenu_ = items; }
  // WM_MENUSELECT's command id (a submenu's position for a submenu) and flags: the
  // highlighted item's hint becomes the current one; none when the menu closes.
  void MenuSelect(UINT id, UINT flags);
  // Every form of this thread that stays on top, the main window included.
  void NormalizeTopmosts() override;
  void RestoreTopmosts() override;

 private:
  void Dispatch(MSG& msg);
  std::vector<HWND> normalized_;
  int topmostLevel_ = 0;
  HINSTANCE instance_;
  HWND main_ = nullptr;
  std::string title_, helpFile_, hint_;
  bool terminated_ = false;
  const std::vector<MenuItem*>* openMenu_ = nullptr;
};

class Win32Ui : public Ui {
 public:
  explicit Win32Ui(Win32Application& app);
  std::unique_ptr<Form> CreateForm(const std::string& name, FormStyle style) override;
  std::unique_ptr<Panel> CreatePanel(Container& parent, const std::string& name) override;
  std::unique_ptr<Label> CreateLabel(Container& parent, const std::string& name) override;
  std::unique_ptr<Button> CreateButton(Container& parent, const std::string& name) override;
  std::unique_ptr<TabControl> CreateTabControl(Container& parent, const std::string& name) override;
  std::unique_ptr<StatusBar> CreateStatusBar(Container& parent, const std::string& name) override;
  std::unique_ptr<Image> CreateImage(Container& parent, const std::string& name) override;
  std::unique_ptr<TreeView> CreateTreeView(Container& parent, const std::string& name) override;
  std::unique_ptr<ComboBox> CreateComboBox(Container& parent, const std::string& name) override;
  std::unique_ptr<PopupMenu> CreatePopupMenu(const std::string& name) override;
  std::unique_ptr<ScrollBox> CreateScrollBox(Container& parent, const std::string& name) override;
  std::unique_ptr<HtmlViewer> CreateHtmlViewer(Container& parent, const std::string& name) override;
  std::unique_ptr<Edit> CreateEdit(Container& parent, const std::string& name) override;
  std::unique_ptr<Memo> CreateMemo(Container& parent, const std::string& name) override;
  std::unique_ptr<ProgressBar> CreateProgressBar(Container& parent, const std::string& name) override;
  void ShowDragFrame(const Rect& screen) override;
  void HideDragFrame() override;

 private:
  Win32Application& app_;
};

// The system window behind a control made by Win32Ui (nullptr for other controls).
HWND HandleOf(Control& control);

}  // namespace sorel
