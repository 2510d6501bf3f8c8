// In-memory controls and application object: the windows' logic runs natively against these in tests.
#pragma once
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace sorel {

class TextCompare;

// Properties every in-memory control keeps; tests read them directly.
struct MemoryControlState {
  Rect bounds;
  bool visible = true;
  bool enabled = true;
};

class MemoryApplication : public Application {
 public:
  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() override { return title_; }
  void SetHelpFile(const std::string& file) override { helpFile_ = file; }
  std::string HelpFile() override { return helpFile_; }
  void Terminate() override { terminated_ = true; }
  bool Terminated() override { return terminated_; }
  std::string CurrentHint() override { return hint_; }
  bool WindowEnabled() override { return windowEnabled; }
  // The screen's size; tests set it, and forms made by a MemoryUi wired to this application
  // (MemoryUi::app) centre on it.
  int ScreenWidth() override { return screenWidth; }
  int ScreenHeight() override { return screenHeight; }
  int screenWidth = kDefaultScreenWidth, screenHeight = kDefaultScreenHeight;
  // The monitors' work areas; empty: one, the whole screen.
  std::vector<Rect> WorkAreas() override;
  std::vector<Rect> workAreas;
  static constexpr int kDefaultScreenWidth = 1024, kDefaultScreenHeight = 768;
  void BringToForeground() override { ++foregroundCalls; }
  // Runs the events a test queued for the next time the program lets pending events run; an
  // event's error goes to ShowException, as the real dispatcher's does.
  void ProcessMessages() override;
  std::vector<std::function<void()>> pendingEvents;
  // Errors shown outside event handlers (those of handlers are in MemoryUi::events), unless
  // OnException takes them.
  void ShowException(const std::exception& e) override;
  std::vector<std::string> errorsShown;

  // Stay-on-top forms: those of a MemoryUi wired to this application (MemoryUi::app), which must
  // outlive them.
  void NormalizeTopmosts() override;
  void RestoreTopmosts() override;
  void Track(Form* form) { forms_.push_back(form); }
  void Untrack(Form* form);

  // Moves the pointer over a control with this hint.
  void SetCurrentHint(const std::string& hint);

  bool windowEnabled = true;
  int foregroundCalls = 0;

 private:
  std::string title_, helpFile_, hint_;
  bool terminated_ = false;
  std::vector<Form*> forms_, normalized_;
  int topmostLevel_ = 0;
};

// The in-memory text metric: a line of text in a font of this many points is this many pixels
// high on the 96-dots-per-inch screen, and each character half as wide.
inline int MemoryLineHeight(int points) { return (points * 96 + 71) / 72 + 2; }
inline int MemoryTextWidth(const std::string& text, int points) {
  return static_cast<int>(text.size()) * MemoryLineHeight(points) / 2;
}

class MemoryUi;

// Runs an event handler the way the real dispatcher does: an error ends the handler and is shown,
// or handed to the application's OnException when the Ui is wired to an application that has one.
// Tests read the messages shown from errorsShown.
struct MemoryEventSink {
  std::vector<std::string> errorsShown;
  MemoryUi* ui = nullptr;  // whose application (MemoryUi::app) may take the errors
  void Run(const std::function<void()>& handler);
};

// Every control the Ui made, by name, so that tests can reach them as a user would.
class MemoryUi : public Ui {
 public:
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
  void ShowDragFrame(const Rect& screen) override { dragFrame = screen; }
  void HideDragFrame() override { dragFrame.reset(); }
  std::optional<Rect> dragFrame;  // the drag outline while shown

  // The most recently created control of that name (nullptr when none), or of the form made last
  // before it with "Form.Name"; the pointer is valid while its owner keeps the control.
  template <class T>
  T* Find(const std::string& name) {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : dynamic_cast<T*>(it->second);
  }
  void Remember(Control* control);
  void Forget(Control* control);
  // A live pop-up menu's item by name ("" for the menu's root item, whose sub-items are the
  // menu's items); nullptr when none.
  MenuItem* FindMenuItem(const std::string& menu, const std::string& item = "");
  PopupMenu* FindMenu(const std::string& menu);
  void RememberMenu(const std::string& name, PopupMenu* menu);
  void ForgetMenu(PopupMenu* menu);

  // false: forms behave as if their system window did not exist.
  bool handlesAllocated = true;
  // The application whose screen forms centre on (Form::CenterOnScreen), as the real forms use the
  // system's screen; unset: a screen of MemoryApplication's default size. Its OnException takes
  // the errors of handlers, and a MemoryApplication counts forms made after it is set among its
  // stay-on-top windows.
  Application* app = nullptr;
  int ScreenWidth() { return app ? app->ScreenWidth() : MemoryApplication::kDefaultScreenWidth; }
  int ScreenHeight() { return app ? app->ScreenHeight() : MemoryApplication::kDefaultScreenHeight; }
  // The locale's comparison for sorting tree nodes (lstrcmpA) and combo box items (ignore case);
  // byte order when unset.
  TextCompare* treeCompare = nullptr;
  // Plays the user while a form is shown modally (picks items, presses buttons, sets the result).
  std::function<void(Form&)> modalHandler;
  // Ends the innermost modal form with a result; one entry per form being shown modally.
  std::vector<std::function<void(int)>> modalStack;
  MemoryEventSink events{{}, this};

 private:
  template <class Impl, class... Args>
  std::unique_ptr<Impl> Make(const std::string& name, Args&&... args);
  std::map<std::string, Control*> byName_;
  std::map<std::string, PopupMenu*> menus_;
  std::string formScope_;  // the form made last
};

// What an in-memory label or scroll box holds, for tests.
FontSpec LabelFont(Label& label);
// A form's owner (SetOwner), and the container a panel or button stands on now.
Form* OwnerOf(Form& form);
Container* ParentOf(Control& control);
// The mouse on a container as a drag (OnDrag), at a screen point.
void Drag(MemoryUi& ui, Container& on, DragAction action, Point screen);
bool LabelIsLink(Label& label);
// What an in-memory HTML viewer was asked to show: every path in order, and the place shown.
std::vector<std::string> PagesLoaded(HtmlViewer& viewer);
std::string PlaceShown(HtmlViewer& viewer);
std::vector<Label*> LabelsIn(ScrollBox& box);
int RangeComputations(ScrollBox& box);

// Test-side actions on in-memory controls.
// Presses the button: runs its handler and, on a modal form, ends it with the button's result.
void Click(MemoryUi& ui, Button& button);
// Picks an item as the user would, which runs OnChange.
void Pick(MemoryUi& ui, ComboBox& combo, int index);
// Chooses a menu item as the user would (its OnClick runs with the item as sender); a disabled
// item cannot be chosen, as in the system's menus.
void ClickItem(MemoryUi& ui, MenuItem& item);
// Highlights a menu item in its open menu: the application's hint becomes the item's, as the
// system's menu reports the highlighted item (needs MemoryUi::app, a MemoryApplication).
void HoverItem(MemoryUi& ui, MenuItem& item);
// Clicks a label (a link's click).
void ClickLabel(MemoryUi& ui, Label& label);
// Brings a page of the tabs to the front as the user does, which runs OnChange.
void ShowPage(MemoryUi& ui, TabControl& tabs, int index);
// Clicks a link of the viewer's page: OnHotSpotClick, then, unless handled, the viewer follows it.
void ClickLink(MemoryUi& ui, HtmlViewer& viewer, const std::string& target);
// What a pop-up menu was last opened for: the anchor's name and the point; "" when never opened.
std::string LastPopupAnchor(PopupMenu& menu);

// The in-memory tree lays every node out as one row of kTreeRowHeight pixels, in display order
// (every node open), so that points map to nodes the way a user sees them.
constexpr int kTreeRowHeight = 16;
// The user's actions on a tree: a press at a point (a right press selects the node there first,
// as the real tree does), a double click, a typed character, the context-menu request.
void PressTree(MemoryUi& ui, TreeView& tree, int x, int y, bool right = false);
void DoubleClickTree(MemoryUi& ui, TreeView& tree);
void TypeInTree(MemoryUi& ui, TreeView& tree, char key);
// A right click at a client point of a control (a tree's selects the node there first).
void ContextMenuOf(MemoryUi& ui, Control& control, int x, int y);
void ContextMenuOfTree(MemoryUi& ui, TreeView& tree, int x, int y);
// The client point of a node's row (its middle), for the actions above.
void PointOfNode(TreeView& tree, NodeId node, int& x, int& y);
// The close box; a form without one (FormStyle::FixedToolDialog) cannot be closed by the user.
void CloseForm(MemoryUi& ui, Form& form);
// The Escape key on the form: presses its cancel button, if it has one, as Click does.
void PressEscape(MemoryUi& ui, Form& form);
// The Enter key on the form: presses its default button, if it has one, as Click does.
void PressEnter(MemoryUi& ui, Form& form);
// Typing into an edit as the user does: its whole text becomes text. Nothing happens to an edit
// that is disabled or hidden.
void TypeText(MemoryUi& ui, Edit& edit, const std::string& text);

}  // namespace sorel
