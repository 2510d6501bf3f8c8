// The Win32 controls behind the windows: menus, tree events, two-state buttons, modal forms.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/Splash_Form.h"
#include "ui/win32/ui_win32.h"

namespace sorel {
namespace {

class Win32Controls : public testing::Test {
 protected:
  static Win32Application& App() {
    static Win32Application app(GetModuleHandleA(nullptr));
    return app;
  }
  void SetUp() override {
    form = ui.CreateForm("TestForm", FormStyle::Dialog);
    form->SetClientSize(300, 200);
    form->SetVisible(true);
  }
  // Lets the window's queued messages run.
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  Win32Ui ui{App()};
  std::unique_ptr<Form> form;
};

TEST_F(Win32Controls, PopupMenuRunsTheChosenItemWithItsSender) {
  auto menu = ui.CreatePopupMenu("Menu");
  MenuItem& first = menu->Items().Add("first", "First");
  menu->Items().Add("sep", "-");
  MenuItem& parent = menu->Items().Add("parent", "Scripts");
  MenuItem& child = parent.Add("", "Greek");
  child.Tag = 161;
  int clickedTag = -1;
  std::string clicked;
  for (MenuItem* item : {&first, &child})
    item->OnClick = [&](MenuItem& sender) {
      clicked = sender.Caption();
      clickedTag = sender.Tag;
    };
  first.SetChecked(true);
  first.SetRadioItem(true);
  // The keys wait in the queue; the menu's own loop reads them.
  HWND window = HandleOf(*form);
  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
  menu->Popup(*form, 10, 10);
  EXPECT_EQ(clicked, "First");
  PostMessageA(window, WM_KEYDOWN, VK_UP, 0);     // to the last item, the submenu
  PostMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);  // open it
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
  menu->Popup(*form, 10, 10);
  EXPECT_EQ(clicked, "Greek");
  EXPECT_EQ(clickedTag, 161);
}

// A disabled item is greyed and cannot be chosen; the item the keys highlight makes its hint the
// application's, a disabled one's too, and closing the menu clears it.
TEST_F(Win32Controls, PopupMenuGreysADisabledItemAndShowsTheHintOfTheHighlightedOne) {
  auto menu = ui.CreatePopupMenu("Menu");
  MenuItem& there = menu->Items().Add("", "c_1250.nls");
  MenuItem& missing = menu->Items().Add("", "c_1257.nls");
  missing.SetEnabled(false);
  missing.SetHint("c_1257.nls is not in the system folder");
  std::string clicked;
  for (MenuItem* item : {&there, &missing}) item->OnClick = [&](MenuItem& sender) { clicked = sender.Caption(); };
  std::vector<std::string> hints;
  App().OnHint = [&] { hints.push_back(App().CurrentHint()); };
  HWND window = HandleOf(*form);
  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);    // the first item
  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);    // the disabled one
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);  // chooses nothing
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);  // closes the menu, unless Enter did
  menu->Popup(*form, 10, 10);
  Pump();  // a key the menu left
  App().OnHint = nullptr;
  EXPECT_EQ(clicked, "");
  ASSERT_FALSE(hints.empty());
  EXPECT_NE(std::find(hints.begin(), hints.end(), missing.Hint()), hints.end());
  EXPECT_EQ(hints.back(), "") << "the menu closed";
  EXPECT_EQ(App().CurrentHint(), "");

  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
  menu->Popup(*form, 10, 10);
  EXPECT_EQ(clicked, "c_1250.nls");
}

