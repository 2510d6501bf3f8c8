// The control behaviours both backends must show. Orders and frame sizes are those Wine 8's controls
// give; the in-memory controls were mended where they differed.
#include "tests/support/control_behaviours.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;

// OnShow runs each time a form goes from hidden to shown, whichever call shows it.
void ShowRaisesOnShow(ControlBackend& b) {
  auto form = b.ui.CreateForm("ShowForm", FormStyle::Dialog);
  int shows = 0;
  form->OnShow = [&] { ++shows; };
  const struct Step {
    const char* what;
    void (*act)(Form&);
    int shows;
    bool visible;
  } steps[] = {
      {"created", [](Form&) {}, 0, false},
      {"SetVisible(true)", [](Form& f) { f.SetVisible(true); }, 1, true},
      {"SetVisible(true) while shown", [](Form& f) { f.SetVisible(true); }, 1, true},
      {"ShowAndPaint while shown", [](Form& f) { f.ShowAndPaint(); }, 1, true},
      {"SetVisible(false)", [](Form& f) { f.SetVisible(false); }, 1, false},
      {"ShowAndPaint", [](Form& f) { f.ShowAndPaint(); }, 2, true},
      {"hidden and shown again", [](Form& f) { f.SetVisible(false); f.SetVisible(true); }, 3, true},
  };
  for (const Step& s : steps) {
    s.act(*form);
    EXPECT_EQ(shows, s.shows) << s.what;
    EXPECT_EQ(form->Visible(), s.visible) << s.what;
  }
}

void CloseAsksTheQueryFirst(ControlBackend& b) {
  for (bool allow : {false, true}) {
    auto form = b.ui.CreateForm("CloseForm", FormStyle::Dialog);
    form->SetVisible(true);
    int queries = 0;
    form->OnCloseQuery = [&](bool& canClose) { ++queries; canClose = allow; };
    form->Close();
    EXPECT_EQ(queries, 1) << allow;
    EXPECT_EQ(form->Closed(), allow) << allow;
    EXPECT_EQ(form->Visible(), !allow) << allow;
  }
}

// A modal form ends with the pressed button's result, or cancel (2) through the close box; it is
// hidden afterwards, never closed for good, and shows (OnShow) each time.
void ModalFormEndsWithAResult(ControlBackend& b) {
  auto dialog = b.ui.CreateForm("ModalForm", FormStyle::Dialog);
  auto ok = b.ui.CreateButton(*dialog, "OkButton"), yes = b.ui.CreateButton(*dialog, "YesButton"),
       plain = b.ui.CreateButton(*dialog, "PlainButton");
  ok->ModalResult = 1;
  yes->ModalResult = 6;
  std::string events;
  bool allowClose = true;
  dialog->OnShow = [&] { events += "show;"; };
  dialog->OnCloseQuery = [&](bool& canClose) { events += "query;"; canClose = allowClose; };
  for (Button* button : {ok.get(), yes.get(), plain.get()})
    button->OnClick = [&events, button] { events += button->Name() + ";"; };
  const struct Case {
    std::vector<Button*> presses;  // nullptr: the close box
    bool allowClose;
    int result;
    const char* events;
  } cases[] = {
      {{ok.get()}, true, 1, "show;OkButton;"},
      {{yes.get()}, true, 6, "show;YesButton;"},
      {{nullptr}, true, 2, "show;query;"},
      {{plain.get(), nullptr}, true, 2, "show;PlainButton;query;"},  // a button without a result
      {{nullptr, ok.get()}, false, 1, "show;query;OkButton;"},       // a refused close
  };
  for (const Case& c : cases) {
    events.clear();
    allowClose = c.allowClose;
    for (Button* press : c.presses) press ? b.user.ClickWhenShown(*dialog, *press) : b.user.CloseWhenShown(*dialog);
    EXPECT_EQ(dialog->ShowModal(), c.result) << c.events;
    EXPECT_EQ(events, c.events);
    EXPECT_FALSE(dialog->Visible()) << c.events;
    EXPECT_FALSE(dialog->Closed()) << c.events;
  }
}

