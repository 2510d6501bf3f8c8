// The services and the controls a window reaches the system through, bundled for passing around.
#pragma once
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/printing.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/restart.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/system.h"
#include "platform/text_compare.h"
#include "ui/controls.h"

namespace sorel {

struct Platform {
  Registry& registry;
  ProfileFiles& profiles;
  FileSystem& files;
  TextCompare& compare;
  SystemInfo& system;
  Dialogs& dialogs;
  Fonts& fonts;
  Restart& restart;
  Ui& ui;
  Application& app;
  Printing& printing;
  Shell& shell;
  Sockets& sockets;
};

}  // namespace sorel
