#include "textEncoding.h"

// Code points of the bytes 0x80 to 0x9F; 0 where the code page has none.
static const unsigned short HighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

static void appendUtf8(unsigned code, std::string& out)
{
    if (code < 0x80) {
        out += (char)code;
    } else if (code < 0x800) {
        out += (char)(0xC0 | code >> 6);
        out += (char)(0x80 | (code & 0x3F));
    } else {
        out += (char)(0xE0 | code >> 12);
        out += (char)(0x80 | (code >> 6 & 0x3F));
        out += (char)(0x80 | (code & 0x3F));
    }
}

void windows1252ToUtf8(const std::string& text, std::string& out)
{
    out.clear();
    for (unsigned char c : text) {
        unsigned code = c;
        if (c >= 0x80 && c < 0xA0)
            code = HighControls[c - 0x80] ? HighControls[c - 0x80] : '?';
        appendUtf8(code, out);
    }
}

static int windows1252Byte(unsigned code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return (int)code;
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] == code)
            return 0x80 + i;
    return '?';
}

// The smallest code point that needs a sequence of 1 + extra bytes.
static const unsigned MinimumCode[4] = { 0, 0x80, 0x800, 0x10000 };

void utf8ToWindows1252(const std::string& text, std::string& out)
{
    out.clear();
    const unsigned char* p = (const unsigned char*)text.data();
    const unsigned char* end = p + text.size();
    while (p < end) {
        unsigned c = *p++;
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
        if (c < 0x80) {
            out += (char)c;
            continue;
        }
        if (extra == 0 || c >= 0xF8 || end - p < extra) {
            out += '?';
            continue;
        }
        unsigned code = c & (0x3F >> extra);
        int valid = 1;
        for (int i = 0; i < extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                valid = 0;
            code = code << 6 | (p[i] & 0x3F);
        }
        if (!valid) {
            out += '?';
            continue;
        }
        p += extra;
        // An overlong form could smuggle in a zero byte or a "<". Surrogates
        // and code points past U+10FFFF are outside the code page anyway.
        if (code < MinimumCode[extra])
            out += '?';
        else
            out += (char)windows1252Byte(code);
    }
}
