// Any index and any data file (the input's bytes before and after its first
// zero byte): loading, lookups, reading entries and taking them apart stay
// in bounds, and what they give is what the index asked for. The index's
// bytes also go through the reader of the English tagger's answers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <sys/mman.h>
#include <unistd.h>
#include "dictionaryFiles.h"
#include "dictionarySenses.h"
#include "taggerAnswer.h"

static void takeApart(const std::string& word, const std::string& entry)
{
    std::vector<Sense> senses;
    addSenses(word, entry, senses);
    rankSenses(senses);
    for (const Sense& sense : senses) {
        if (sense.genders.size() != sense.translations.size())
            abort();
        for (const std::string& translation : sense.translations)
            if (translation.empty() || translation.size() > entry.size())
                abort();
    }
    size_t index = 99;
    const Sense* sense = senseOfClass(senses, CLASS_NOUN, index);
    if (sense ? index >= sense->translations.size() : !senses.empty())
        abort();
    // The same bytes as the tagger's answer.
    std::vector<EnglishWord> words;
    if (parseTaggedStream(entry, words))
        for (const EnglishWord& parsed : words)
            if (parsed.lemma.size() + parsed.before.size() > entry.size())
                abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int dataFile = memfd_create("dictionary", 0);
    const uint8_t* zero = (const uint8_t*)memchr(data, 0, size);
    size_t indexSize = zero ? (size_t)(zero - data) : size;
    std::string indexText((const char*)data, indexSize);
    size_t dataSize = zero ? size - indexSize - 1 : 0;
    if (ftruncate(dataFile, 0) != 0 || (dataSize && pwrite(dataFile, zero + 1, dataSize, 0) != (ssize_t)dataSize))
        abort();

    takeApart("house", indexText);
    DictionaryIndex index;
    std::string error;
    if (!parseDictionaryIndex(indexText, index, error)) {
        if (error.empty() || !index.lines.empty())
            abort();
        return 0;
    }
    DictzipFile dictzip;
    int opened = openDictzip(dataFile, dictzip, error);
    // The first lines and entries are enough, and keep each run quick.
    int reads = 0;
    for (size_t i = 0; i < index.lines.size() && i < 32; ++i) {
        uint32_t line = index.lines[i];
        std::string headword = index.text.substr(line, index.text.find('\t', line) - line);
        std::vector<EntrySpan> spans;
        if (findEntries(index, headword, &spans) == 0 || spans.empty())
            abort();
        for (EntrySpan span : spans) {
            if (++reads > 8)
                return 0;
            std::string text;
            if (!opened || !readDictzipEntry(dictzip, span, text, error))
                continue;
            if (text.size() != span.length)
                abort();
            // Long entries take long and find nothing that short ones would not.
            if (text.size() <= 4096)
                takeApart(headword, text);
        }
    }
    return 0;
}
