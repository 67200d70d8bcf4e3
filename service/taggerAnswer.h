// The answer of Apertium's English analyser and tagger taken apart: each
// word's lemma and part of speech in context.
#pragma once
#include <string>
#include <vector>

struct EnglishWord {
    std::string lemma;     // "be" for "is", a multiword's words joined by blanks
    std::string wordClass; // the first tag ("n", "vblex", "det", "sent"...); "" when unknown
    std::vector<std::string> tags;
    std::string before;    // the blanks and line breaks before the word, as typed
    int unknown;           // the analyser does not know the word; lemma is as typed
};

// Reads the tagger's answer to one chunk: units "^lemma<tag>...$", joined
// ones ("^do<vbdo><pres>+not<adv>$") as one word each, and the text between
// them. The full stop that ends every chunk is left out. 1, or 0 for an
// answer that is not the tagger's.
int parseTaggedStream(const std::string& stream, std::vector<EnglishWord>& words);
