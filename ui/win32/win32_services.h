// Every real service of the program, built in one place and bundled for passing down.
#pragma once
#include <windows.h>

#include "ui/services.h"
#include "platform/win32/compare_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/fonts_win32.h"
#include "platform/win32/printing_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/restart_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sockets_win32.h"
#include "platform/win32/system_win32.h"
#include "ui/win32/ui_win32.h"

namespace sorel {

struct Win32Services {
  explicit Win32Services(HINSTANCE instance) : app(instance), ui(app) {}
  Win32Services(const Win32Services&) = delete;
  Win32Services& operator=(const Win32Services&) = delete;

  Win32Application app;  // first: the controls and the dialogs reach it
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32FileSystem files;
  Win32TextCompare compare;
  Win32SystemInfo system;
  Win32Dialogs dialogs;
  Win32Fonts fonts;
  Win32Restart restart{system};
  Win32Ui ui;
  Win32Printing printing{[this] { return static_cast<void*>(app.MainWindow()); }};
  Win32Shell shell{[this] { return static_cast<void*>(app.MainWindow()); }};
  // Errors raised in network event handlers are shown like those of the windows.
  Win32Sockets sockets{app.Instance(), [this](const std::exception& e) { app.ShowException(e); }};
  Platform platform{registry, profiles, files, compare, system, dialogs, fonts, restart, ui, app, printing, shell,
                    sockets};
};

}  // namespace sorel
