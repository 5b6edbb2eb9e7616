// Controls in the skin: push buttons, edit boxes, combo boxes, their
// drop-down lists and status bars, painted by the skin; the colours of
// statics, check boxes, edits and lists through the WM_CTLCOLOR* messages
// their parents answer; the client background of windows and dialogs.
#pragma once

#include <windows.h>

namespace skin {

struct WindowState;

// WM_CTLCOLOR* in a skinned parent. A colour the window's own procedure
// chose (anything but the system's default brushes) is left alone.
bool HandleControlColor(WindowState& parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

bool HandlePushButton(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool HandleEdit(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool HandleComboBox(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool HandleDropDownList(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
bool HandleStatusBar(WindowState& state, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The type of push button the skin paints (plain and default push buttons).
bool IsSkinnedPushButton(DWORD style);
// Drop-down combo boxes the program does not draw itself.
bool IsSkinnedComboBox(DWORD style);

}  // namespace skin
