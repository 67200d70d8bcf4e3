// Windows-1252, the program's single-byte text, to UTF-8, Apertium's, and back.
#pragma once
#include <string>

// Bytes that Windows-1252 leaves undefined become "?".
void windows1252ToUtf8(const std::string& text, std::string& out);
// Characters that Windows-1252 cannot hold, and broken sequences, become "?".
void utf8ToWindows1252(const std::string& text, std::string& out);
