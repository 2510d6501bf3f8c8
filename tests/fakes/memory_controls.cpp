// In-memory controls: plain property holders with the behaviour tests rely on.
#include "tests/fakes/memory_controls.h"

#include <algorithm>
#include <exception>

#include "platform/text.h"
#include "platform/text_compare.h"
#include "toolkit/html/html_links.h"

namespace sorel {

void MemoryApplication::SetCurrentHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint();
}

void MemoryApplication::ProcessMessages() {
  std::vector<std::function<void()>> events;
  events.swap(pendingEvents);
  for (auto& event : events) {
    try {
      event();
    } catch (const std::exception& e) {
      ShowException(e);
    }
  }
}

namespace {

// Hands an error to app's OnException when one is set, as the real application does; false when
// none is. An error OnException raises itself is recorded in shown instead.
bool HandToOnException(Application* app, const std::exception& e, std::vector<std::string>& shown) {
  if (!app || !app->OnException) return false;
  // A copy: the handler may put an earlier one back while it runs.
  auto handler = app->OnException;
  try {
    handler(e);
  } catch (const std::exception& raised) {
    shown.push_back(raised.what());
  }
  return true;
}

}  // namespace

void MemoryApplication::ShowException(const std::exception& e) {
  if (!HandToOnException(this, e, errorsShown)) errorsShown.push_back(e.what());
}

void MemoryApplication::NormalizeTopmosts() {
  if (topmostLevel_++ > 0) return;
  normalized_.clear();
  for (Form* form : forms_) {
    if (!form->Topmost()) continue;
    form->SetTopmost(false);
    normalized_.push_back(form);
  }
}

void MemoryApplication::RestoreTopmosts() {
  if (topmostLevel_ == 0 || --topmostLevel_ > 0) return;
  for (Form* form : normalized_) form->SetTopmost(true);
  normalized_.clear();
}

void MemoryApplication::Untrack(Form* form) {
  std::erase(forms_, form);
  std::erase(normalized_, form);
}

void MemoryEventSink::Run(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const std::exception& e) {
    if (!HandToOnException(ui ? ui->app : nullptr, e, errorsShown)) errorsShown.push_back(e.what());
  }
}

namespace {

template <class Base>
class MemoryControl : public Base {
 public:
  template <class... Args>
  explicit MemoryControl(Args&&... args) : Base(std::forward<Args>(args)...) {}
  ~MemoryControl() override {
    if (tracker) tracker->Forget(this);
  }
  MemoryUi* tracker = nullptr;  // forgets the control's name when it goes
  void SetBounds(const Rect& r) override { state.bounds = r; }
  Rect Bounds() override { return state.bounds; }
  // A top-level control's bounds are on the screen; a child's are offset by its parent's place.
  Rect ScreenRect() override {
    Rect r = state.bounds;
    if (parent) {
      const Rect outer = parent->ScreenRect();
      r.left += outer.left;
      r.top += outer.top;
    }
    return r;
  }
  void SetParent(Container& to) override { parent = &to; }
  Container* parent = nullptr;  // known for panels and buttons
  void SetVisible(bool visible) override { state.visible = visible; }
  bool Visible() override { return state.visible; }
  void SetEnabled(bool enabled) override { state.enabled = enabled; }
  bool Enabled() override { return state.enabled; }
  MemoryControlState state;
};

template <class Base>
class MemoryCaptioned : public MemoryControl<Base> {
 public:
  using MemoryControl<Base>::MemoryControl;
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  std::string Caption() override { return caption_; }

 private:
  std::string caption_;
};

class MemoryScrollBoxImpl;

// A label that knows its font; fitted, it measures its caption with the in-memory text metric.
class MemoryLabel : public MemoryCaptioned<Label> {
 public:
  using MemoryCaptioned::MemoryCaptioned;
  ~MemoryLabel() override;
  void SetCaption(const std::string& caption) override {
    MemoryCaptioned::SetCaption(caption);
    Fit();
  }
  void SetFont(const FontSpec& font) override {
    font_ = font;
    Fit();
  }
  FontSpec Font() const { return font_; }
  void SetTransparent(bool transparent) override { transparent_ = transparent; }
  bool Transparent() override { return transparent_; }
  void SetFitToText(bool fit) override {
    fit_ = fit;
    Fit();
  }
  void SetLink(bool link) override { link_ = link; }
  bool Link() const { return link_; }
  void SetAlignment(TextAlign) override {}
  void SetBounds(const Rect& r) override;
  MemoryScrollBoxImpl* box = nullptr;  // the scroll box it stands in, if any