TEST_F(Win32Controls, TreeReportsKeysPressesDoubleClicksAndRefusesToCollapse) {
  auto tree = ui.CreateTreeView(*form, "Tree");
  tree->SetBounds({0, 0, 300, 200});
  NodeId face = tree->AddChild(0, "Face");
  NodeId script = tree->AddChild(face, "Face (Greek)");
  tree->Expand(face);
  int collapseAsked = 0;
  tree->OnCollapsing = [&](NodeId) {
    ++collapseAsked;
    return false;
  };
  std::string events;
  tree->OnKeyPress = [&](char key) { events += "key" + std::to_string(key) + ";"; };
  tree->OnMouseDown = [&](int, int) { events += "press;"; };
  tree->OnDblClick = [&] { events += "double;"; };
  tree->OnChange = [&](NodeId node) { events += "select:" + tree->Text(node) + ";"; };
  HWND handle = HandleOf(*tree);

  tree->Select(script);
  SendMessageA(handle, WM_CHAR, '\r', 1);
  RECT rect{};
  HTREEITEM item = reinterpret_cast<HTREEITEM>(script);
  std::memcpy(&rect, &item, sizeof(item));  // the item goes in, the rectangle comes out
  SendMessageA(handle, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  EXPECT_EQ(tree->NodeAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2), script);
  EXPECT_EQ(tree->NodeAt(250, 190), 0u);
  PostMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(handle, WM_LBUTTONUP, 0, at);
  PostMessageA(handle, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(handle, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(events, "select:Face (Greek);key13;press;press;double;");

  // The user's way of collapsing: the left arrow on an open face.
  tree->Select(face);
  SendMessageA(handle, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(collapseAsked, 1);
  Pump();
  EXPECT_TRUE(SendMessageA(handle, TVM_GETITEMSTATE, static_cast<WPARAM>(face), TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(tree->Level(script), 1);
  EXPECT_EQ(tree->Level(face), 0);
}

TEST_F(Win32Controls, TreeSortsChildrenByTextAndKeepsTheirIdentity) {
  auto tree = ui.CreateTreeView(*form, "Tree");
  NodeId face = tree->AddChild(0, "Face");
  std::vector<NodeId> added;
  for (const char* text : {"Face (Turkish)", "Face (Arabic)", "Face (Greek)"}) added.push_back(tree->AddChild(face, text));
  tree->SortChildren(face);
  std::vector<std::string> texts;
  std::vector<NodeId> nodes;
  for (NodeId n = tree->FirstChild(face); n; n = tree->NextSibling(n)) {
    texts.push_back(tree->Text(n));
    nodes.push_back(n);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Face (Arabic)", "Face (Greek)", "Face (Turkish)"}));
  EXPECT_EQ(nodes, (std::vector<NodeId>{added[1], added[2], added[0]}));
}

TEST_F(Win32Controls, TwoStateButtonAndGlyphKeepTheirState) {
  auto button = ui.CreateButton(*form, "Button");
  EXPECT_FALSE(button->Down());
  button->SetDown(true);
  EXPECT_TRUE(button->Down());
  button->SetDown(false);
  EXPECT_FALSE(button->Down());
  button->SetGlyph("NO_SUCH_BITMAP");  // a missing picture leaves the button usable
  EXPECT_EQ(button->Glyph(), "NO_SUCH_BITMAP");
}

// Escape, as the message loop hands it to the dialog manager, presses the form's cancel button
// and no other, and only while that button is enabled; the button's own clicks still arrive.
TEST_F(Win32Controls, EscapePressesTheFormsCancelButton) {
  auto ok = ui.CreateButton(*form, "ok");
  auto cancel = ui.CreateButton(*form, "cancel");
  int oks = 0, cancels = 0;
  ok->OnClick = [&] { ++oks; };
  cancel->OnClick = [&] { ++cancels; };
  HWND window = HandleOf(*form);
  auto escape = [&](HWND focus) {
    MSG msg{};
    msg.hwnd = focus;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    msg.lParam = 0x00010001;
    return IsDialogMessageA(window, &msg) != 0;
  };
  EXPECT_TRUE(escape(HandleOf(*ok)));
  EXPECT_EQ(cancels, 0) << "no cancel button yet";

  form->SetCancelButton(cancel.get());
  EXPECT_EQ(GetDlgItem(window, IDCANCEL), HandleOf(*cancel));
  EXPECT_TRUE(escape(HandleOf(*ok)));
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(oks, 0);

  cancel->SetEnabled(false);
  escape(window);
  EXPECT_EQ(cancels, 1);
  cancel->SetEnabled(true);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(HandleOf(*cancel)), BN_CLICKED),
               reinterpret_cast<LPARAM>(HandleOf(*cancel)));
  EXPECT_EQ(cancels, 2);
}

TEST_F(Win32Controls, ModalFormEndsWithTheButtonsResultOrCancelWhenClosed) {
  auto dialog = ui.CreateForm("Dialog", FormStyle::Dialog);
  auto ok = ui.CreateButton(*dialog, "OK");
  ok->ModalResult = 1;
  int clicks = 0;
  ok->OnClick = [&] { ++clicks; };
  PostMessageA(HandleOf(*dialog), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(HandleOf(*ok)));
  EXPECT_EQ(dialog->ShowModal(), 1);
  EXPECT_EQ(clicks, 1);
  PostMessageA(HandleOf(*dialog), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog->ShowModal(), 2);
  EXPECT_FALSE(dialog->Closed()) << "a modal form is hidden, not destroyed, by its close box";
}

// A tool window the modal form does not own is disabled as well, so no click there starts a second
// dialogue; a window already disabled stays so, a hidden one is left alone.
TEST_F(Win32Controls, ModalFormDisablesTheProgramsOtherWindowsUntilItEnds) {
  auto tool = ui.CreateForm("Tool", FormStyle::ToolWindow);
  auto off = ui.CreateForm("Off", FormStyle::Dialog);
  auto hidden = ui.CreateForm("Hidden", FormStyle::Dialog);
  tool->SetVisible(true);
  off->SetVisible(true);
  EnableWindow(HandleOf(*off), FALSE);
  auto dialog = ui.CreateForm("Dialog", FormStyle::Dialog);
  auto ok = ui.CreateButton(*dialog, "OK");
  ok->ModalResult = 1;
  struct Seen {
    bool tool, off, hidden;
  } during{true, true, false};
  ok->OnClick = [&] {
    during = {IsWindowEnabled(HandleOf(*tool)) != 0, IsWindowEnabled(HandleOf(*off)) != 0,
              IsWindowEnabled(HandleOf(*hidden)) != 0};
  };
  PostMessageA(HandleOf(*dialog), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(HandleOf(*ok)));
  EXPECT_EQ(dialog->ShowModal(), 1);
  EXPECT_FALSE(during.tool);
  EXPECT_FALSE(during.off);
  EXPECT_TRUE(during.hidden);
  EXPECT_TRUE(IsWindowEnabled(HandleOf(*tool)));
  EXPECT_FALSE(IsWindowEnabled(HandleOf(*off)));
  EXPECT_TRUE(IsWindowEnabled(HandleOf(*hidden)));
}

// What a form is becomes the system's styles: the splash is a frameless tool window, which has no
// taskbar button; a dialog has a caption and is no tool window; a sizeable form has a sizing
// border and, like the dialog, a close box but no minimise or maximise box; the fixed tool dialog
// has a caption without any box.
TEST_F(Win32Controls, FormStyleBecomesTheWindowsStyles) {
  TfrmSplash splash(ui);
  auto dialog = ui.CreateForm("Dialog", FormStyle::Dialog);
  auto sizeable = ui.CreateForm("Sizeable", FormStyle::Sizeable);
  auto fixed = ui.CreateForm("Fixed", FormStyle::FixedToolDialog);
  const struct Case {
    const char* what;
    Form& form;
    bool caption, closeBox, toolWindow, sizingBorder;
  } cases[] = {{"splash", splash.Self(), false, false, true, false},
               {"dialog", *dialog, true, true, false, false},
               {"sizeable", *sizeable, true, true, false, true},
               {"fixed tool dialog", *fixed, true, false, false, false}};
  for (const Case& c : cases) {
    HWND hwnd = HandleOf(c.form);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.caption) << c.what;
    EXPECT_EQ((style & WS_SYSMENU) != 0, c.closeBox) << c.what;
    EXPECT_EQ((GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0, c.toolWindow) << c.what;
    EXPECT_EQ((style & WS_THICKFRAME) != 0, c.sizingBorder) << c.what;
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << c.what;
  }
}

// The font asked for, at the screen's resolution, with the face cut to what LOGFONT holds; a
// transparent label gets no brush from its parent, an opaque one the window's colour; a fitted
// label shows ampersands and does not wrap.
TEST_F(Win32Controls, LabelTakesItsFontBackgroundAndFitting) {
  auto label = ui.CreateLabel(*form, "Label");
  HWND hwnd = HandleOf(*label);
  HDC dc = GetDC(hwnd);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const FontSpec fonts[] = {{"Arial", 238, 10, true}, {"Times New Roman", 204, 14, false, true, true},
                            {std::string(40, 'x'), 161, 8}};
  for (const FontSpec& f : fonts) {
    label->SetFont(f);
    LOGFONTA got{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof(got), &got));
    EXPECT_EQ(got.lfFaceName, f.face.substr(0, 31));
    EXPECT_EQ(got.lfHeight, -MulDiv(f.points, dpi, 72)) << f.face;
    EXPECT_TRUE(got.lfWeight == (f.bold ? FW_BOLD : FW_NORMAL) && !got.lfItalic == !f.italic &&
                !got.lfUnderline == !f.underline && got.lfCharSet == f.charset) << f.face;
  }
  for (bool on : {true, false}) {
    label->SetTransparent(on);
    auto brush = reinterpret_cast<HGDIOBJ>(
        SendMessageA(HandleOf(*form), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    EXPECT_EQ(brush, on ? GetStockObject(NULL_BRUSH) : GetSysColorBrush(COLOR_BTNFACE)) << on;
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << on;
    EXPECT_EQ((GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0, on);
    label->SetFitToText(on);
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & (SS_TYPEMASK | SS_NOPREFIX), on ? SS_LEFTNOWORDWRAP | SS_NOPREFIX : SS_LEFT);
  }
  ReleaseDC(hwnd, dc);
}

// The first and last rows of the box's client area where its paint leaves more than the
// background; {-1, -1} when it leaves nothing.
std::pair<int, int> InkRows(HWND box) {
  RECT client;
  GetClientRect(box, &client);
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageA(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const COLORREF background = GetSysColor(COLOR_BTNFACE);
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (GetPixel(dc, x, y) != background) {
        if (rows.first < 0) rows.first = y;
        rows.second = y;
        break;
      }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return rows;
}

// Labels stand at their content position less the scroll position: the box draws them there; the
// box's bars (shown only when the content needs them) and the wheel over it, wherever it turns,
// move the content.
TEST_F(Win32Controls, ScrollBoxScrollsWithItsBarsAndTheWheel) {
  auto box = ui.CreateScrollBox(*form, "Box");
  box->SetBounds({0, 0, 200, 100});
  auto label = ui.CreateLabel(*box, "Label"), distant = ui.CreateLabel(*box, "Distant");
  label->SetBounds({0, 60, 150, 20});
  label->SetCaption("MMMM");
  distant->SetBounds({0, 580, 150, 20});
  HWND hwnd = HandleOf(*box);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL);
  for (int y : {0, 30}) {
    box->SetScrollPosition(0, y);
    const auto ink = InkRows(hwnd);
    EXPECT_TRUE(ink.first >= 60 - y && ink.second < 80 - y) << y << ": " << ink.first << " to " << ink.second;
  }
  char text[32] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "MMMM\r\n") << "the box's text is its labels' captions, a line each";
  POINT over{100, 50};
  ClientToScreen(hwnd, &over);
  const struct Step {
    HWND to;
    UINT msg;
    WPARAM wParam;
    int y;
  } steps[] = {
      {hwnd, WM_VSCROLL, SB_LINEDOWN, 38}, {hwnd, WM_VSCROLL, SB_LINEUP, 30}, {hwnd, WM_VSCROLL, SB_PAGEDOWN, 130},
      {hwnd, WM_VSCROLL, SB_PAGEUP, 30},   {hwnd, WM_VSCROLL, SB_BOTTOM, 500}, {hwnd, WM_VSCROLL, SB_TOP, 0},
      {HandleOf(*form), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 24}, {hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0},
  };
  for (const Step& s : steps) {
    SendMessageA(s.to, s.msg, s.wParam, s.msg == WM_MOUSEWHEEL ? MAKELPARAM(over.x, over.y) : 0);
    EXPECT_EQ(box->ScrollY(), s.y) << s.msg << " " << s.wParam;
  }
  distant.reset();
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL, 0) << "the content fits again";
}

// A right click on a label reaches the nearest control around it with a context menu, at a point
// of that control; the menu key gives its corner; a label with a menu of its own keeps it.
TEST_F(Win32Controls, ContextMenuGoesToTheNearestControlWithOne) {
  auto panel = ui.CreatePanel(*form, "Panel");
  panel->SetBounds({20, 30, 200, 100});
  auto label = ui.CreateLabel(*panel, "Label");
  label->SetBounds({10, 10, 80, 20});
  std::string asked;
  panel->OnContextPopup = [&](int x, int y) { asked = "panel " + std::to_string(x) + "," + std::to_string(y); };
  POINT at{15, 12};
  ClientToScreen(HandleOf(*label), &at);
  const struct Case {
    LPARAM where;
    bool labelMenu;
    const char* expected;
  } cases[] = {
      {MAKELPARAM(at.x, at.y), false, "panel 25,22"},
      {-1, false, "panel 0,0"},
      {MAKELPARAM(at.x, at.y), true, "label 15,12"},
  };
  for (const Case& c : cases) {
    if (c.labelMenu)
      label->OnContextPopup = [&](int x, int y) { asked = "label " + std::to_string(x) + "," + std::to_string(y); };
    asked.clear();
    HWND clicked = HandleOf(*label);
    SendMessageA(clicked, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(clicked), c.where);
    EXPECT_EQ(asked, c.expected);
  }
}

// The viewer reads a page beside this test, answers with the text in view, raises the hot-spot
// event for a clicked link and follows it when the handler leaves it, and copies a dragged
// selection.
TEST_F(Win32Controls, HtmlViewerShowsFollowsAndCopies) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string page = std::string(folder) + "sorel-viewer.htm", other = std::string(folder) + "sorel-other.htm";
  auto write = [](const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs(text.c_str(), f);
    fclose(f);
  };
  write(page, "<a href=\"./sorel-other.htm\">Other</a><p>First paragraph</p>" + std::string(60, '\n') +
                  "<br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><br>"
                  "<a name=\"end\"></a><p>Last words</p>");
  write(other, "<p>Another page</p>");
  auto viewer = ui.CreateHtmlViewer(*form, "Viewer");
  viewer->SetBounds({0, 0, 280, 120});
  HWND hwnd = HandleOf(*viewer);
  auto text = [&] {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return std::string(buffer);
  };
  viewer->LoadFromFile(page);
  EXPECT_EQ(text(), "Other\r\nFirst paragraph\r\nLast words");
  viewer->LoadFromFile(page + "#end");
  EXPECT_EQ(text(), "Last words");
  EXPECT_EQ(viewer->CurrentFile(), page);

  viewer->LoadFromFile(page);
  std::vector<std::string> clicked;
  bool handle = true;
  viewer->OnHotSpotClick = [&](const std::string& target, bool& handled) {
    clicked.push_back(target);
    handled = handle;
  };
  auto click = [&](int x, int y) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  click(12, 12);  // on "Other", inside the page's margin
  EXPECT_EQ(clicked, std::vector<std::string>{"./sorel-other.htm"});
  EXPECT_EQ(viewer->CurrentFile(), page) << "a handled link is not followed";

  // A drag across a line selects that line: going down from the link, the first line that
  // gives another text is the paragraph, whole; the copy holds what was selected.
  auto copied = [&] {
    SendMessageA(hwnd, WM_COPY, 0, 0);
    std::string text;
    if (!OpenClipboard(hwnd)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    EmptyClipboard();
    CloseClipboard();
    return text;
  };
  std::string line;
  for (int y = 12; y < 100 && (line.empty() || line == "Other"); y += 2) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(270, y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(270, y));
    line = copied();
  }
  EXPECT_EQ(line, "First paragraph");

  handle = false;
  click(12, 12);
  EXPECT_EQ(viewer->CurrentFile(), std::string(folder) + "sorel-other.htm");
  EXPECT_EQ(text(), "Another page");
  DeleteFileA(page.c_str());
  DeleteFileA(other.c_str());
}

// A busy form shows the hourglass over its client area and its controls, not its caption.
TEST_F(Win32Controls, BusyFormShowsTheHourglassOverItsControls) {
  auto panel = ui.CreatePanel(*form, "Panel");
  auto bar = ui.CreateProgressBar(*panel, "Bar");
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT), arrow = LoadCursor(nullptr, IDC_ARROW);
  const struct {
    bool busy;
    HWND under;
    WORD hit;
    HCURSOR cursor;
  } cases[] = {{true, HandleOf(*form), HTCLIENT, wait}, {true, HandleOf(*bar), HTCLIENT, wait},
               {true, HandleOf(*form), HTCAPTION, arrow}, {false, HandleOf(*bar), HTCLIENT, arrow}};
  for (const auto& c : cases) {
    form->SetBusyCursor(c.busy);
    SetCursor(c.cursor == wait ? arrow : wait);
    SendMessageA(c.under, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.under), MAKELPARAM(c.hit, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), c.cursor) << c.busy << c.hit;
  }
}

// The events waiting run, once; a quit stays for the loop that runs the program.
TEST_F(Win32Controls, ProcessMessagesRunsWhatIsWaitingAndLeavesTheQuit) {
  auto button = ui.CreateButton(*form, "Button");
  int clicks = 0;
  button->OnClick = [&] { ++clicks; };
  HWND hwnd = HandleOf(*button);
  for (int expected : {1, 2}) {
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
    if (expected == 2) PostQuitMessage(3);
    App().ProcessMessages();
    App().ProcessMessages();
    EXPECT_EQ(clicks, expected);
  }
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace sorel
