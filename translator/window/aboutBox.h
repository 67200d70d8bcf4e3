// The About box: version, copyright and the maker's contact points.
#pragma once
#include <windows.h>

void showAboutBox(HWND owner);