 private:
  void Fit() {
    if (!fit_) return;
    Rect r = state.bounds;
    r.width = MemoryTextWidth(Caption(), font_.points);
    r.height = MemoryLineHeight(font_.points);
    SetBounds(r);
  }
  FontSpec font_;
  bool transparent_ = false, fit_ = false, link_ = false;
};

// Shows no page: it keeps the file it was given and follows links the way the real viewer does.
class MemoryHtmlViewer : public MemoryControl<HtmlViewer> {
 public:
  using MemoryControl::MemoryControl;
  void LoadFromFile(const std::string& path) override {
    const LinkTarget link = SplitPlace(path);
    file_ = link.file;
    place_ = link.place;
    loads.push_back(path);
  }
  std::string CurrentFile() override { return file_; }
  std::string Place() const { return place_; }
  std::vector<std::string> loads;  // every path loaded, in order

 private:
  std::string file_, place_;
};

class MemoryScrollBoxImpl : public MemoryControl<ScrollBox> {
 public:
  using MemoryControl::MemoryControl;
  void SuspendRange() override { ++suspended_; }
  void ResumeRange() override {
    if (suspended_ > 0 && --suspended_ == 0) Recompute();
  }
  Rect Range() override { return range_; }
  // As the system's scroll bars: within what the range reaches beyond the box, which has no
  // border (the room the bars themselves take is left out).
  void SetScrollPosition(int x, int y) override {
    x_ = std::clamp(x, 0, std::max(0, range_.width - state.bounds.width));
    y_ = std::clamp(y, 0, std::max(0, range_.height - state.bounds.height));
  }
  int ScrollX() override { return x_; }
  int ScrollY() override { return y_; }
  // A child moved, came or went: the range follows unless suspended.
  void ChildChanged() {
    if (suspended_ == 0) Recompute();
  }
  std::vector<MemoryLabel*> children;
  int rangeComputations = 0;

 private:
  void Recompute() {
    ++rangeComputations;
    range_ = Rect{};
    for (MemoryLabel* child : children) {
      const Rect b = child->Bounds();
      range_.width = std::max(range_.width, b.left + b.width);
      range_.height = std::max(range_.height, b.top + b.height);
    }
    SetScrollPosition(x_, y_);  // a shorter range pulls the position back
  }
  int suspended_ = 0, x_ = 0, y_ = 0;
  Rect range_;
};

MemoryLabel::~MemoryLabel() {
  if (!box) return;
  box->children.erase(std::remove(box->children.begin(), box->children.end(), this), box->children.end());
  box->ChildChanged();
}

void MemoryLabel::SetBounds(const Rect& r) {
  state.bounds = r;
  if (box) box->ChildChanged();
}
class MemoryButtonImpl : public MemoryCaptioned<Button> {
 public:
  using MemoryCaptioned::MemoryCaptioned;
  void SetGlyph(const std::string& resource) override { glyph_ = resource; }
  std::string Glyph() override { return glyph_; }
  void SetDown(bool down) override { down_ = down; }
  bool Down() override { return down_; }

 private:
  std::string glyph_;
  bool down_ = false;
};

class MemoryPopup : public PopupMenu {
 public:
  MemoryPopup(MemoryUi& ui, const std::string& name) : ui_(ui), root_(name) { ui_.RememberMenu(name, this); }
  ~MemoryPopup() override { ui_.ForgetMenu(this); }
  MenuItem& Items() override { return root_; }
  // Tests choose the item themselves (ClickItem); opening only records where.
  void Popup(Control& anchor, int x, int y) override {
    anchor_ = anchor.Name() + "@" + std::to_string(x) + "," + std::to_string(y);
  }
  std::string anchor_;

 private:
  MemoryUi& ui_;
  MenuItem root_;
};
class MemoryPanel : public MemoryControl<Panel> {
 public:
  using MemoryControl::MemoryControl;
  void SetGrip(Grip grip) override { grip_ = grip; }
  Grip GripEdge() override { return grip_; }