// Centring uses the screen the application reports; a dialog's frame and a sizeable form's thicker
// one add to the client area, a splash has none.
void CentresOnTheReportedScreen(ControlBackend& b) {
  const int screenWidth = b.app.ScreenWidth(), screenHeight = b.app.ScreenHeight();
  ASSERT_GT(screenWidth, 0);
  ASSERT_GT(screenHeight, 0);
  const struct Case {
    FormStyle style;
    int width, height, frameWidth, frameHeight;
  } cases[] = {
      {FormStyle::Dialog, 400, 392, 6, 25},
      {FormStyle::Dialog, 301, 201, 6, 25},
      {FormStyle::Splash, 288, 360, 0, 0},
      {FormStyle::Sizeable, 500, 400, 8, 27},
      {FormStyle::FixedToolDialog, 272, 123, 6, 25},
  };
  for (const Case& c : cases) {
    auto form = b.ui.CreateForm("CentredForm", c.style);
    form->SetClientSize(c.width, c.height);
    form->CenterOnScreen();
    const Rect r = form->Bounds();
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height);
    EXPECT_EQ(form->ClientRect().width, c.width) << what;
    EXPECT_EQ(form->ClientRect().height, c.height) << what;
    EXPECT_EQ(r.width, c.width + c.frameWidth) << what;
    EXPECT_EQ(r.height, c.height + c.frameHeight) << what;
    EXPECT_EQ(r.left, (screenWidth - r.width) / 2) << what;
    EXPECT_EQ(r.top, (screenHeight - r.height) / 2) << what;
  }
}

// Kept in the locale's ignore-case order; an item equal to one already there goes before it. An
// empty text is never found, even where an empty item stands.
void ComboSortsIgnoringCase(ControlBackend& b) {
  auto form = b.ui.CreateForm("ComboForm", FormStyle::Dialog);
  auto combo = b.ui.CreateComboBox(*form, "Combo");
  for (const char* text : {"Times", "arial", "Courier New", "", "Arial Black", "courier", "Symbol", "ARIAL"})
    combo->AddItem(text);
  Texts items;
  for (int i = 0; i < combo->Count(); ++i) items.push_back(combo->Item(i));
  EXPECT_EQ(items, (Texts{"", "ARIAL", "arial", "Arial Black", "courier", "Courier New", "Symbol", "Times"}));

  const std::pair<const char*, int> finds[] = {
      {"arial", 1}, {"ARIAL BLACK", 3}, {"COURIER", 4}, {"times", 7}, {"Aria", -1}, {"Times ", -1}, {"", -1},
  };
  for (auto [text, index] : finds) EXPECT_EQ(combo->FindExact(text), index) << "'" << text << "'";

  // The selection follows its item when an earlier one goes, and goes with its item.
  const struct Step {
    const char* what;
    void (*act)(ComboBox&);
    int selected, count;
  } steps[] = {
      {"select", [](ComboBox& c) { c.SetItemIndex(4); }, 4, 8},
      {"delete an earlier item", [](ComboBox& c) { c.DeleteItem(2); }, 3, 7},
      {"delete a later item", [](ComboBox& c) { c.DeleteItem(5); }, 3, 6},
      {"delete the selected item", [](ComboBox& c) { c.DeleteItem(3); }, -1, 5},
      {"select past the end", [](ComboBox& c) { c.SetItemIndex(c.Count()); }, -1, 5},
  };
  for (const Step& s : steps) {
    s.act(*combo);
    EXPECT_EQ(combo->ItemIndex(), s.selected) << s.what;
    EXPECT_EQ(combo->Count(), s.count) << s.what;
  }
}

// Select raises OnChange when the selection moves, not when it stays.
void TreeSelectionChanges(ControlBackend& b) {
  auto form = b.ui.CreateForm("TreeForm", FormStyle::Dialog);
  auto tree = b.ui.CreateTreeView(*form, "Tree");
  const NodeId face = tree->AddChild(0, "Face");
  const NodeId script = tree->AddChild(face, "Face (Greek)");
  const NodeId other = tree->AddChild(0, "Other");
  std::vector<NodeId> changes;
  tree->OnChange = [&](NodeId node) { changes.push_back(node); };
  const struct Step {
    const char* what;
    NodeId node;
    std::vector<NodeId> changes;
  } steps[] = {
      {"a top node", face, {face}},
      {"the same node again", face, {face}},
      {"a child of a closed node", script, {face, script}},
      {"the same child again", script, {face, script}},
      {"another top node", other, {face, script, other}},
  };
  for (const Step& s : steps) {
    tree->Select(s.node);
    EXPECT_EQ(changes, s.changes) << s.what;
    EXPECT_EQ(tree->Selected(), s.node) << s.what;
  }
}

