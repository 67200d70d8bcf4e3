// The About box: version, copyright and the maker's contact points.
#pragma once
#include <windows.h>

void showAboutBox(HWND owner);
INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void fillVersionTexts(HWND dialog);
void centerOverParent(HWND window);
