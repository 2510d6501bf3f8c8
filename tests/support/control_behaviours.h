// One suite of control behaviours, run natively against the in-memory controls and under Wine
// against the Win32 ones: the windows' tests may trust the fakes as far as both pass it.
#pragma once
#include <functional>
#include <ostream>
#include <vector>

#include "ui/controls.h"

namespace sorel::test {

// What only a user can do to a form shown modally, done the way each backend allows: queued
// before ShowModal, it happens once the form is up, in the order queued.
class ModalUser {
 public:
  virtual ~ModalUser() = default;
  virtual void ClickWhenShown(Form& form, Button& button) = 0;
  virtual void CloseWhenShown(Form& form) = 0;  // the close box
  virtual void PressEnterWhenShown(Form& form) = 0;
  // An event from outside the form (the network's), delivered by the modal loop.
  virtual void RunWhenShown(std::function<void()> event) = 0;
};

struct ControlBackend {
  Ui& ui;
  Application& app;
  ModalUser& user;
};

struct ControlBehaviour {
  const char* name;
  void (*check)(ControlBackend& backend);
};

const std::vector<ControlBehaviour>& ControlBehaviours();

// Failure messages name the behaviour.
inline void PrintTo(const ControlBehaviour& behaviour, std::ostream* out) { *out << behaviour.name; }

}  // namespace sorel::test