// State images and node identities stay with their nodes through a sort, which follows lstrcmpA (letters
// before case: "a" < "A" < "b").
void TreeKeepsStatesThroughASort(ControlBackend& b) {
  auto form = b.ui.CreateForm("TreeForm", FormStyle::Dialog);
  auto tree = b.ui.CreateTreeView(*form, "Tree");
  const NodeId face = tree->AddChild(0, "Face");
  const struct Child {
    const char* text;
    int state;
  } children[] = {{"b", 1}, {"B", 2}, {"Face (Greek)", 3}, {"a", 0}, {"face (Arabic)", 2}, {"A", 1}};
  std::map<NodeId, const Child*> childOf;
  for (const Child& c : children) {
    NodeId node = tree->AddChild(face, c.text);
    childOf[node] = &c;
    for (int state : {3, 0, 2, 1, c.state}) {
      tree->SetStateIndex(node, state);
      EXPECT_EQ(tree->StateIndex(node), state) << c.text;
    }
  }
  tree->SortChildren(face);
  Texts order;
  for (NodeId n = tree->FirstChild(face); n; n = tree->NextSibling(n)) {
    order.push_back(tree->Text(n));
    const Child* child = childOf[n];
    ASSERT_NE(child, nullptr) << tree->Text(n);
    EXPECT_EQ(child->text, tree->Text(n));
    EXPECT_EQ(tree->StateIndex(n), child->state) << child->text;
    EXPECT_EQ(tree->Parent(n), face) << child->text;
  }
  EXPECT_EQ(order, (Texts{"a", "A", "b", "B", "face (Arabic)", "Face (Greek)"}));
}

// OnHide runs each time a form goes from shown to hidden: hidden by the program, closed (when the
// close query allows it) or ended as a modal form; never for a form already hidden.
// A new size reaches the client area by the same amount and runs OnResize; a move does not.
void ResizeRaisesOnResize(ControlBackend& b) {
  auto form = b.ui.CreateForm("ResizeForm", FormStyle::Sizeable);
  form->SetClientSize(300, 200);
  int resizes = 0;
  form->OnResize = [&] { ++resizes; };
  Rect r = form->Bounds();
  r.left += 10;
  form->SetBounds(r);
  EXPECT_EQ(resizes, 0) << "moved only";
  r.width += 40;
  r.height += 30;
  form->SetBounds(r);
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(form->ClientRect().width, 340);
  EXPECT_EQ(form->ClientRect().height, 230);
}

void HideRaisesOnHide(ControlBackend& b) {
  auto form = b.ui.CreateForm("HideForm", FormStyle::Sizeable);
  int hides = 0;
  bool allowClose = false;
  form->OnHide = [&] { ++hides; };
  form->OnCloseQuery = [&](bool& canClose) { canClose = allowClose; };
  const struct Step {
    const char* what;
    std::function<void()> act;
    int hides;
    bool visible;
  } steps[] = {
      {"SetVisible(false) while hidden", [&] { form->SetVisible(false); }, 0, false},
      {"shown and hidden", [&] { form->SetVisible(true); form->SetVisible(false); }, 1, false},
      {"hidden again", [&] { form->SetVisible(false); }, 1, false},
      {"a refused close", [&] { form->ShowAndPaint(); form->Close(); }, 1, true},
      {"an allowed close, then hidden", [&] { allowClose = true; form->Close(); form->SetVisible(false); }, 2, false},
      {"shown modally and closed", [&] { b.user.CloseWhenShown(*form); form->ShowModal(); }, 3, false},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(hides, s.hides) << s.what;
    EXPECT_EQ(form->Visible(), s.visible) << s.what;
  }
}

// A fitted label is as large as its caption in its font, in place: higher and wider in more points,
// one line high and no wider than nothing without a caption, and an ampersand is a character. The
// in-memory metric and the system's fonts differ in pixels, not in these relations. The same on a
// form and in a scroll box, whose labels the box may draw itself.
void FittedLabelFollowsItsText(ControlBackend& b) {
  auto form = b.ui.CreateForm("LabelForm", FormStyle::Dialog);
  auto box = b.ui.CreateScrollBox(*form, "LabelBox");
  for (Container* parent : std::initializer_list<Container*>{form.get(), box.get()}) {
    auto label = b.ui.CreateLabel(*parent, "FittedLabel");
    label->SetBounds({5, 7, 1, 1});
    label->SetFitToText(true);
    auto sizeOf = [&](const std::string& caption, int points) {
      label->SetFont({"Arial", 238, points});
      label->SetCaption(caption);
      return label->Bounds();
    };
    Rect previous{};
    for (int points : {8, 12, 20, 36}) {
      const Rect r = sizeOf("Sample", points), empty = sizeOf("", points);
      EXPECT_TRUE(r.left == 5 && r.top == 7 && r.height > previous.height && r.width > previous.width)
          << parent->Name() << " " << points;
      EXPECT_TRUE(empty.height == r.height && empty.width == 0) << parent->Name() << " " << points;
      EXPECT_GT(sizeOf("A&B", points).width, sizeOf("AB", points).width) << parent->Name() << " " << points;
      previous = r;
    }
  }
}

