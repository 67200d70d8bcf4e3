#include "apertiumStream.h"

// Written escaped, these reach the end of the pipeline unchanged.
static int isSpecial(char c)
{
    switch (c) {
    case '\\': case '[': case ']': case '$': case '@':
    case '/': case '<': case '>': case '{': case '}':
        return 1;
    }
    return 0;
}

// Characters that no escape carries through every stage go into a
// superblank of their own, which the stages pass on untouched: the
// post-generator drops a tilde, and the lexical selection stage waits for
// ever on a caret after the last word of a chunk, even in a superblank, so
// there the caret is this private-use character, which no Windows-1252
// text holds.
static const char CaretStandIn[] = "\xEE\x81\x9E";

static int isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void textToStream(const std::string& text, std::string& stream)
{
    stream.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (isWhite(text[i])) {
            size_t end = i;
            while (end < text.size() && isWhite(text[end]))
                ++end;
            if (end - i == 1 && text[i] == ' ')
                stream += ' ';
            else
                stream += '[' + text.substr(i, end - i) + ']';
            i = end;
            continue;
        }
        char c = text[i++];
        // Stages drop control bytes, which would join the words on either
        // side.
        if ((unsigned char)c < 0x20 || c == 0x7F) {
            stream += ' ';
        } else if (c == '^') {
            stream += std::string("[") + CaretStandIn + "]";
        } else if (c == '~' || c == '*' || c == '#' || c == '@') {
            // Unknown words come back marked by these.
            stream += std::string("[") + c + "]";
        } else {
            if (isSpecial(c))
                stream += '\\';
            stream += c;
        }
    }
    stream += ".[]";
}

void streamToText(const std::string& stream, std::string& text)
{
    text.clear();
    size_t standInSize = sizeof CaretStandIn - 1;
    for (size_t i = 0; i < stream.size(); ++i) {
        char c = stream[i];
        if (c == '\\' && i + 1 < stream.size()) {
            text += stream[++i];
        } else if (stream.compare(i, standInSize, CaretStandIn) == 0) {
            text += '^';
            i += standInSize - 1;
        } else if (c == '.' && stream.compare(i + 1, 2, "[]") == 0) {
            i += 2;
        } else if (c != '[' && c != ']') {
            text += c;
        }
    }
}