 private:
  Grip grip_ = Grip::None;
};
using MemoryTabSheet = MemoryCaptioned<TabSheet>;

class MemoryTabControl : public MemoryControl<TabControl> {
 public:
  using MemoryControl::MemoryControl;
  TabSheet& AddSheet(const std::string& name, const std::string& caption) override {
    sheets_.push_back(std::make_unique<MemoryTabSheet>(name));
    sheets_.back()->SetCaption(caption);
    tracker->Remember(sheets_.back().get());
    sheets_.back()->tracker = tracker;
    return *sheets_.back();
  }
  int ActivePage() override { return active_; }
  void SetActivePage(int index) override { active_ = index; }
  TabSheet* Sheet(std::size_t i) { return i < sheets_.size() ? sheets_[i].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<MemoryTabSheet>> sheets_;
  int active_ = 0;
};

class MemoryStatusBar : public MemoryControl<StatusBar> {
 public:
  using MemoryControl::MemoryControl;
  void SetSimpleText(const std::string& text) override { text_ = text; }
  std::string SimpleText() override { return text_; }

 private:
  std::string text_;
};

class MemoryImage : public MemoryControl<Image> {
 public:
  using MemoryControl::MemoryControl;
  void ShowIcon(const std::string& resource) override { picture_ = resource; }
  void ShowBitmap(const std::string& resource) override { picture_ = resource; }
  std::string Picture() override { return picture_; }

 private:
  std::string picture_;
};

class MemoryTree : public MemoryControl<TreeView> {
 public:
  using MemoryControl::MemoryControl;

  NodeId AddChild(NodeId parent, const std::string& text) override {
    NodeId id = ++lastId_;
    nodes_[id] = Node{text, parent, 0, {}};
    Children(parent).push_back(id);
    return id;
  }
  void Delete(NodeId node) override {
    auto it = nodes_.find(node);
    if (it == nodes_.end()) return;
    for (NodeId child : std::vector<NodeId>(it->second.children)) Delete(child);
    auto& siblings = Children(it->second.parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    if (selected_ == node) selected_ = 0;
    nodes_.erase(node);
  }
  void Clear() override {
    for (NodeId top : std::vector<NodeId>(roots_)) Delete(top);
  }
  void SetText(NodeId node, const std::string& text) override { At(node).text = text; }
  std::string Text(NodeId node) override { return At(node).text; }
  void SetStateIndex(NodeId node, int index) override { At(node).state = index; }
  int StateIndex(NodeId node) override { return At(node).state; }
  NodeId Parent(NodeId node) override { return At(node).parent; }
  NodeId FirstChild(NodeId node) override {
    auto& c = Children(node);
    return c.empty() ? 0 : c.front();
  }
  NodeId NextSibling(NodeId node) override {
    auto& siblings = Children(At(node).parent);
    auto it = std::find(siblings.begin(), siblings.end(), node);
    return (it == siblings.end() || ++it == siblings.end()) ? 0 : *it;
  }
  void SortChildren(NodeId node) override {
    auto& c = Children(node);
    std::stable_sort(c.begin(), c.end(), [this](NodeId a, NodeId b) {
      return compare ? compare->Compare(At(a).text, At(b).text) < 0 : At(a).text < At(b).text;
    });
  }
  void Expand(NodeId node) override { At(node).expanded = true; }
  NodeId Selected() override { return selected_; }
  void Select(NodeId node) override {
    if (node == selected_) return;
    selected_ = node;
    if (OnChange) OnChange(node);
  }
  void BeginUpdate() override { ++updating; }
  void EndUpdate() override { --updating; }
  void SetStateImages(const std::string& resource) override { stateImages = resource; }
  bool Collapse(NodeId node) {  // what a user's click on the node's button would ask
    return !OnCollapsing || OnCollapsing(node);
  }
  NodeId NodeAt(int x, int y) override {
    if (x < 0 || y < 0 || (state.bounds.width > 0 && x >= state.bounds.width)) return 0;
    auto rows = Rows();
    std::size_t row = static_cast<std::size_t>(y / kTreeRowHeight);
    return row < rows.size() ? rows[row] : 0;
  }
  // Every node in display order.
  std::vector<NodeId> Rows() {
    std::vector<NodeId> rows;
    std::function<void(const std::vector<NodeId>&)> walk = [&](const std::vector<NodeId>& level) {
      for (NodeId n : level) {
        rows.push_back(n);
        walk(At(n).children);
      }
    };
    walk(roots_);
    return rows;
  }
  bool Expanded(NodeId node) { return At(node).expanded; }

  TextCompare* compare = nullptr;
  int updating = 0;
  std::string stateImages;

 private:
  struct Node {
    std::string text;
    NodeId parent = 0;
    int state = 0;
    std::vector<NodeId> children;
    bool expanded = false;
  };
  Node& At(NodeId id) {
    auto it = nodes_.find(id);
    if (it == nodes_.end()) throw std::logic_error("no such tree node");
    return it->second;
  }
  std::vector<NodeId>& Children(NodeId parent) { return parent == 0 ? roots_ : At(parent).children; }

  std::map<NodeId, Node> nodes_;
  std::vector<NodeId> roots_;
  NodeId lastId_ = 0;
  NodeId selected_ = 0;
};

class MemoryCombo : public MemoryControl<ComboBox> {
 public:
  using MemoryControl::MemoryControl;
  // As the system's sorted list: a new item goes before one it equals.
  void AddItem(const std::string& text) override {
    auto at = items_.begin();
    while (at != items_.end() && Order(*at, text) < 0) ++at;
    items_.insert(at, text);
  }
  int Count() override { return static_cast<int>(items_.size()); }
  std::string Item(int index) override { return items_.at(index); }
  void DeleteItem(int index) override {
    items_.erase(items_.begin() + index);
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
  }
  // The system's list finds no empty text, even when it holds one.
  int FindExact(const std::string& text) override {
    if (text.empty()) return -1;
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (Order(items_[i], text) == 0) return static_cast<int>(i);
    return -1;
  }
  int ItemIndex() override { return selected_; }
  void SetItemIndex(int index) override { selected_ = index >= 0 && index < Count() ? index : -1; }
  TextCompare* compare = nullptr;

