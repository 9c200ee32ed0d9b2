#include "app/win32/popup_menu.h"

#include <string>

#include "platform/win32/handle_owners.h"

namespace {

// Menus read '&' as the mark of an accelerator letter; the captions are plain text.
std::wstring withoutAccelerators(const std::wstring& caption) {
  std::wstring text;
  for (const wchar_t ch : caption) {
    text += ch;
    if (ch == L'&') text += L'&';
  }
  return text;
}

}  // namespace

TMenu buildPopupMenu(const std::vector<TMenuItem*>& items) {
  TMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TMenuItem& item = *items[i];
    if (item.isSeparator()) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    // TrackPopupMenu returns 0 for "nothing chosen", hence the plus one.
    const std::wstring text = withoutAccelerators(item.Caption());
    AppendMenuW(menu.get(),
                MF_STRING | (item.Enabled() ? MF_ENABLED : MF_GRAYED) | (item.Checked() ? MF_CHECKED : MF_UNCHECKED),
                i + 1, text.c_str());
  }
  return menu;
}

void showPopupMenu(HWND owner, const std::vector<TMenuItem*>& items, int screenX, int screenY) {
  const TMenu menu = buildPopupMenu(items);
  if (!menu) return;
  const BOOL chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                     screenX, screenY, 0, owner, nullptr);
  if (chosen > 0 && static_cast<std::size_t>(chosen) <= items.size()) {
    items[static_cast<std::size_t>(chosen) - 1]->Click();
  }
}
