// Reading and working the controls of a window under test, from any thread
// or process. Sent messages time out instead of hanging on a stuck program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

std::wstring ReadText(HWND window);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);
bool IsChecked(HWND button);

// Types the text into an edit control character by character (WM_CHAR), as
// the keyboard would: the edit notifies its parent of every change.
bool TypeText(HWND edit, const std::wstring& text);

// Selects an entry of a combo box and tells its parent, as a choice with the
// mouse does (CBN_SELCHANGE). False when there is no such entry.
bool ChooseComboEntry(HWND combo, int index);
bool ChooseComboEntry(HWND combo, const std::wstring& text);
std::vector<std::wstring> ComboEntries(HWND combo);
int ComboSelection(HWND combo);  // CB_ERR when nothing is selected

// The same for a list box (LBN_SELCHANGE; the list needs LBS_NOTIFY to tell).
bool ChooseListEntry(HWND list, int index);

}  // namespace harness
