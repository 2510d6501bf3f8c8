// The control behaviour suite against the in-memory controls, on a screen other than the default.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_controls.h"
#include "tests/support/control_behaviours.h"

namespace sorel::test {
namespace {

// The user's actions on a modal form run, in order, from the form's modal handler.
class MemoryModalUser : public ModalUser {
 public:
  explicit MemoryModalUser(MemoryUi& ui) : ui_(ui) {
    ui_.modalHandler = [this](Form&) {
      for (auto& action : std::exchange(queued_, {})) action();
    };
  }
  void ClickWhenShown(Form&, Button& button) override { queued_.push_back([this, &button] { Click(ui_, button); }); }
  void CloseWhenShown(Form& form) override { queued_.push_back([this, &form] { CloseForm(ui_, form); }); }
  void PressEnterWhenShown(Form& form) override { queued_.push_back([this, &form] { PressEnter(ui_, form); }); }
  void RunWhenShown(std::function<void()> event) override {
    queued_.push_back([this, event] { ui_.events.Run(event); });
  }

 private:
  MemoryUi& ui_;
  std::vector<std::function<void()>> queued_;
};

class MemoryControlBehaviour : public testing::TestWithParam<ControlBehaviour> {
 protected:
  MemoryTextCompare compare;
  MemoryApplication app;
  MemoryUi ui;
  MemoryModalUser user{ui};
};

TEST_P(MemoryControlBehaviour, AsTheWin32ControlDoes) {
  app.screenWidth = 800;
  app.screenHeight = 600;
  ui.app = &app;
  ui.treeCompare = &compare;
  ControlBackend backend{ui, app, user};
  GetParam().check(backend);
  EXPECT_EQ(ui.events.errorsShown, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Suite, MemoryControlBehaviour, testing::ValuesIn(ControlBehaviours()),
                         [](const testing::TestParamInfo<ControlBehaviour>& info) { return info.param.name; });

// Errors of events run by ProcessMessages, as those of the dispatcher's handlers: to OnException
// while one is set (what it raises itself to the display), else to the display; later events run.
TEST(MemoryApplication, EventErrorsReachTheHandlerOrTheDisplay) {
  for (int handler : {0, 1, 2}) {  // none, one that takes the error, one that fails
    MemoryApplication app;
    std::vector<std::string> seen;
    if (handler) app.OnException = [&, handler](const std::exception& e) {
      seen.push_back(handler == 1 ? e.what() : throw std::runtime_error("handler failed"));
    };
    app.pendingEvents = {[] { throw std::runtime_error("Host not found"); }, [&] { seen.push_back("later"); }};
    app.ProcessMessages();
    seen.insert(seen.end(), app.errorsShown.begin(), app.errorsShown.end());
    const std::vector<std::string> expected[] = {
        {"later", "Host not found"}, {"Host not found", "later"}, {"later", "handler failed"}};
    EXPECT_EQ(seen, expected[handler]) << handler;
  }
}

}  // namespace
}  // namespace sorel::test
