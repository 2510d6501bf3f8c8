// End to end: the toolbox dragged out of its dock floats, comes back floating where it was after a
// restart and docks again; the preview's toolbar docks at each edge of its window.
#include "tests/e2e/fixture.h"

namespace e2e {
namespace {

LPARAM Pack(POINT p) { return MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)); }

POINT ClientPoint(HWND window, POINT screen) {
  ScreenToClient(window, &screen);
  return screen;
}

// A drag with the left button as the system delivers it to the window that holds the mouse: the
// press on a bar's background (client) or on a floating window's caption (screen), then the moves
// and the release in the window's client coordinates, posted as the system posts mouse input. The
// pause lets the program take them, and keeps the next drag's press from making a double click.
void DragWith(HWND window, POINT fromScreen, POINT toScreen, bool caption) {
  if (caption) PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, Pack(fromScreen));
  else PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Pack(ClientPoint(window, fromScreen)));
  const POINT half{(fromScreen.x + toScreen.x) / 2, (fromScreen.y + toScreen.y) / 2};
  PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Pack(ClientPoint(window, half)));
  PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Pack(ClientPoint(window, toScreen)));
  PostMessageA(window, WM_LBUTTONUP, 0, Pack(ClientPoint(window, toScreen)));
  Sleep(600);
}

// Waits up to 5 s for a condition: hiding a window with a caption can keep Wine waiting for a
// window manager that Xvfb does not have, and the program's layout comes after that.
template <class F>
bool Eventually(F&& condition) {
  for (int i = 0; i < 50 && !condition(); ++i) Sleep(100);
  return condition();
}
int Width(HWND window) { return WindowRect(window).right - WindowRect(window).left; }

