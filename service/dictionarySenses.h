// The senses of a word from its dictionary entries (UTF-8 text as FreeDict
// writes it: the headword line, then one line of translations per sense,
// with examples, notes, synonyms and cross-references indented below).
#pragma once
#include <string>
#include <vector>

enum WordClass { CLASS_OTHER, CLASS_NOUN, CLASS_VERB, CLASS_ADJECTIVE, CLASS_ADVERB };
// A German noun's gender as its tag names it, or its plural.
enum Gender { GENDER_NONE, GENDER_MASCULINE, GENDER_FEMININE, GENDER_NEUTER, GENDER_PLURAL };

struct Sense {
    std::vector<std::string> translations;  // without grammar tags, labels or pronunciation
    std::vector<Gender> genders;            // each translation's, when its tag gives one
    WordClass wordClass;  // from the tags of the headword line or of the translations
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
// The first sense of the class, or of any class when none has it (null when
// there are no senses); its best translation in index: a single word before
// a phrase, and one with a gender before one without for a noun.
const Sense* senseOfClass(const std::vector<Sense>& senses, WordClass wordClass, size_t& index);
// A translation as a plain phrase: the placeholders of a phrase ("etw.",
// "jdn.", "sich", "sb.", "to"), what stands in parentheses and a closing
// "!" or "?" go.
std::string plainTranslation(const std::string& translation);