 private:
  int Order(const std::string& a, const std::string& b) {
    return compare ? compare->CompareIgnoreCase(a, b) : a.compare(b);
  }
  std::vector<std::string> items_;
  int selected_ = -1;
};

class MemoryEdit : public MemoryControl<Edit> {
 public:
  using MemoryControl::MemoryControl;
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() override { return text_; }

 private:
  std::string text_;
};

// As the system's multi-line edit: one kind of line end.
class MemoryMemo : public MemoryControl<Memo> {
 public:
  using MemoryControl::MemoryControl;
  void SetText(const std::string& text) override { text_ = CrLfLineBreaks(text); }
  std::string Text() override { return text_; }
  void SetFont(const FontSpec&) override {}

 private:
  std::string text_;
};

// As the system's progress bar: the position stays within the range.
class MemoryProgressBar : public MemoryControl<ProgressBar> {
 public:
  using MemoryControl::MemoryControl;
  void SetRange(int min, int max) override {
    min_ = min;
    max_ = max;
    SetPosition(position_);
  }
  void SetPosition(int position) override { position_ = std::clamp(position, min_, std::max(min_, max_)); }
  int Position() override { return position_; }

 private:
  int min_ = 0, max_ = 100;
  int position_ = 0;
};

class MemoryFormImpl : public MemoryCaptioned<Form> {
 public:
  MemoryFormImpl(const std::string& name, FormStyle style, MemoryUi& ui)
      : MemoryCaptioned(name, style), ui_(ui) {
    allocated_ = ui.handlesAllocated;
    state.visible = false;
    app_ = dynamic_cast<MemoryApplication*>(ui.app);
    if (app_) app_->Track(this);
  }
  ~MemoryFormImpl() override {
    if (app_) app_->Untrack(this);
  }
  void SetClientSize(int width, int height) override {
    client_ = Rect{0, 0, width, height};
    // The frame the real window adds (Wine 8's metrics): a dialog's single border and caption bar,
    // a sizeable form's thicker sizing border; a splash has no frame.
    const bool dialog = Style() == FormStyle::Dialog || Style() == FormStyle::FixedToolDialog;
    const Rect frame = dialog                            ? Rect{0, 0, 6, 25}
                       : Style() == FormStyle::Sizeable   ? Rect{0, 0, 8, 27}
                       : Style() == FormStyle::ToolWindow ? Rect{0, 0, 6, 21}
                                                          : Rect{};
    state.bounds.width = width + frame.width;
    state.bounds.height = height + frame.height;
  }
  Rect ClientRect() override { return client_; }
  // As the real form: a new size reaches the client area and runs OnResize.
  void SetBounds(const Rect& r) override {
    const bool resized = r.width != state.bounds.width || r.height != state.bounds.height;
    client_.width += r.width - state.bounds.width;
    client_.height += r.height - state.bounds.height;
    state.bounds = r;
    if (resized && OnResize) ui_.events.Run(OnResize);
  }
  void SetTopmost(bool topmost) override { topmost_ = topmost; }
  bool Topmost() override { return topmost_; }
  void SetOwner(Form* owner) override { owner_ = owner; }
  Form* owner_ = nullptr;
  void CenterOnScreen() override {
    state.bounds.left = (ui_.ScreenWidth() - state.bounds.width) / 2;
    state.bounds.top = (ui_.ScreenHeight() - state.bounds.height) / 2;
  }
  // As the real form: OnShow runs whenever the form goes from hidden to shown, OnHide back.
  void SetVisible(bool visible) override {
    bool was = state.visible;
    state.visible = visible;
    if (visible && !was && OnShow) ui_.events.Run(OnShow);
    if (!visible && was && OnHide) ui_.events.Run(OnHide);
  }
  void ShowAndPaint() override {
    SetVisible(true);
    ++paints;
  }
  bool HandleAllocated() override { return allocated_; }
  void Close() override {
    bool canClose = true;
    if (OnCloseQuery) ui_.events.Run([&] { OnCloseQuery(canClose); });
    if (!canClose) return;
    // A modal form is only hidden, with the result cancel; it can be shown again.
    if (modal_) {
      modalResult = 2;
      return;
    }
    closed_ = true;
    SetVisible(false);
  }
  bool Closed() override { return closed_; }
  int ShowModal() override {
    modalResult = 0;
    modal_ = true;
    SetVisible(true);
    ui_.modalStack.push_back([this](int result) { modalResult = result; });
    if (ui_.modalHandler) ui_.modalHandler(*this);
    ui_.modalStack.pop_back();
    SetVisible(false);  // OnHide runs, as for the real form
    modal_ = false;
    return modalResult ? modalResult : 2;  // closed some other way: cancel
  }
  void SetCancelButton(Button* button) override { cancelButton = button; }
  void SetDefaultButton(Button* button) override { defaultButton = button; }
  // The modal loop ends once the user's actions of the modal handler have run, with the last
  // result set; a form not shown modally only keeps it.
  void SetModalResult(int result) override { modalResult = result; }
  void SetBusyCursor(bool) override {}

