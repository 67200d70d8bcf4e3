// Byte strings that a failed check prints with their control and 8-bit
// bytes escaped, so that expected and actual can be told apart.
#pragma once
#include <cstdio>
#include <string>
#include <doctest/doctest.h>

struct Bytes {
    std::string value;
    Bytes(const std::string& v) : value(v) {}
    Bytes(const char* v) : value(v) {}
    Bytes(const char* v, size_t length) : value(v, length) {}
    bool operator==(const Bytes& other) const { return value == other.value; }
};

inline std::string escapeBytes(const std::string& value)
{
    std::string out = "\"";
    char escaped[8];
    for (size_t i = 0; i < value.size() && i < 400; ++i) {
        unsigned char c = value[i];
        bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
        snprintf(escaped, sizeof escaped, plain ? "%c" : "\\x%02X", c);
        out += escaped;
    }
    return out + (value.size() > 400 ? "...\" (" + std::to_string(value.size()) + " bytes)" : "\"");
}

namespace doctest {
template <> struct StringMaker<Bytes> {
    static String convert(const Bytes& b) { return escapeBytes(b.value).c_str(); }
};
}
