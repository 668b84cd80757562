#include "message_box_watch.h"

#include <cstdio>
#include <string>

namespace standin {

namespace {

HHOOK hook = nullptr;
HWND watchedHostWindow = nullptr;
HWND lastReported = nullptr;  // a box may be activated more than once

constexpr char kDialogClass[] = "#32770";
// The message text's control in a message box; its icon's control on Windows
// and on Wine.
constexpr int kTextControl = 0xFFFF;
constexpr int kIconControls[] = {0x0014, 0x0440};

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

bool hasButton(HWND box, int id) {
  const HWND button = GetDlgItem(box, id);
  return button != nullptr && IsWindowVisible(button);
}

// The MB_ button set the box shows.
UINT buttonStyle(HWND box) {
  if (hasButton(box, IDABORT)) return MB_ABORTRETRYIGNORE;
  if (hasButton(box, IDYES)) return hasButton(box, IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
  if (hasButton(box, IDRETRY)) return MB_RETRYCANCEL;
  if (hasButton(box, IDCANCEL)) return MB_OKCANCEL;
  return MB_OK;
}

// The MB_ICON style whose system icon the box shows; 0 for none.
UINT iconStyle(HWND box) {
  struct Known {
    LPCSTR icon;
    UINT style;
  };
  const Known known[] = {{IDI_HAND, MB_ICONERROR},
                         {IDI_QUESTION, MB_ICONQUESTION},
                         {IDI_EXCLAMATION, MB_ICONWARNING},
                         {IDI_ASTERISK, MB_ICONINFORMATION}};
  for (int control : kIconControls) {
    const HWND item = GetDlgItem(box, control);
    if (item == nullptr) continue;
    const auto shown = reinterpret_cast<HICON>(SendMessageA(item, STM_GETICON, 0, 0));
    if (shown == nullptr) continue;
    for (const Known& k : known) {
      if (LoadIconA(nullptr, k.icon) == shown) return k.style;
    }
    return 0xF0;  // an icon, but none of the system's
  }
  return 0;
}

std::string ownerName(HWND owner) {
  if (owner == nullptr) return "none";
  if (owner == watchedHostWindow) return "the host window";
  char text[32];
  std::snprintf(text, sizeof text, "window %p", static_cast<void*>(owner));
  return text;
}

void reportAndClose(HWND box) {
  const std::string caption = windowText(box);
  const HWND textControl = GetDlgItem(box, kTextControl);
  const std::string text = textControl != nullptr ? windowText(textControl) : std::string();
  const UINT style = buttonStyle(box) | iconStyle(box);
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
  std::fprintf(stderr, "MessageBox owner: %s, style: 0x%08X\n",
               ownerName(GetWindow(box, GW_OWNER)).c_str(), style);
  std::fflush(stderr);
  // The default button of every box style answers WM_COMMAND with its id.
  const int answer = buttonStyle(box) == MB_OK || buttonStyle(box) == MB_OKCANCEL ? IDOK
                     : buttonStyle(box) == MB_ABORTRETRYIGNORE                    ? IDABORT
                     : buttonStyle(box) == MB_RETRYCANCEL                         ? IDRETRY
                                                                                  : IDYES;
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
}

LRESULT CALLBACK onWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const auto window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == kDialogClass && window != lastReported) {
      lastReported = window;
      reportAndClose(window);
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

bool startMessageBoxWatch(HWND hostWindow) {
  watchedHostWindow = hostWindow;
  if (hook == nullptr) hook = SetWindowsHookExA(WH_CBT, onWindowEvent, nullptr, GetCurrentThreadId());
  return hook != nullptr;
}

void stopMessageBoxWatch() {
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  hook = nullptr;
  watchedHostWindow = nullptr;
}

}  // namespace standin