// The range covers every child, however often suspended it stays, and the last resume computes
// it; the position keeps within what the content needs beyond the box (the children fit across,
// beside a vertical bar), follows a shorter range, and children keep their content coordinates.
void ScrollBoxFollowsItsChildren(ControlBackend& b) {
  auto form = b.ui.CreateForm("ScrollForm", FormStyle::Sizeable);
  form->SetClientSize(300, 200);
  auto box = b.ui.CreateScrollBox(*form, "Box");
  box->SetBounds({0, 0, 200, 100});
  auto first = b.ui.CreateLabel(*box, "First"), second = b.ui.CreateLabel(*box, "Second");
  std::unique_ptr<Label> third;
  first->SetBounds({10, 6, 50, 20});
  const struct Step {
    const char* what;
    std::function<void()> act;
    int width, height, scrollY;
  } steps[] = {
      {"a child moved", [&] { second->SetBounds({20, 250, 60, 30}); }, 80, 280, 0},
      {"suspended twice", [&] { box->SuspendRange(); box->SuspendRange(); }, 80, 280, 0},
      {"a child added", [&] { third = b.ui.CreateLabel(*box, "Third"); third->SetBounds({0, 400, 150, 20}); }, 80, 280, 0},
      {"resumed once of twice", [&] { second->SetBounds({20, 500, 60, 30}); box->ResumeRange(); }, 80, 280, 0},
      {"resumed", [&] { box->ResumeRange(); }, 150, 530, 0},
      {"scrolled", [&] { box->SetScrollPosition(0, 100); }, 150, 530, 100},
      {"scrolled past the end", [&] { box->SetScrollPosition(50, 1000); }, 150, 530, 430},
      {"scrolled before the start", [&] { box->SetScrollPosition(-5, -5); }, 150, 530, 0},
      {"a child gone while scrolled", [&] { box->SetScrollPosition(0, 430); third.reset(); }, 80, 530, 430},
      {"a child moved up", [&] { second->SetBounds({20, 120, 60, 30}); }, 80, 150, 50},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_TRUE(box->Range().width == s.width && box->Range().height == s.height) << s.what;
    EXPECT_EQ(box->ScrollY(), s.scrollY) << s.what;
    EXPECT_EQ(box->ScrollX(), 0) << s.what;
    EXPECT_TRUE(first->Bounds().left == 10 && first->Bounds().top == 6) << s.what;
  }
}

// Texts come back as set: an edit's as they stand (bytes of the ANSI code page too), a memo's with
// every kind of line end made CR LF, a megabyte of it whole.
void TextFieldsKeepTheirText(ControlBackend& b) {
  auto form = b.ui.CreateForm("TextForm", FormStyle::Dialog);
  auto edit = b.ui.CreateEdit(*form, "Edit");
  auto memo = b.ui.CreateMemo(*form, "Memo");
  memo->SetFont({"Courier New", 238, 10});
  const struct Case {
    std::string text, memoShows;
  } cases[] = {
      {" 8080", " 8080"}, {"&Host: \xBF\xF3\xB3\xE6\t.", "&Host: \xBF\xF3\xB3\xE6\t."}, {"a\r\nb", "a\r\nb"},
      {"a\nb\n", "a\r\nb\r\n"}, {"a\rb", "a\r\nb"}, {"a\n\rb", "a\r\n\r\nb"}, {"a\r\r\nb", "a\r\n\r\nb"}, {"", ""},
  };
  for (const Case& c : cases) {
    edit->SetText(c.text);
    memo->SetText(c.text);
    EXPECT_EQ(edit->Text(), c.text) << "case " << &c - cases;
    EXPECT_EQ(memo->Text(), c.memoShows) << "case " << &c - cases;
  }
  std::string readMe;
  while (readMe.size() < 1024 * 1024) readMe += std::string(62, 'r') + "\n";
  memo->SetText(readMe);
  EXPECT_EQ(memo->Text().size(), readMe.size() / 63 * 64);
}

