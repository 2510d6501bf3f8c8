// User-interface controls as the windows see them. A window class builds its design through Ui and
// handles events through the callbacks; the Win32 build backs each control by a real window, the
// tests by an in-memory one.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/font_spec.h"
#include "platform/geometry.h"

namespace sorel {

class Container;

// What every control has. Name and hint are plain data kept here; the rest is the backend's.
class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

  virtual void SetBounds(const Rect& r) = 0;  // relative to the parent's client area
  virtual Rect Bounds() = 0;
  // The control's outer rectangle in screen coordinates.
  virtual Rect ScreenRect() = 0;
  // Moves the control, with everything on it, onto another container (a dockable bar goes from a
  // dock to its floating window and back). Its bounds are then relative to the new parent; the
  // caller sets them.
  virtual void SetParent(Container& parent) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() = 0;

  // The context menu is asked for at a client point (right click, the menu key). A control without
  // one leaves it to the nearest control around it that has one.
  std::function<void(int x, int y)> OnContextPopup;
  // The help topic of the control and of everything on it that has none of its own; 0: none.
  int HelpContext = 0;

 private:
  std::string name_;
  std::string hint_;
};

// A caption: the text of a label or a button, a tab's text, a window's title. One interface for
// all of them, so that whoever sets captions by name (a language section) needs one cast. Menu
// items keep theirs as plain data (MenuItem).
class Captioned {
 public:
  virtual ~Captioned() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() = 0;
};

// What the mouse does in a drag (Container::OnDrag).
enum class DragAction { Press, Move, Release, Cancel, DoubleClick };

// A control that holds other controls.
class Container : public Control {
 public:
  using Control::Control;
  // A drag that starts on the container itself: a left press on a panel's own background (not on
  // a control standing on it) or on a tool window's caption (FormStyle::ToolWindow). The mouse
  // stays with the container until the button is released (Release) or the system takes it away
  // (Cancel, after which no Release follows). Points are in screen coordinates. A double click
  // there comes as DoubleClick instead of a second Press. Unset: the system's own handling.
  std::function<void(DragAction action, Point screen)> OnDrag;
};

// Where a caption stands across its control's width.
enum class TextAlign { Left, Center };

class Label : public Control, public Captioned {
 public:
  using Control::Control;
  // Left at first. A fitted label is as wide as its caption, so there it changes nothing.
  virtual void SetAlignment(TextAlign align) = 0;
  // The font the caption is drawn in; until set, the parent's.
  virtual void SetFont(const FontSpec& font) = 0;
  // A transparent label lets its parent's background show around the letters.
  virtual void SetTransparent(bool transparent) = 0;
  virtual bool Transparent() = 0;
  // A fitted label sizes itself to its caption in its font (Bounds reports that size; it measures
  // again whenever the caption or the font changes, keeping its position; an empty caption is one
  // line high) and shows ampersands as they stand instead of marking hot keys.
  virtual void SetFitToText(bool fit) = 0;
  // A link: drawn blue, with the hand-pointer cursor over it; clicks raise OnClick.
  virtual void SetLink(bool link) = 0;
  std::function<void()> OnClick;
};

// The results a modal form ends with (Button::ModalResult, Form::ShowModal).
constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

class Button : public Control, public Captioned {
 public:
  using Control::Control;
  std::function<void()> OnClick;
  // When not 0, a click ends the modal form the button stands on with this result.
  int ModalResult = 0;
  // Shows a picture (a bitmap in the resources) instead of the caption, as tool buttons do.
  virtual void SetGlyph(const std::string& resource) = 0;
  virtual std::string Glyph() = 0;
  // Two-state buttons stay down until pressed again (or set up by the program).
  virtual void SetDown(bool down) = 0;
  virtual bool Down() = 0;
};

// A single-line text field the user can type into; a tab stop.
class Edit : public Control {
 public:
  using Control::Control;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() = 0;
};

