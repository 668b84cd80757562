// Stand-in only: what MessageBoxA was asked to show, so that tests can check
// a box's owner window and style as well as its words.
#pragma once

#include "win32/win32.h"

#include <string>
#include <vector>

namespace standin {

struct ShownMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

// The boxes shown since the last call, oldest first.
std::vector<ShownMessageBox> takeMessageBoxes();

// When on, each box's line on standard error ends with its owner (null or
// set) and style: "MessageBox [caption]: text {owner null, style 0x10}".
// Death tests use it, since the log dies with the process.
void showMessageBoxDetails(bool on);

}  // namespace standin