// The position keeps within the range, also when the range moves under it.
void ProgressBarKeepsWithinItsRange(ControlBackend& b) {
  auto form = b.ui.CreateForm("ProgressForm", FormStyle::Dialog);
  auto bar = b.ui.CreateProgressBar(*form, "Bar");
  const struct Step {
    int min, max, set, position;  // min > max: the range stays
  } steps[] = {{1, 0, 42, 42}, {1, 0, 101, 100}, {1, 0, -1, 0}, {10, 20, 0, 10}, {10, 20, 50, 20}, {0, 5, 20, 5},
               {0, 1000000, 70000, 70000}};
  for (const Step& s : steps) {
    if (s.min <= s.max) bar->SetRange(s.min, s.max);
    bar->SetPosition(s.set);
    EXPECT_EQ(bar->Position(), s.position) << s.set;
  }
}

// A result set while the form is shown modally ends it, from its own handler or an event outside;
// 0 ends nothing, nor does one set before ShowModal. The user cannot close a form without border
// icons; the program can.
void SetModalResultEndsTheModalLoop(ControlBackend& b) {
  auto plain = b.ui.CreateForm("ResultForm", FormStyle::Dialog);
  auto fixed = b.ui.CreateForm("WaitForm", FormStyle::FixedToolDialog);
  std::string events;
  std::vector<std::unique_ptr<Button>> set7;
  for (Form* form : {plain.get(), fixed.get()}) {
    set7.push_back(b.ui.CreateButton(*form, "Set7"));
    set7.back()->OnClick = [&events, form] { events += "set7;", form->SetModalResult(7); };
    form->OnCloseQuery = [&events](bool&) { events += "query;"; };
  }
  auto ok = b.ui.CreateButton(*plain, "Ok");
  ok->ModalResult = 1;
  Form &p = *plain, &f = *fixed;
  const struct Case {
    const char* what;
    Form& form;
    std::function<void()> queue;
    int result;
    const char* events;
  } cases[] = {
      {"from a handler", p, [&] { b.user.ClickWhenShown(p, *set7[0]); }, 7, "set7;"},
      {"from an event", p, [&] { b.user.RunWhenShown([&] { p.SetModalResult(4); }); }, 4, ""},
      {"0, then OK", p, [&] { b.user.RunWhenShown([&] { p.SetModalResult(0); }), b.user.ClickWhenShown(p, *ok); }, 1,
       ""},
      {"set before", p, [&] { p.SetModalResult(6), b.user.ClickWhenShown(p, *ok); }, 1, ""},
      {"no close box", f, [&] { b.user.CloseWhenShown(f), b.user.ClickWhenShown(f, *set7[1]); }, 7, "set7;"},
      {"closed by the program", f, [&] { b.user.RunWhenShown([&] { f.Close(); }); }, 2, "query;"},
  };
  for (const Case& c : cases) {
    events.clear();
    c.queue();
    EXPECT_EQ(c.form.ShowModal(), c.result) << c.what;
    EXPECT_EQ(events, c.events) << c.what;
  }
}

// Enter presses the default button, as a click does, while it is enabled and visible.
void EnterPressesTheDefaultButton(ControlBackend& b) {
  auto dialog = b.ui.CreateForm("ProxyForm", FormStyle::Dialog);
  auto ok = b.ui.CreateButton(*dialog, "Button2"), check = b.ui.CreateButton(*dialog, "Check"),
       cancel = b.ui.CreateButton(*dialog, "Button1");
  ok->ModalResult = 1;
  cancel->ModalResult = 2;
  std::string events;
  for (Button* button : {ok.get(), check.get(), cancel.get()})
    button->OnClick = [&events, button] { events += button->Name() + ";"; };
  const struct Case {
    const char* what;
    std::function<void()> setUp;
    const char* events;  // after Enter twice and, unless Enter ended it, the cancel button
  } cases[] = {
      {"the default", [&] { dialog->SetDefaultButton(ok.get()); }, "Button2;"},
      {"disabled", [&] { ok->SetEnabled(false); }, "Button1;"},
      {"hidden", [&] { ok->SetEnabled(true), ok->SetVisible(false); }, "Button1;"},
      {"without a result", [&] { ok->SetVisible(true), dialog->SetDefaultButton(check.get()); },
       "Check;Check;Button1;"},
      {"gone", [&] { dialog->SetDefaultButton(nullptr); }, "Button1;"},
  };
  for (const Case& c : cases) {
    c.setUp();
    events.clear();
    const bool ends = std::string(c.events) == "Button2;";
    for (int i = ends ? 1 : 0; i < 2; ++i) b.user.PressEnterWhenShown(*dialog);
    if (!ends) b.user.ClickWhenShown(*dialog, *cancel);
    EXPECT_EQ(dialog->ShowModal(), ends ? 1 : 2) << c.what;
    EXPECT_EQ(events, c.events) << c.what;
  }
}

