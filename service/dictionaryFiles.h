// The two files of a dictd dictionary: the index, "headword TAB offset TAB
// length" lines with the numbers in dictd's base64, and the entries,
// dictzip-compressed (gzip whose extra field lists chunks that inflate on
// their own), so that an entry costs only the chunks it spans.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct EntrySpan {
    uint32_t offset;
    uint32_t length;
};

struct DictionaryIndex {
    std::string text;              // the index file as read
    std::vector<uint32_t> lines;   // where each line starts, in headword order
};

// Takes text as the index. 1, or 0 with what is wrong in error (the index
// is then empty).
int parseDictionaryIndex(std::string text, DictionaryIndex& index, std::string& error);
// Orders as the index does: ASCII and Latin-1 letters without regard to
// case, everything else by its UTF-8 bytes.
int compareFolded(const std::string& a, const std::string& b);
// The entries whose headword equals word without regard to the case of
// ASCII and Latin-1 letters, in index order. Returns their count.
size_t findEntries(const DictionaryIndex& index, const std::string& word, std::vector<EntrySpan>* spans);

struct ChunkCache;

struct DictzipFile {
    int descriptor = -1;
    uint32_t chunkLength = 0;            // bytes of text in every chunk but the last
    std::vector<uint64_t> chunkStarts;   // file offset of each chunk, and of the end
    std::shared_ptr<ChunkCache> cache;   // the chunks inflated last, for all threads
};

// Reads the header of the open file descriptor. 1, or 0 with what is wrong
// in error: not dictzip, or shorter than its chunks say.
int openDictzip(int descriptor, DictzipFile& file, std::string& error);
// The entry's text, inflated from the chunks it spans. 1, or 0 with error.
int readDictzipEntry(const DictzipFile& file, EntrySpan span, std::string& text, std::string& error);