  Button* cancelButton = nullptr;
  Button* defaultButton = nullptr;
  int modalResult = 0;
  int paints = 0;
  bool topmost_ = false;

 private:
  MemoryUi& ui_;
  Rect client_;
  bool allocated_ = true;
  bool closed_ = false;
  bool modal_ = false;
  MemoryApplication* app_ = nullptr;  // whose stay-on-top forms this one counts among
};

}  // namespace

// Also by the name of the form made last, for windows whose controls share names.
void MemoryUi::Remember(Control* control) {
  byName_[control->Name()] = control;
  if (!formScope_.empty()) byName_[formScope_ + "." + control->Name()] = control;
}

void MemoryUi::Forget(Control* control) {
  for (auto it = byName_.begin(); it != byName_.end();) {
    it = it->second == control ? byName_.erase(it) : std::next(it);
  }
}

template <class Impl, class... Args>
std::unique_ptr<Impl> MemoryUi::Make(const std::string& name, Args&&... args) {
  auto control = std::make_unique<Impl>(name, std::forward<Args>(args)...);
  control->tracker = this;
  Remember(control.get());
  return control;
}

std::unique_ptr<Form> MemoryUi::CreateForm(const std::string& name, FormStyle style) {
  formScope_ = name;
  return Make<MemoryFormImpl>(name, style, *this);
}
std::unique_ptr<Panel> MemoryUi::CreatePanel(Container& parent, const std::string& name) {
  auto panel = Make<MemoryPanel>(name);
  panel->parent = &parent;
  return panel;
}
std::unique_ptr<Label> MemoryUi::CreateLabel(Container& parent, const std::string& name) {
  auto label = Make<MemoryLabel>(name);
  if (auto* box = dynamic_cast<MemoryScrollBoxImpl*>(&parent)) {
    label->box = box;
    box->children.push_back(label.get());
    box->ChildChanged();
  }
  return label;
}

std::unique_ptr<HtmlViewer> MemoryUi::CreateHtmlViewer(Container&, const std::string& name) {
  return Make<MemoryHtmlViewer>(name);
}

std::unique_ptr<Edit> MemoryUi::CreateEdit(Container&, const std::string& name) { return Make<MemoryEdit>(name); }
std::unique_ptr<Memo> MemoryUi::CreateMemo(Container&, const std::string& name) { return Make<MemoryMemo>(name); }
std::unique_ptr<ProgressBar> MemoryUi::CreateProgressBar(Container&, const std::string& name) {
  return Make<MemoryProgressBar>(name);
}

std::unique_ptr<ScrollBox> MemoryUi::CreateScrollBox(Container&, const std::string& name) {
  return Make<MemoryScrollBoxImpl>(name);
}
std::unique_ptr<Button> MemoryUi::CreateButton(Container& parent, const std::string& name) {
  auto button = Make<MemoryButtonImpl>(name);
  button->parent = &parent;
  return button;
}
std::unique_ptr<TabControl> MemoryUi::CreateTabControl(Container&, const std::string& name) {
  return Make<MemoryTabControl>(name);
}
std::unique_ptr<StatusBar> MemoryUi::CreateStatusBar(Container&, const std::string& name) {
  return Make<MemoryStatusBar>(name);
}
std::unique_ptr<Image> MemoryUi::CreateImage(Container&, const std::string& name) {
  return Make<MemoryImage>(name);
}
std::unique_ptr<PopupMenu> MemoryUi::CreatePopupMenu(const std::string& name) {
  return std::make_unique<MemoryPopup>(*this, name);
}

void MemoryUi::RememberMenu(const std::string& name, PopupMenu* menu) { menus_[name] = menu; }

void MemoryUi::ForgetMenu(PopupMenu* menu) {
  for (auto it = menus_.begin(); it != menus_.end(); ++it) {
    if (it->second == menu) {
      menus_.erase(it);
      return;
    }
  }
}

PopupMenu* MemoryUi::FindMenu(const std::string& menu) {
  auto it = menus_.find(menu);
  return it == menus_.end() ? nullptr : it->second;
}

MenuItem* MemoryUi::FindMenuItem(const std::string& menu, const std::string& item) {
  PopupMenu* found = FindMenu(menu);
  if (!found) return nullptr;
  if (item.empty()) return &found->Items();
  MenuItem& root = found->Items();
  for (int i = 0; i < root.Count(); ++i)
    if (root.Item(i).Name() == item) return &root.Item(i);
  return nullptr;
}

std::unique_ptr<ComboBox> MemoryUi::CreateComboBox(Container&, const std::string& name) {
  auto combo = Make<MemoryCombo>(name);
  combo->compare = treeCompare;
  return combo;
}

std::unique_ptr<TreeView> MemoryUi::CreateTreeView(Container&, const std::string& name) {
  auto tree = Make<MemoryTree>(name);
  tree->compare = treeCompare;
  return tree;
}

FontSpec LabelFont(Label& label) { return dynamic_cast<MemoryLabel&>(label).Font(); }
Form* OwnerOf(Form& form) { return dynamic_cast<MemoryFormImpl&>(form).owner_; }
Container* ParentOf(Control& control) {
  if (auto* panel = dynamic_cast<MemoryPanel*>(&control)) return panel->parent;
  if (auto* button = dynamic_cast<MemoryButtonImpl*>(&control)) return button->parent;
  return nullptr;
}

void Drag(MemoryUi& ui, Container& on, DragAction action, Point screen) {
  if (on.OnDrag) ui.events.Run([&] { on.OnDrag(action, screen); });
}

std::vector<Rect> MemoryApplication::WorkAreas() {
  if (!workAreas.empty()) return workAreas;
  return {Rect{0, 0, screenWidth, screenHeight}};
}
bool LabelIsLink(Label& label) { return dynamic_cast<MemoryLabel&>(label).Link(); }
std::vector<std::string> PagesLoaded(HtmlViewer& viewer) { return dynamic_cast<MemoryHtmlViewer&>(viewer).loads; }
std::string PlaceShown(HtmlViewer& viewer) { return dynamic_cast<MemoryHtmlViewer&>(viewer).Place(); }

void ClickLabel(MemoryUi& ui, Label& label) {
  if (label.OnClick) ui.events.Run(label.OnClick);
}

void ShowPage(MemoryUi& ui, TabControl& tabs, int index) {
  tabs.SetActivePage(index);
  if (tabs.OnChange) ui.events.Run(tabs.OnChange);
}

void ClickLink(MemoryUi& ui, HtmlViewer& viewer, const std::string& target) {
  bool handled = false;
  if (viewer.OnHotSpotClick) ui.events.Run([&] { viewer.OnHotSpotClick(target, handled); });
  if (handled) return;
  const LinkTarget link = ResolveLink(viewer.CurrentFile(), target);
  viewer.LoadFromFile(link.place.empty() ? link.file : link.file + "#" + link.place);
}
std::vector<Label*> LabelsIn(ScrollBox& box) {
  auto& memory = dynamic_cast<MemoryScrollBoxImpl&>(box);
  return std::vector<Label*>(memory.children.begin(), memory.children.end());
}
int RangeComputations(ScrollBox& box) { return dynamic_cast<MemoryScrollBoxImpl&>(box).rangeComputations; }

void Click(MemoryUi& ui, Button& button) {
  if (!button.Enabled() || !button.Visible()) return;
  ui.events.Run(button.OnClick);
  if (button.ModalResult == 0) return;
  // The button's form is the modal one currently shown; buttons do not know their parent here.
  if (!ui.modalStack.empty()) ui.modalStack.back()(button.ModalResult);
}

void ClickItem(MemoryUi& ui, MenuItem& item) {
  if (item.Enabled() && item.OnClick) ui.events.Run([&] { item.OnClick(item); });
}

void HoverItem(MemoryUi& ui, MenuItem& item) {
  if (auto* app = dynamic_cast<MemoryApplication*>(ui.app)) app->SetCurrentHint(item.Hint());
}

std::string LastPopupAnchor(PopupMenu& menu) {
  auto* popup = dynamic_cast<MemoryPopup*>(&menu);
  return popup ? popup->anchor_ : "";
}

void PressTree(MemoryUi& ui, TreeView& tree, int x, int y, bool right) {
  if (right) {
    if (NodeId node = tree.NodeAt(x, y)) tree.Select(node);
  }
  if (tree.OnMouseDown) ui.events.Run([&] { tree.OnMouseDown(x, y); });
}

void DoubleClickTree(MemoryUi& ui, TreeView& tree) { ui.events.Run(tree.OnDblClick); }

void TypeInTree(MemoryUi& ui, TreeView& tree, char key) {
  if (tree.OnKeyPress) ui.events.Run([&] { tree.OnKeyPress(key); });
}

void ContextMenuOf(MemoryUi& ui, Control& control, int x, int y) {
  if (control.OnContextPopup) ui.events.Run([&] { control.OnContextPopup(x, y); });
}

void ContextMenuOfTree(MemoryUi& ui, TreeView& tree, int x, int y) {
  PressTree(ui, tree, x, y, true);
  ContextMenuOf(ui, tree, x, y);
}

void PointOfNode(TreeView& tree, NodeId node, int& x, int& y) {
  auto* memory = dynamic_cast<MemoryTree*>(&tree);
  auto rows = memory->Rows();
  auto it = std::find(rows.begin(), rows.end(), node);
  x = 10;
  y = static_cast<int>(it - rows.begin()) * kTreeRowHeight + kTreeRowHeight / 2;
}

void Pick(MemoryUi& ui, ComboBox& combo, int index) {
  combo.SetItemIndex(index);
  ui.events.Run(combo.OnChange);
}

void CloseForm(MemoryUi&, Form& form) {
  if (form.Style() != FormStyle::FixedToolDialog) form.Close();
}

void PressEscape(MemoryUi& ui, Form& form) {
  auto* memory = dynamic_cast<MemoryFormImpl*>(&form);
  if (memory && memory->cancelButton) Click(ui, *memory->cancelButton);
}

void PressEnter(MemoryUi& ui, Form& form) {
  auto* memory = dynamic_cast<MemoryFormImpl*>(&form);
  if (memory && memory->defaultButton) Click(ui, *memory->defaultButton);
}

void TypeText(MemoryUi&, Edit& edit, const std::string& text) {
  if (edit.Enabled() && edit.Visible()) edit.SetText(text);
}

}  // namespace sorel
