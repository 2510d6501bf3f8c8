// The splash window shown for four seconds at start.
#pragma once
#include <memory>

#include "ui/services.h"

namespace sorel {

class TfrmSplash {
 public:
  static constexpr int kWidth = 288;
  static constexpr int kHeight = 360;
  static constexpr unsigned kShowMilliseconds = 4000;

  explicit TfrmSplash(Ui& ui);
  Form& Self() { return *self_; }

 private:
  std::unique_ptr<Form> self_;
  std::unique_ptr<Image> picture_;
};

// Shows the splash, blocks the thread for its time without handling messages, then destroys it.
void ShowSplash(Platform& platform);

}  // namespace sorel