// A multi-line text box, editable, with both scroll bars; lines do not wrap.
class Memo : public Control {
 public:
  using Control::Control;
  // Line ends of any kind (CR, LF, CR LF) are shown as line breaks and kept as CR LF, so that Text
  // gives the lines joined by CR LF. Texts of a megabyte load whole on the NT family; the 95/98
  // family's multi-line edit holds at most 64 KB.
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() = 0;
  // The font of the text; until set, the dialog font.
  virtual void SetFont(const FontSpec& font) = 0;
};

// A bar filled in proportion to a position within a range; 0 to 100 at first.
class ProgressBar : public Control {
 public:
  using Control::Control;
  // The position is kept within the range, also when the range changes under it.
  virtual void SetRange(int min, int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Position() = 0;
};

// A menu item; items with sub-items open a submenu. Items belong to their menu. A menu item is
// plain data: the system menu is built from it each time the menu opens, so captions, checks and
// sub-items changed by the program are always current.
class MenuItem {
 public:
  explicit MenuItem(std::string name) : name_(std::move(name)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;
  const std::string& Name() const { return name_; }

  void SetCaption(const std::string& caption) { caption_ = caption; }
  const std::string& Caption() const { return caption_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Checked() const { return checked_; }
  // A radio item shows its check as a dot; the program keeps one item of a group checked.
  void SetRadioItem(bool radio) { radio_ = radio; }
  bool RadioItem() const { return radio_; }
  // A literal caption is shown as it stands: "&" marks no hot key and "-" is no separator.
  void SetLiteralCaption(bool literal) { literal_ = literal; }
  bool LiteralCaption() const { return literal_; }
  bool IsSeparator() const { return !literal_ && caption_ == "-"; }
  void SetImage(const std::string& resource) { image_ = resource; }  // a 16 x 16 bitmap; "" for none
  const std::string& Image() const { return image_; }
  // A disabled item is shown greyed and cannot be chosen; its OnClick does not run.
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }
  // The application's current hint while the item is highlighted (so the status bar shows it),
  // a disabled item's too: the place to say why it is disabled.
  void SetHint(const std::string& hint) { hint_ = hint; }
  const std::string& Hint() const { return hint_; }

  // Sub-items, in order. A separator is an item with caption "-".
  MenuItem& Add(const std::string& name, const std::string& caption) {
    items_.push_back(std::make_unique<MenuItem>(name));
    items_.back()->SetCaption(caption);
    return *items_.back();
  }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) { return *items_.at(static_cast<std::size_t>(index)); }

  int Tag = 0;
  std::function<void(MenuItem& sender)> OnClick;

