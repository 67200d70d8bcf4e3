#include "apertiumStream.h"

static int isSpecial(char c)
{
    switch (c) {
    case '\\': case '[': case ']': case '^': case '$': case '@':
    case '/': case '<': case '>': case '{': case '}':
        return 1;
    }
    return 0;
}

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
        if (isSpecial(text[i]))
            stream += '\\';
        stream += text[i++];
    }
    stream += ".[]";
}

void streamToText(const std::string& stream, std::string& text)
{
    text.clear();
    for (size_t i = 0; i < stream.size(); ++i) {
        char c = stream[i];
        if (c == '\\' && i + 1 < stream.size())
            text += stream[++i];
        else if (c == '.' && stream.compare(i + 1, 2, "[]") == 0)
            i += 2;
        else if (c != '[' && c != ']')
            text += c;
    }
}
