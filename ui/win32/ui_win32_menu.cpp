// Pop-up menus: the system menu is built from our menu items each time it opens.
#include <string>
#include <vector>

#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

// Fills a system menu with an item's sub-items; command ids index into byId.
void BuildMenu(HINSTANCE instance, MenuItem& parent, HMENU menu, std::vector<MenuItem*>& byId,
               std::vector<HBITMAP>& bitmaps) {
  for (int i = 0; i < parent.Count(); ++i) {
    MenuItem& item = parent.Item(i);
    if (item.IsSeparator()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_ID;
    info.fType = MFT_STRING | (item.RadioItem() ? MFT_RADIOCHECK : 0);
    info.fState = (item.Checked() ? MFS_CHECKED : 0) | (item.Enabled() ? 0 : MFS_GRAYED);
    std::string caption;  // a literal "&" is written twice
    for (char c : item.Caption()) caption.append(c == '&' && item.LiteralCaption() ? 2 : 1, c);
    info.dwTypeData = const_cast<char*>(caption.c_str());
    byId.push_back(&item);
    info.wID = static_cast<UINT>(byId.size());
    if (item.Count() > 0) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = CreatePopupMenu();
      BuildMenu(instance, item, info.hSubMenu, byId, bitmaps);
    }
    if (!item.Image().empty()) {
      HBITMAP bitmap = static_cast<HBITMAP>(
          LoadImageA(instance, item.Image().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
      if (bitmap) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = bitmap;
        bitmaps.push_back(bitmap);
      }
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
  }
}

class Win32PopupMenu : public PopupMenu {
 public:
  Win32PopupMenu(Win32Application& app, const std::string& name) : app_(app), root_(name) {}
  MenuItem& Items() override { return root_; }
  void Popup(Control& anchor, int x, int y) override {
    HWND owner = HandleOf(anchor);
    POINT at{x, y};
    ClientToScreen(owner, &at);
    std::vector<MenuItem*> byId;
    std::vector<HBITMAP> bitmaps;
    HMENU menu = CreatePopupMenu();
    BuildMenu(app_.Instance(), root_, menu, byId, bitmaps);
    HWND window = GetAncestor(owner, GA_ROOT);
    SetForegroundWindow(window);
    // The owner hears of each highlighted item (WM_MENUSELECT) and shows its hint.
    app_.SetOpenMenu(&byId);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y,
                                 0, window, nullptr);
    app_.SetOpenMenu(nullptr);
    DestroyMenu(menu);
    for (HBITMAP b : bitmaps) DeleteObject(b);
    if (chosen >= 1 && chosen <= byId.size()) {
      MenuItem* item = byId[chosen - 1];
      // The system returns no greyed item; the check keeps a disabled item's handler from running anyway.
      if (item->Enabled() && item->OnClick) Guarded(app_, [&] { item->OnClick(*item); });
    }
  }

 private:
  Win32Application& app_;
  MenuItem root_;
};

}  // namespace

std::unique_ptr<PopupMenu> MakePopupMenu(Win32Application& app, const std::string& name) {
  return std::make_unique<Win32PopupMenu>(app, name);
}

}  // namespace sorel::win32ui