 private:
  std::string name_, caption_, image_, hint_;
  bool checked_ = false, radio_ = false, literal_ = false, enabled_ = true;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// A pop-up menu; its items are the root item's sub-items.
class PopupMenu {
 public:
  virtual ~PopupMenu() = default;
  virtual MenuItem& Items() = 0;
  // Opens the menu at a point of a control's client area and runs the chosen item's OnClick.
  virtual void Popup(Control& anchor, int x, int y) = 0;
};

// A container that scrolls its children when they reach beyond its client area.
class ScrollBox : public Container {
 public:
  using Container::Container;
  // The scroll range follows the children; while suspended it is not recomputed, and resuming
  // computes it once from all of them.
  virtual void SuspendRange() = 0;
  virtual void ResumeRange() = 0;
  // The extent of the children as the last computed range holds it.
  virtual Rect Range() = 0;
  // Scroll position in pixels; children's bounds are relative to the content's origin.
  virtual void SetScrollPosition(int x, int y) = 0;
  virtual int ScrollX() = 0;
  virtual int ScrollY() = 0;
};

// A drop-down list without free text, kept sorted with the locale's ignore-case order.
class ComboBox : public Control {
 public:
  using Control::Control;
  virtual void AddItem(const std::string& text) = 0;
  virtual int Count() = 0;
  virtual std::string Item(int index) = 0;
  virtual void DeleteItem(int index) = 0;
  // The first item equal to text, letter case ignored; -1 when none.
  virtual int FindExact(const std::string& text) = 0;
  virtual int ItemIndex() = 0;  // -1: nothing selected
  virtual void SetItemIndex(int index) = 0;
  std::function<void()> OnChange;  // the user picked another item
};

// Where a panel shows a drag handle: two raised lines across the first kGripSize pixels from
// that edge, so that the user sees where to take a bar.
enum class Grip { None, Left, Top };
constexpr int kGripSize = 9;

class Panel : public Container {
 public:
  using Container::Container;
  virtual void SetGrip(Grip grip) = 0;  // Grip::None at first
  virtual Grip GripEdge() = 0;
};

// One page of a tab control; its caption is the tab's text.
class TabSheet : public Container, public Captioned {
 public:
  using Container::Container;
};

class TabControl : public Control {
 public:
  using Control::Control;
  virtual TabSheet& AddSheet(const std::string& name, const std::string& caption) = 0;
  virtual int ActivePage() = 0;
  virtual void SetActivePage(int index) = 0;  // raises no OnChange
  // The user brought another page to the front.
  std::function<void()> OnChange;
};

// A viewer of local HTML pages. It follows the links of its pages itself, unless the program
// takes a link over in OnHotSpotClick.
class HtmlViewer : public Control {
 public:
  using Control::Control;
  // Shows a local file; a path may end in "#place". A file that cannot be read shows an empty page.
  virtual void LoadFromFile(const std::string& path) = 0;
  // The file shown, as it was loaded, without its place; "" before the first.
  virtual std::string CurrentFile() = 0;
  // A link was clicked, with its target as written; setting handled keeps the viewer from
  // following it.
  std::function<void(const std::string& target, bool& handled)> OnHotSpotClick;
};

class StatusBar : public Control {
 public:
  using Control::Control;
  virtual void SetSimpleText(const std::string& text) = 0;
  virtual std::string SimpleText() = 0;
};

// Shows a picture from the program's resources (an icon or a bitmap, by resource name).
class Image : public Control {
 public:
  using Control::Control;
  virtual void ShowIcon(const std::string& resource) = 0;
  virtual void ShowBitmap(const std::string& resource) = 0;
  virtual std::string Picture() = 0;  // the resource shown, "" when none
};

// Tree nodes are identified by a value of the tree's own; 0 is "no node".
using NodeId = std::uintptr_t;

class TreeView : public Control {
 public:
  using Control::Control;
  // Appends a node under parent (0: at the top level) and returns it.
  virtual NodeId AddChild(NodeId parent, const std::string& text) = 0;
  virtual void Delete(NodeId node) = 0;
  virtual void Clear() = 0;
  virtual void SetText(NodeId node, const std::string& text) = 0;
  virtual std::string Text(NodeId node) = 0;
  // State image index: 0 none, 1 empty box, 2 ticked box, 3 grey box.
  virtual void SetStateIndex(NodeId node, int index) = 0;
  virtual int StateIndex(NodeId node) = 0;
  virtual NodeId Parent(NodeId node) = 0;
  virtual NodeId FirstChild(NodeId node) = 0;  // node 0: the first top-level node
  virtual NodeId NextSibling(NodeId node) = 0;
  // Sorts the children of node (0: the top level) by text with lstrcmpA.
  virtual void SortChildren(NodeId node) = 0;
  virtual void Expand(NodeId node) = 0;
  virtual NodeId Selected() = 0;
  virtual void Select(NodeId node) = 0;
  // No repainting between the two.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;

  // State images and the images of the program's image list (a bitmap strip in the resources).
  virtual void SetStateImages(const std::string& resource) = 0;
  // The node at a point of the client area, 0 when none.
  virtual NodeId NodeAt(int x, int y) = 0;
  int Level(NodeId node) { return Parent(node) ? 1 + Level(Parent(node)) : 0; }

