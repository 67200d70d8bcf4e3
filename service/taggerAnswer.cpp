#include "taggerAnswer.h"
#include "apertiumStream.h"

// One analysis: lemma, tags, and a multiword's queue after "#".
static void addAnalysis(const std::string& unit, const std::string& before, std::vector<EnglishWord>& words)
{
    EnglishWord word;
    word.before = before;
    word.unknown = !unit.empty() && unit[0] == '*';
    size_t tag = unit.find('<');
    word.lemma = unit.substr(word.unknown, tag == std::string::npos ? std::string::npos : tag - word.unknown);
    while (tag != std::string::npos && tag < unit.size() && unit[tag] == '<') {
        size_t close = unit.find('>', tag);
        if (close == std::string::npos)
            break;
        word.tags.push_back(unit.substr(tag + 1, close - tag - 1));
        tag = close + 1;
    }
    if (tag != std::string::npos && tag < unit.size() && unit[tag] == '#')
        word.lemma += unit.substr(tag + 1);
    if (!word.tags.empty())
        word.wordClass = word.tags[0];
    words.push_back(word);
}

int parseTaggedStream(const std::string& stream, std::vector<EnglishWord>& words)
{
    words.clear();
    std::string between, unit, text;
    int inUnit = 0, depth = 0;
    for (size_t i = 0; i < stream.size(); ++i) {
        char c = stream[i];
        if (c == '\\' && i + 1 < stream.size()) {
            // Outside a unit the escape stays for streamToText.
            if (!inUnit)
                between += c;
            (inUnit ? unit : between) += stream[++i];
        } else if (inUnit && c == '<') {
            unit += c;
            ++depth;
        } else if (inUnit && c == '>') {
            unit += c;
            depth -= depth > 0;
        } else if (inUnit && (c == '$' || (c == '+' && depth == 0))) {
            streamToText(between, text);
            addAnalysis(unit, text, words);
            between.clear();
            unit.clear();
            inUnit = c == '+';
        } else if (inUnit) {
            unit += c;
        } else if (c == '^') {
            inUnit = 1;
        } else {
            between += c;
        }
    }
    if (inUnit)
        return 0;
    // The full stop that textToStream adds.
    if (!words.empty() && words.back().lemma == "." && words.back().wordClass == "sent")
        words.pop_back();
    return 1;
}
