// Words that Apertium does not know, looked up in the pair's dictionary.
#pragma once
#include <string>

// In a generator's answer in stream format with unknown words marked
// ("*smartphone"), puts the first translation that the pair's dictionary
// gives in place of each; a word it does not know either stays as typed.
// The marks of words the generator could not inflect ("#") or that the
// bilingual dictionary lacks ("@") go. Returns how many words were unknown.
int replaceUnknownWords(int pairRow, std::string& stream);