  std::function<void(NodeId)> OnChange;  // the selection moved to node
  // Asked before a node collapses; false refuses.
  std::function<bool(NodeId)> OnCollapsing;
  std::function<void()> OnDblClick;
  std::function<void(char key)> OnKeyPress;  // characters typed in the tree (Enter is 13)
  // Any mouse button pressed, at a client point; a right press selects the node first.
  std::function<void(int x, int y)> OnMouseDown;
};

// Holds a tree's repainting for a batch of changes; ends the batch on every path.
class TreeBatchUpdate {
 public:
  explicit TreeBatchUpdate(TreeView& tree) : tree_(tree) { tree_.BeginUpdate(); }
  ~TreeBatchUpdate() { tree_.EndUpdate(); }
  TreeBatchUpdate(const TreeBatchUpdate&) = delete;
  TreeBatchUpdate& operator=(const TreeBatchUpdate&) = delete;

 private:
  TreeView& tree_;
};

// What kind of top-level window a form is; the backend turns it into the system's styles.
enum class FormStyle {
  Dialog,    // fixed single border, system menu only
  Splash,    // no frame at all and no taskbar button
  Sizeable,  // sizeable border, a close box only
  // A dialog border and a caption without any border icons (no system menu, no close box): the
  // user cannot close it, not with the keyboard either; only the program can (Close,
  // SetModalResult).
  FixedToolDialog,
  // A floating tool bar's window: a small caption without border icons, a thin border, no taskbar
  // button; it stays above its owner (SetOwner).
  ToolWindow,
};

// A top-level window; its caption is the title bar's text.
class Form : public Container, public Captioned {
 public:
  Form(std::string name, FormStyle style) : Container(std::move(name)), style_(style) {}
  // Fixed at creation.
  FormStyle Style() const { return style_; }
  virtual void SetClientSize(int width, int height) = 0;
  virtual Rect ClientRect() = 0;
  virtual void SetTopmost(bool topmost) = 0;
  virtual bool Topmost() = 0;
  // Centres the window on the screen the application reports (Application::ScreenWidth).
  virtual void CenterOnScreen() = 0;
  // Shows the window and paints it at once; OnShow runs as for SetVisible(true).
  virtual void ShowAndPaint() = 0;
  // True once the system window exists; the font steps do nothing without it.
  virtual bool HandleAllocated() = 0;
  // Runs the close query; when it allows, the window goes away (the main form ends the program).
  virtual void Close() = 0;
  virtual bool Closed() = 0;
  // Shows the form modally until a button with a modal result is pressed or the form is closed
  // (result 2, cancel); returns the result.
  virtual int ShowModal() = 0;
  // The form's cancel button: Escape presses it (while it is enabled and visible) as a click
  // would. nullptr: Escape presses nothing. The button must stand directly on the form.
  virtual void SetCancelButton(Button* button) = 0;
  // The form's default button: Enter presses it (while it is enabled and visible) as a click would,
  // unless the control with the focus takes Enter itself (a memo). nullptr: Enter presses nothing.
  // The button must stand directly on the form.
  virtual void SetDefaultButton(Button* button) = 0;
  // Ends the form's running ShowModal, which returns result, once the handler that calls it has
  // returned; code outside the form (an event of the network) ends a wait this way. On a form not
  // shown modally it is only recorded: the next ShowModal starts from no result. 0 ends nothing.
  virtual void SetModalResult(int result) = 0;
  // While set, the pointer is the hourglass over the whole window, its controls included.
  virtual void SetBusyCursor(bool busy) = 0;
  // The form stays above its owner and is minimised with it; nullptr: no owner.
  virtual void SetOwner(Form* owner) = 0;

