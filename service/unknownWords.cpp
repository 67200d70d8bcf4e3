#include "unknownWords.h"
#include <vector>
#include "dictionaryTranslation.h"

static int isWordByte(char c)
{
    unsigned char u = (unsigned char)c;
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
        || c == '\'';
}

// The text as a stream carries it: the stream's special characters escaped.
static void appendEscaped(const std::string& text, std::string& out)
{
    for (char c : text) {
        if (std::string("\\[]^$@/<>{}*#").find(c) != std::string::npos)
            out += '\\';
        out += c;
    }
}

// The service sends the characters that mark words only inside superblanks
// or escaped, so any other is a mark.
int replaceUnknownWords(int pairRow, std::string& stream)
{
    std::string out;
    int unknown = 0, inBlank = 0;
    for (size_t i = 0; i < stream.size(); ++i) {
        char c = stream[i];
        if (c == '\\' && i + 1 < stream.size()) {
            out += stream.substr(i++, 2);
            continue;
        }
        if (c == '[' || c == ']')
            inBlank = c == '[';
        int mark = !inBlank && (c == '*' || c == '#' || c == '@') && (i == 0 || !isWordByte(stream[i - 1]));
        if (!mark) {
            out += c;
            continue;
        }
        size_t end = i + 1;
        while (end < stream.size() && isWordByte(stream[end]))
            ++end;
        std::string word = stream.substr(i + 1, end - i - 1);
        i = end - 1;
        std::vector<Sense> senses;
        if (c == '*') {
            ++unknown;
            lookUpWord(pairRow, word, senses);
        }
        size_t index = 0;
        const Sense* sense = senseOfClass(senses, CLASS_OTHER, index);
        appendEscaped(sense ? plainTranslation(sense->translations[index]) : word, out);
    }
    stream.swap(out);
    return unknown;
}
