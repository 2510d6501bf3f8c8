// The services a window or engine class reaches the system through, bundled for passing around.
#pragma once
#include "controls.h"
#include "dialogs.h"
#include "files.h"
#include "fonts.h"
#include "printing.h"
#include "profile.h"
#include "registry.h"
#include "restart.h"
#include "shell.h"
#include "sockets.h"
#include "system.h"
#include "text_compare.h"

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
