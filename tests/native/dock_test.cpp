// Dockable bars: rows and positions in a dock, where a dragged bar lands, floating windows kept in
// view, and the drags themselves on in-memory controls with the layout they leave.
#include <gtest/gtest.h>

#include "tests/fakes/memory_controls.h"
#include "ui/dock/dock_site.h"

namespace sorel {
namespace {

TEST(DockGeometry, ArrangesRowsAndPositions) {
  struct Case {
    const char* what;
    DockSide side;
    std::vector<DockedBar> bars;
    std::vector<Rect> rects;
    int thickness;
  } cases[] = {
      {"empty: the least thickness", DockSide::Top, {}, {}, 9},
      {"overlap: the second moves after the first", DockSide::Top, {{0, 10, 50, 20}, {0, 30, 40, 26}},
       {{10, 0, 50, 20}, {60, 0, 40, 26}}, 26},
      {"rows with gaps stack in their order", DockSide::Top, {{7, 0, 50, 20}, {3, 0, 40, 26}},
       {{0, 26, 50, 20}, {0, 0, 40, 26}}, 46},
      {"past the end: pulled back, not before the bar before it", DockSide::Top, {{0, 180, 50, 20}, {0, 0, 190, 20}},
       {{190, 0, 50, 20}, {0, 0, 190, 20}}, 20},
      {"negative position: at the start", DockSide::Bottom, {{0, -5, 50, 20}}, {{0, 0, 50, 20}}, 20},
      {"stretched and last in its row: to the end", DockSide::Top, {{0, 0, 40, 20}, {0, 50, 30, 20, true}},
       {{0, 0, 40, 20}, {50, 0, 150, 20}}, 20},
      {"vertical: rows are columns", DockSide::Right, {{0, 5, 60, 38}, {1, 0, 30, 20}},
       {{0, 5, 38, 60}, {38, 0, 20, 30}}, 58},
  };
  for (const Case& c : cases) {
    const DockArrangement a = ArrangeDock(c.side, 200, c.bars, 9);
    EXPECT_EQ(a.rects, c.rects) << c.what;
    EXPECT_EQ(a.thickness, c.thickness) << c.what;
  }
}

TEST(DockGeometry, FindsWhereADraggedBarLands) {
  // A top dock with two rows (20 and 26 thick) and an empty left dock under it.
  const std::vector<DockZone> docks = {{DockSide::Top, {100, 100, 400, 46}, {20, 26}},
                                       {DockSide::Left, {100, 146, 0, 300}, {}}};
  struct Case {
    const char* what;
    Point pointer, grab;
    bool barVertical;
    DropTarget target;
  } cases[] = {
      {"on the first row", {200, 110}, {15, 5}, false, {0, 0, false, 85}},
      {"on the second row", {200, 130}, {15, 5}, false, {0, 1, false, 85}},
      {"just after the last row: a new row", {200, 150}, {15, 5}, false, {0, 2, true, 85}},
      {"just before the first row: a new first row", {200, 92}, {15, 5}, false, {0, 0, true, 85}},
      {"taken far from its start: not before the dock", {105, 110}, {40, 5}, false, {0, 0, false, 0}},
      {"a horizontal bar into a vertical dock is held near its start", {105, 300}, {40, 5}, false,
       {1, 0, true, 150}},
      {"beyond the snap distance: floating", {300, 300}, {15, 5}, false, {-1, 0, false, 0}},
      {"beside the dock's length: floating", {90, 110}, {15, 5}, false, {-1, 0, false, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(FindDropTarget(docks, c.pointer, c.grab, c.barVertical), c.target) << c.what;
}

TEST(DockGeometry, FloatingWindowIsBroughtIntoView) {
  const std::vector<Rect> twoMonitors = {{0, 0, 1024, 738}, {1024, -200, 800, 600}};
  struct Case {
    const char* what;
    Rect window, shown;
  } cases[] = {
      {"on the screen", {100, 100, 44, 309}, {100, 100, 44, 309}},
      {"partly off, caption in reach", {1000, 700, 44, 309}, {1000, 700, 44, 309}},
      {"on the second monitor", {1500, -150, 44, 309}, {1500, -150, 44, 309}},
      {"off to the left", {-300, 100, 44, 309}, {0, 100, 44, 309}},
      {"caption above every screen", {100, -30, 44, 309}, {100, 0, 44, 309}},
      {"below every screen", {100, 5000, 44, 309}, {100, 429, 44, 309}},
      {"far right: into the nearest, the second", {5000, 0, 44, 309}, {1780, 0, 44, 309}},
      {"at the edge of 32 bits", {2147483000, -2147483000, 44, 309}, {1780, -200, 44, 309}},
  };
  for (const Case& c : cases) EXPECT_EQ(BringIntoView(c.window, twoMonitors), c.shown) << c.what;
}

// A form with a left and a right dock and one bar 30 x 100, as the main window's toolbox.
struct DockedForm {
  DockedForm() {
    ui.app = &app;
    form = ui.CreateForm("F", FormStyle::Dialog);
    form->SetBounds({0, 0, 400, 300});
    left = ui.CreatePanel(*form, "Left");
    right = ui.CreatePanel(*form, "Right");
    bar = ui.CreatePanel(*right, "Bar");
    site = std::make_unique<TDockSite>(ui, app, *form);
    site->AddDock(*left, DockSide::Left, 9);
    site->AddDock(*right, DockSide::Right, 9);
    ToolWindowOptions options;
    options.caption = "Tools";
    options.floatVertical = true;
    options.arrange = [](bool, Point, bool) { return Point{30, 100}; };
    tools = &site->AddToolWindow(*bar, "Bar", 2, options);
    site->OnLayoutChange = [this] { site->LayoutDocks({0, 0, 400, 300}); };
    site->LayoutDocks({0, 0, 400, 300});
    site->ShowFloating(true);
  }
  void DragTo(Container& on, Point from, Point to) {
    Drag(ui, on, DragAction::Press, from);
    Drag(ui, on, DragAction::Move, to);
    EXPECT_TRUE(ui.dragFrame.has_value());
    Drag(ui, on, DragAction::Release, to);
    EXPECT_FALSE(ui.dragFrame.has_value());
  }
  MemoryApplication app;
  MemoryUi ui;
  std::unique_ptr<Form> form;
  std::unique_ptr<Panel> left, right, bar;
  std::unique_ptr<TDockSite> site;
  TToolWindow* tools = nullptr;
};

TEST(DockSite, DraggedOutTheBarFloatsAndDocksBackWhereDropped) {
  DockedForm f;
  EXPECT_EQ(f.right->Bounds(), (Rect{370, 0, 30, 300}));
  f.DragTo(*f.bar, {380, 50}, {200, 150});  // taken 10 from its left edge, 50 from its top
  Form& floating = f.tools->FloatingWindow();
  EXPECT_EQ(f.tools->DockedTo(), ToolWindowLayout::kFloating);
  EXPECT_EQ(ParentOf(*f.bar), &floating);
  EXPECT_TRUE(floating.Visible());
  EXPECT_EQ(OwnerOf(floating), f.form.get());
  EXPECT_EQ(floating.Caption(), "Tools");
  EXPECT_EQ(floating.Bounds(), (Rect{190, 100, 36, 121})) << "the bar's size and the tool window's frame";
  EXPECT_EQ(f.right->Bounds(), (Rect{391, 0, 9, 300})) << "the empty dock keeps its least width";
  // Dropped on the left dock: the bar stands there, the left dock as wide as the bar.
  f.DragTo(floating, {200, 105}, {3, 100});
  EXPECT_EQ(f.tools->DockedTo(), 1);
  EXPECT_EQ(ParentOf(*f.bar), f.left.get());
  EXPECT_FALSE(floating.Visible());
  EXPECT_EQ(f.left->Bounds(), (Rect{0, 0, 30, 300}));
  EXPECT_EQ(f.bar->Bounds(), (Rect{0, 95, 30, 100})) << "held 5 pixels below its window's top";
}

TEST(DockSite, ClicksCancelsAndDoubleClicks) {
  DockedForm f;
  // A press released where it was is a click: nothing moves, no outline shows.
  Drag(f.ui, *f.bar, DragAction::Press, {380, 50});
  Drag(f.ui, *f.bar, DragAction::Move, {381, 251});
  Drag(f.ui, *f.bar, DragAction::Release, {381, 251});
  EXPECT_FALSE(f.ui.dragFrame.has_value());
  EXPECT_EQ(f.tools->DockedTo(), 2);
  // The system took the mouse away: the drag ends where it began.
  Drag(f.ui, *f.bar, DragAction::Press, {380, 50});
  Drag(f.ui, *f.bar, DragAction::Move, {200, 150});
  Drag(f.ui, *f.bar, DragAction::Cancel, {});
  Drag(f.ui, *f.bar, DragAction::Release, {200, 150});
  EXPECT_FALSE(f.ui.dragFrame.has_value());
  EXPECT_EQ(f.tools->DockedTo(), 2);
  // A double click floats it; one on the floating window's caption puts it back in its dock.
  Drag(f.ui, *f.bar, DragAction::DoubleClick, {380, 50});
  EXPECT_EQ(f.tools->DockedTo(), ToolWindowLayout::kFloating);
  Drag(f.ui, f.tools->FloatingWindow(), DragAction::DoubleClick, {0, 0});
  EXPECT_EQ(f.tools->DockedTo(), 2);
  EXPECT_EQ(ParentOf(*f.bar), f.right.get());
}

TEST(DockSite, LayoutRoundTripsThroughItsValue) {
  DockedForm f;
  f.DragTo(*f.bar, {380, 50}, {600, 400});
  f.tools->SetVisible(false);
  DockLayout kept = f.site->Layout();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].name, "Bar");
  const ToolWindowLayout saved = f.tools->Layout();
  // Another run: the same form, the layout applied.
  DockedForm next;
  next.site->ApplyLayout(kept);
  const ToolWindowLayout loaded = next.tools->Layout();
  EXPECT_EQ(loaded.DockedTo, ToolWindowLayout::kFloating);
  EXPECT_EQ(loaded.LastDock, saved.LastDock);
  EXPECT_EQ(loaded.FloatLeft, saved.FloatLeft);
  EXPECT_EQ(loaded.FloatTop, saved.FloatTop);
  EXPECT_FALSE(loaded.Visible);
  EXPECT_FALSE(next.tools->FloatingWindow().Visible());
  // A dock the form does not have keeps the bar where it is; a name it does not have is passed over.
  kept[0].layout.DockedTo = 7;
  kept.push_back({"Other", saved});
  DockedForm third;
  third.site->ApplyLayout(kept);
  EXPECT_EQ(third.tools->DockedTo(), 2);
}

}  // namespace
}  // namespace sorel
