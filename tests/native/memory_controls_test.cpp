// The control behaviour suite against the in-memory controls, on a screen other than the default.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/memory/memory_compare.h"
#include "platform/memory/memory_controls.h"
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

}  // namespace
}  // namespace sorel::test
