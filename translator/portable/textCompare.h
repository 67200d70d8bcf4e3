// The one thing the text logic needs from the platform: the system's
// case-insensitive comparison of single-byte text. Windows builds use
// lstrcmpiA; the native build (sanitizers, fuzzers, service) folds
// Windows-1252 case itself.
#pragma once

int textEqualsNoCase(const char* a, const char* b);