POINT At(const RECT& r, int dx, int dy) { return POINT{r.left + dx, r.top + dy}; }
POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class DockE2E : public StartupE2E {
 protected:
  void Start() {
    app_ = std::make_unique<AppProcess>();
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    SendMessageA(main_, WM_NULL, 0, 0);  // the show step, which loads the layout, has run
    // The program tab holds, in creation order, the left dock, the right dock and the middle panel.
    HWND page = GetParent(GetParent(FindChild(main_, "SysTreeView32", "")));
    docks_ = DirectChildren(page, "SorelWindow");
    ASSERT_GE(docks_.size(), 2u);
    // The toolbox is the bar in one of the docks, or the one bar of a floating window of the program.
    toolbox_ = nullptr;
    for (HWND holder : {docks_[0], docks_[1]}) {
      if (auto bars = DirectChildren(holder, "SorelWindow"); !bars.empty()) toolbox_ = bars.front();
    }
    for (HWND top = GetTopWindow(nullptr); !toolbox_ && top; top = GetWindow(top, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(top, &pid);
      const bool toolWindow = GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
      if (pid != app_->Pid() || !toolWindow || !IsWindowVisible(top)) continue;
      if (auto bars = DirectChildren(top, "SorelWindow"); bars.size() == 1) toolbox_ = bars.front();
    }
    ASSERT_NE(toolbox_, nullptr) << "no toolbox";
    EXPECT_EQ(DirectChildren(toolbox_, "Button").size(), 12u) << "the toolbox's buttons";
  }
  void CloseWithOk() {
    Press(FindChild(main_, "Button", "&OK"));
    ASSERT_TRUE(app_->WaitForExit(30000));
  }
  std::string Layout(const char* name) {
    return ReadString(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\tbToolbox", name);
  }

  std::unique_ptr<AppProcess> app_;
  HWND main_ = nullptr, toolbox_ = nullptr;
  std::vector<HWND> docks_;
};

TEST_F(DockE2E, ToolboxDraggedOutFloatsSurvivesARestartAndDocksBack) {
  DeleteKeyTree(HKEY_CURRENT_USER, std::string(kProgramKey) + "\\tbToolbox");
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(GetParent(toolbox_), docks_[1]) << "the toolbox starts in the right dock";
  const RECT docked = WindowRect(toolbox_);
  EXPECT_EQ(docked.right - docked.left, 38);
  // Taken by its background left of the first button and dropped away from the main window.
  DragWith(toolbox_, At(docked, 1, 10), POINT{60, 80}, false);
  ASSERT_TRUE(Eventually([&] { return GetAncestor(toolbox_, GA_ROOT) != main_; })) << "the toolbox did not float";
  HWND floating = GetAncestor(toolbox_, GA_ROOT);
  EXPECT_TRUE(IsWindowVisible(floating));
  EXPECT_TRUE(GetWindowLongA(floating, GWL_EXSTYLE) & WS_EX_TOPMOST) << "above the program's windows";
  const RECT there = WindowRect(floating);
  EXPECT_EQ(there.left, 59);
  EXPECT_EQ(there.top, 70);
  EXPECT_TRUE(Eventually([&] { return Width(docks_[1]) == 9; })) << "the empty dock narrows";
  ASSERT_NO_FATAL_FAILURE(CloseWithOk());
  EXPECT_EQ(Layout("Rev"), "3");
  EXPECT_EQ(Layout("DockedTo"), "0");
  EXPECT_EQ(Layout("LastDock"), "2");
  EXPECT_EQ(Layout("FloatLeft"), "59");
  EXPECT_EQ(Layout("FloatTop"), "70");

  ASSERT_NO_FATAL_FAILURE(Start());
  floating = GetAncestor(toolbox_, GA_ROOT);
  ASSERT_NE(floating, main_) << "the toolbox came back docked";
  const RECT again = WindowRect(floating);
  EXPECT_TRUE(EqualRect(&again, &there)) << again.left << "," << again.top;
  // Its caption dragged onto the right dock puts it back there.
  DragWith(floating, At(again, 10, 4), Centre(WindowRect(docks_[1])), true);
  EXPECT_TRUE(Eventually([&] { return GetParent(toolbox_) == docks_[1]; }));
  EXPECT_TRUE(Eventually([&] { return Width(docks_[1]) == 38; })) << "the dock widens to the toolbox";
  EXPECT_FALSE(IsWindowVisible(floating));
  ASSERT_NO_FATAL_FAILURE(CloseWithOk());
  EXPECT_EQ(Layout("DockedTo"), "2");
  EXPECT_EQ(Layout("DockPos"), "8") << "pulled back as far as the dock's length allows";
}

TEST_F(DockE2E, PreviewToolbarDocksAtEachEdge) {
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND preview = app_->WaitForWindow(LangResValue("Polski", "frmPreviewCaption"));
  ASSERT_NE(preview, nullptr);
  // Top, bottom, left and right, in creation order; the toolbar starts in the top one.
  const std::vector<HWND> docks = DirectChildren(preview, "SorelWindow");
  ASSERT_GE(docks.size(), 4u);
  const std::vector<HWND> bars = DirectChildren(docks[0], "SorelWindow");
  ASSERT_EQ(bars.size(), 1u);
  HWND toolbar = bars.front();
  EXPECT_EQ(DirectChildren(toolbar, "Button").size(), 4u);
  RECT client;
  GetClientRect(preview, &client);
  MapWindowPoints(preview, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const int kSnap = 6;  // within the distance at which an empty dock takes a bar
  struct Step {
    int dock;
    POINT drop;
  } steps[] = {{1, {Centre(client).x, client.bottom - kSnap}},
               {2, {client.left + kSnap, Centre(client).y}},
               {3, {client.right - kSnap, Centre(client).y}},
               {0, {Centre(client).x, client.top + kSnap}}};
  for (const Step& s : steps) {
    const RECT from = WindowRect(toolbar);
    const bool vertical = from.bottom - from.top > from.right - from.left;
    // By its drag handle, which runs along its start.
    DragWith(toolbar, At(from, vertical ? 10 : 4, vertical ? 4 : 10), s.drop, false);
    ASSERT_TRUE(Eventually([&] { return GetParent(toolbar) == docks[s.dock]; })) << "dock " << s.dock;
    const RECT at = WindowRect(toolbar);
    const bool nowVertical = at.bottom - at.top > at.right - at.left;
    EXPECT_EQ(nowVertical, s.dock >= 2) << "dock " << s.dock;
    const bool alongItsEdge = s.dock == 0 ? at.top == client.top
                              : s.dock == 1 ? at.bottom == client.bottom
                              : s.dock == 2 ? at.left == client.left
                                            : at.right == client.right;
    EXPECT_TRUE(alongItsEdge) << "dock " << s.dock << ": " << at.left << "," << at.top << " " << at.right << ","
                              << at.bottom;
  }
  ASSERT_NO_FATAL_FAILURE(CloseWithOk());
}

}  // namespace
}  // namespace e2e
