// The senses of a word from its dictionary entries (UTF-8 text as FreeDict
// writes it: the headword line, then one line of translations per sense,
// with examples, notes, synonyms and cross-references indented below).
#pragma once
#include <string>
#include <vector>

struct Sense {
    std::vector<std::string> translations;  // without grammar tags, labels or pronunciation
    int headwordMatch;  // 2: the entry spells the word as asked, 1: in another case, 0: another form
    int examples;       // example lines of the entry
    int labelled;       // 1 when the sense names a field ("[zool.]") before its translations
};

// Appends the senses of one entry for word. Returns the target of the
// entry's first cross-reference ("see: {x}") when it has no sense of its
// own, otherwise "".
std::string addSenses(const std::string& word, const std::string& entry, std::vector<Sense>& senses);
// The dictionary lists a word's senses in no order of use; the common ones
// come with examples. Spelling as asked first, then the most examples (those
// of a field's sense count half), otherwise the dictionary's order. Other forms go when there are senses of
// the word as asked.
void rankSenses(std::vector<Sense>& senses);