// Handlers' errors go to OnException while one is set, also after it put an earlier one back from
// inside (the default display is not tried: on Win32 it would wait for the user).
void HandlerErrorsReachOnException(ControlBackend& b) {
  auto form = b.ui.CreateForm("ErrorForm", FormStyle::Dialog);
  auto fail = b.ui.CreateButton(*form, "Fail");
  int failures = 0;
  fail->OnClick = [&] { throw std::runtime_error("refused " + std::to_string(++failures)); };
  Texts seen;
  auto earlier = [&](const std::exception& e) { seen.push_back(std::string("earlier: ") + e.what()); };
  b.app.OnException = [&, earlier](const std::exception& e) {
    b.app.OnException = earlier;
    seen.push_back(std::string("component: ") + e.what());
  };
  b.user.ClickWhenShown(*form, *fail);
  b.user.ClickWhenShown(*form, *fail);
  b.user.RunWhenShown([&] { form->SetModalResult(3); });
  EXPECT_EQ(form->ShowModal(), 3);
  EXPECT_EQ(seen, (Texts{"component: refused 1", "earlier: refused 2"}));
  b.app.OnException = nullptr;
}

// Stay-on-top forms become ordinary and come back; nested calls change nothing more, and a form
// that goes meanwhile is forgotten.
void TopmostsNormalizeAndRestore(ControlBackend& b) {
  auto top = b.ui.CreateForm("TopForm", FormStyle::Sizeable), gone = b.ui.CreateForm("GoneForm", FormStyle::Dialog);
  auto plain = b.ui.CreateForm("PlainForm", FormStyle::Dialog);
  top->SetTopmost(true);
  gone->SetTopmost(true);
  auto normalize = [&] { b.app.NormalizeTopmosts(); };
  auto restore = [&] { b.app.RestoreTopmosts(); };
  const std::pair<std::function<void()>, bool> steps[] = {
      {normalize, false}, {normalize, false}, {[&] { gone.reset(); }, false}, {restore, false},
      {restore, true},    {restore, true},    {normalize, false},             {restore, true},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].first();
    EXPECT_EQ(top->Topmost(), steps[i].second) << "step " << i;
    EXPECT_FALSE(plain->Topmost()) << "step " << i;
  }
}

}  // namespace

const std::vector<ControlBehaviour>& ControlBehaviours() {
  static const std::vector<ControlBehaviour> behaviours = {
      {"ShowRaisesOnShow", ShowRaisesOnShow},
      {"CloseAsksTheQueryFirst", CloseAsksTheQueryFirst},
      {"ModalFormEndsWithAResult", ModalFormEndsWithAResult},
      {"CentresOnTheReportedScreen", CentresOnTheReportedScreen},
      {"ComboSortsIgnoringCase", ComboSortsIgnoringCase},
      {"TreeSelectionChanges", TreeSelectionChanges},
      {"TreeKeepsStatesThroughASort", TreeKeepsStatesThroughASort},
      {"HideRaisesOnHide", HideRaisesOnHide},
      {"ResizeRaisesOnResize", ResizeRaisesOnResize},
      {"FittedLabelFollowsItsText", FittedLabelFollowsItsText},
      {"ScrollBoxFollowsItsChildren", ScrollBoxFollowsItsChildren},
      {"TextFieldsKeepTheirText", TextFieldsKeepTheirText},
      {"ProgressBarKeepsWithinItsRange", ProgressBarKeepsWithinItsRange},
      {"SetModalResultEndsTheModalLoop", SetModalResultEndsTheModalLoop},
      {"EnterPressesTheDefaultButton", EnterPressesTheDefaultButton},
      {"HandlerErrorsReachOnException", HandlerErrorsReachOnException},
      {"TopmostsNormalizeAndRestore", TopmostsNormalizeAndRestore},
  };
  return behaviours;
}

}  // namespace sorel::test