  // Asked by Close and the close box; false keeps the form open (and a modal one shown).
  std::function<void(bool& canClose)> OnCloseQuery;
  // Runs each time the form goes from hidden to shown (SetVisible(true), ShowAndPaint, ShowModal).
  std::function<void()> OnShow;
  // Runs each time the form goes from shown to hidden (SetVisible(false), an allowed close).
  std::function<void()> OnHide;
  // Runs when the client area changes size: the user drags the border, or the program sets it.
  std::function<void()> OnResize;

 private:
  FormStyle style_;
};

// Creates controls. The caller owns what it gets; a parent outlives its children.
class Ui {
 public:
  virtual ~Ui() = default;
  virtual std::unique_ptr<Form> CreateForm(const std::string& name, FormStyle style) = 0;
  virtual std::unique_ptr<Panel> CreatePanel(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<Label> CreateLabel(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<Button> CreateButton(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<TabControl> CreateTabControl(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<StatusBar> CreateStatusBar(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<Image> CreateImage(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<TreeView> CreateTreeView(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<ComboBox> CreateComboBox(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<PopupMenu> CreatePopupMenu(const std::string& name) = 0;
  virtual std::unique_ptr<ScrollBox> CreateScrollBox(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<HtmlViewer> CreateHtmlViewer(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<Edit> CreateEdit(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<Memo> CreateMemo(Container& parent, const std::string& name) = 0;
  virtual std::unique_ptr<ProgressBar> CreateProgressBar(Container& parent, const std::string& name) = 0;
  // The outline of where a dragged bar would land, a grey frame above every window (screen
  // coordinates); showing it again moves it. Hidden until shown, and by HideDragFrame.
  virtual void ShowDragFrame(const Rect& screen) = 0;
  virtual void HideDragFrame() = 0;
};

// The application object: title, help file, the current hint and the end of the message loop.
class Application {
 public:
  virtual ~Application() = default;
  virtual void SetTitle(const std::string& title) = 0;
  virtual std::string Title() = 0;
  virtual void SetHelpFile(const std::string& file) = 0;
  virtual std::string HelpFile() = 0;
  // Ends the message loop; when the loop has not started yet it ends as soon as it starts.
  virtual void Terminate() = 0;
  virtual bool Terminated() = 0;
  // The hint of the control under the pointer; OnHint runs whenever it changes.
  virtual std::string CurrentHint() = 0;
  std::function<void()> OnHint;
  // F1 was pressed: the help topic of the control with the focus, or of the nearest control
  // around it that has one.
  std::function<void(int context)> OnHelp;
  // The screen's size in pixels.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // The work area (the screen less the task bar) of every monitor, in screen coordinates; the
  // primary monitor's first. Never empty.
  virtual std::vector<Rect> WorkAreas() = 0;
  // Whether the application's window accepts input (IsWindowEnabled) and bringing it forward.
  virtual bool WindowEnabled() = 0;
  virtual void BringToForeground() = 0;
  // Lets the user interface handle the events waiting for it, once, and returns.
  virtual void ProcessMessages() = 0;
  // The default error display: the error's own words, in a message box owned by the main window.
  // Event handlers' errors come here through the dispatcher; work outside a handler (the main
  // window's creation) calls it itself. While OnException is set, every error goes to it instead
  // and nothing is displayed; an error raised by OnException itself gets the default display.
  virtual void ShowException(const std::exception& e) = 0;
  // The application-wide error handler. Whoever installs one keeps the one it replaces and puts it
  // back when done; it may do so from inside the handler.
  std::function<void(const std::exception&)> OnException;
  // The application's stay-on-top windows become ordinary while a modal dialog is shown, so that
  // they cannot cover it, and come back on top with RestoreTopmosts. Calls nest: only the
  // outermost pair changes anything. A window that goes away meanwhile is left out.
  virtual void NormalizeTopmosts() = 0;
  virtual void RestoreTopmosts() = 0;
};

}  // namespace sorel
