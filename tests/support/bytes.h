// Byte strings that a failed check prints with their control and 8-bit
// bytes escaped, so that expected and actual can be told apart.
#pragma once
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
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + (char)c;
        else if (c < 0x20 || c >= 0x7F)
            out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else
            out += (char)c;
    }
    if (value.size() > 400)
        return out.substr(0, 400) + "...\" (" + std::to_string(value.size()) + " bytes)";
    return out + "\"";
}

namespace doctest {
template <> struct StringMaker<Bytes> {
    static String convert(const Bytes& b) { return escapeBytes(b.value).c_str(); }
};
}
