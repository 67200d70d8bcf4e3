#include "dictionaryFiles.h"
#include <algorithm>
#include <climits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

// ENTRY_LIMIT: no entry of a real dictionary comes near it; a damaged index
// could ask for gigabytes. CACHED_CHUNKS: common words' entries lie in a few
// hundred chunks; a word-by-word text reads many of them again.
enum { ENTRY_LIMIT = 1 << 20, HEADER_READ = 1 << 17, CACHED_CHUNKS = 128 };

// Newest first.
struct ChunkCache {
    std::mutex lock;
    std::vector<std::pair<size_t, std::shared_ptr<const std::string>>> chunks;
};

static int base64Digit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// Reads a number up to and past stop; six digits already pass 32 bits.
static int parseNumber(const char*& p, const char* end, char stop, uint32_t& value)
{
    uint64_t number = 0;
    int digits = 0;
    for (; p < end && *p != stop; ++p) {
        int digit = base64Digit(*p);
        if (digit < 0 || ++digits > 6)
            return 0;
        number = number * 64 + (uint64_t)digit;
    }
    if (p == end || digits == 0 || number > UINT32_MAX)
        return 0;
    ++p;
    value = (uint32_t)number;
    return 1;
}

// ASCII capitals, and the Latin-1 capitals (UTF-8 0xC3 0x80 to 0x9E but the
// multiplication sign), compare as their small letters.
static unsigned foldedByte(const unsigned char* s, size_t i)
{
    unsigned c = s[i];
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (i > 0 && s[i - 1] == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97)
        return c + 32;
    return c;
}

static int foldedCompare(const char* a, size_t aSize, const char* b, size_t bSize)
{
    size_t common = std::min(aSize, bSize);
    for (size_t i = 0; i < common; ++i) {
        unsigned x = foldedByte((const unsigned char*)a, i), y = foldedByte((const unsigned char*)b, i);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return aSize < bSize ? -1 : aSize > bSize ? 1 : 0;
}

int compareFolded(const std::string& a, const std::string& b)
{
    return foldedCompare(a.data(), a.size(), b.data(), b.size());
}

static size_t headwordSize(const DictionaryIndex& index, uint32_t line)
{
    return index.text.find('\t', line) - line;
}

int parseDictionaryIndex(std::string text, DictionaryIndex& index, std::string& error)
{
    index.lines.clear();
    index.text.clear();
    if (text.size() >= UINT32_MAX) {
        error = "the index is too large";
        return 0;
    }
    std::vector<uint32_t> lines;
    const char* begin = text.data();
    const char* end = begin + text.size();
    for (const char* p = begin; p < end;) {
        const char* line = p;
        while (p < end && *p != '\t' && *p != '\n')
            ++p;
        uint32_t offset, length;
        if (p == end || *p++ != '\t' || !parseNumber(p, end, '\t', offset) || !parseNumber(p, end, '\n', length)) {
            error = "line " + std::to_string(lines.size() + 1) + " of the index is not headword, offset and length";
            return 0;
        }
        lines.push_back((uint32_t)(line - begin));
    }
    index.text.swap(text);
    index.lines.swap(lines);
    auto before = [&index](uint32_t a, uint32_t b) {
        return foldedCompare(&index.text[a], headwordSize(index, a), &index.text[b], headwordSize(index, b)) < 0;
    };
    // dictd sorts its indexes this way already; one written otherwise still works.
    if (!std::is_sorted(index.lines.begin(), index.lines.end(), before))
        std::stable_sort(index.lines.begin(), index.lines.end(), before);
    return 1;
}

size_t findEntries(const DictionaryIndex& index, const std::string& word, std::vector<EntrySpan>* spans)
{
    auto compare = [&index, &word](uint32_t line) {
        return foldedCompare(&index.text[line], headwordSize(index, line), word.data(), word.size());
    };
    auto at = std::partition_point(index.lines.begin(), index.lines.end(),
        [&compare](uint32_t line) { return compare(line) < 0; });
    size_t count = 0;
    for (; at != index.lines.end() && compare(*at) == 0; ++at, ++count) {
        if (!spans)
            continue;
        const char* p = &index.text[*at + headwordSize(index, *at) + 1];
        const char* end = index.text.data() + index.text.size();
        EntrySpan span;
        parseNumber(p, end, '\t', span.offset);
        parseNumber(p, end, '\n', span.length);
        spans->push_back(span);
    }
    return count;
}

static unsigned littleEndian16(const unsigned char* p)
{
    return p[0] | p[1] << 8;
}

// The gzip header: magic, method, flags, time, extra flags, system; then the
// extra field, whose "RA" subfield gives the chunk length and each chunk's
// compressed size; then the name, comment and header check if flagged.
static int parseDictzipHeader(const unsigned char* data, size_t size, uint64_t fileSize, DictzipFile& file)
{
    enum { FLAG_HEADER_CHECK = 2, FLAG_EXTRA = 4, FLAG_NAME = 8, FLAG_COMMENT = 16 };
    if (size < 12 || data[0] != 0x1F || data[1] != 0x8B || data[2] != 8 || !(data[3] & FLAG_EXTRA))
        return 0;
    int flags = data[3];
    size_t extraEnd = 12 + littleEndian16(data + 10);
    if (extraEnd > size)
        return 0;
    file.chunkStarts.clear();
    for (size_t at = 12; at + 4 <= extraEnd;) {
        const unsigned char* subfield = data + at;
        size_t fieldSize = littleEndian16(subfield + 2);
        at += 4 + fieldSize;
        if (at > extraEnd)
            return 0;
        if (subfield[0] != 'R' || subfield[1] != 'A')
            continue;
        const unsigned char* field = subfield + 4;
        size_t count = fieldSize >= 6 ? littleEndian16(field + 4) : 0;
        file.chunkLength = fieldSize >= 6 ? littleEndian16(field + 2) : 0;
        if (fieldSize < 6 + 2 * count || littleEndian16(field) != 1 || file.chunkLength == 0 || count == 0)
            return 0;
        uint64_t offset = 0;
        file.chunkStarts.clear();
        for (size_t i = 0; i < count; ++i) {
            file.chunkStarts.push_back(offset);
            offset += littleEndian16(field + 6 + 2 * i);
        }
        file.chunkStarts.push_back(offset);
    }
    if (file.chunkStarts.empty())
        return 0;
    size_t at = extraEnd;
    for (int flag : { FLAG_NAME, FLAG_COMMENT }) {
        if (!(flags & flag))
            continue;
        while (at < size && data[at])
            ++at;
        if (++at > size)
            return 0;
    }
    if (flags & FLAG_HEADER_CHECK)
        at += 2;
    for (uint64_t& start : file.chunkStarts)
        start += at;
    return file.chunkStarts.back() <= fileSize;
}

int openDictzip(int descriptor, DictzipFile& file, std::string& error)
{
    struct stat status;
    std::string header;
    ssize_t got = -1;
    if (fstat(descriptor, &status) == 0) {
        header.resize((size_t)std::min<off_t>(status.st_size, HEADER_READ));
        got = pread(descriptor, &header[0], header.size(), 0);
    }
    const unsigned char* bytes = (const unsigned char*)header.data();
    if (got < 0 || !parseDictzipHeader(bytes, (size_t)got, (uint64_t)status.st_size, file)) {
        error = "the data file is not dictzip or is cut short";
        return 0;
    }
    file.descriptor = descriptor;
    file.cache = std::make_shared<ChunkCache>();
    return 1;
}

static std::shared_ptr<const std::string> cachedChunk(ChunkCache& cache, size_t index)
{
    std::lock_guard<std::mutex> hold(cache.lock);
    for (size_t i = 0; i < cache.chunks.size(); ++i) {
        if (cache.chunks[i].first == index) {
            std::rotate(cache.chunks.begin(), cache.chunks.begin() + (long)i, cache.chunks.begin() + (long)i + 1);
            return cache.chunks[0].second;
        }
    }
    return 0;
}

static void keepChunk(ChunkCache& cache, size_t index, std::shared_ptr<const std::string> chunk)
{
    std::lock_guard<std::mutex> hold(cache.lock);
    if (cache.chunks.size() == CACHED_CHUNKS)
        cache.chunks.pop_back();
    cache.chunks.insert(cache.chunks.begin(), std::make_pair(index, chunk));
}

// The chunk's text, as much as it holds up to the chunk length.
static std::shared_ptr<const std::string> inflateChunk(const DictzipFile& file, size_t index, z_stream& stream)
{
    std::shared_ptr<const std::string> cached = cachedChunk(*file.cache, index);
    if (cached)
        return cached;
    std::string packed((size_t)(file.chunkStarts[index + 1] - file.chunkStarts[index]), '\0');
    if (pread(file.descriptor, &packed[0], packed.size(), (off_t)file.chunkStarts[index]) != (ssize_t)packed.size())
        return 0;
    auto chunk = std::make_shared<std::string>(file.chunkLength, '\0');
    inflateReset(&stream);
    stream.next_in = (Bytef*)&packed[0];
    stream.avail_in = (uInt)packed.size();
    stream.next_out = (Bytef*)&(*chunk)[0];
    stream.avail_out = file.chunkLength;
    int result = inflate(&stream, Z_SYNC_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END)
        return 0;
    chunk->resize(stream.total_out);
    keepChunk(*file.cache, index, chunk);
    return chunk;
}

int readDictzipEntry(const DictzipFile& file, EntrySpan span, std::string& text, std::string& error)
{
    text.clear();
    uint64_t end = (uint64_t)span.offset + span.length;
    size_t chunkCount = file.chunkStarts.size() - 1;
    if (span.length > ENTRY_LIMIT || end > (uint64_t)file.chunkLength * chunkCount) {
        error = "an entry lies outside the data";
        return 0;
    }
    if (span.length == 0)
        return 1;
    size_t first = span.offset / file.chunkLength, last = (size_t)((end - 1) / file.chunkLength);
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        error = "no memory to inflate";
        return 0;
    }
    int ok = 1;
    for (size_t i = first; ok && i <= last; ++i) {
        uint64_t chunkStart = (uint64_t)i * file.chunkLength;
        uint64_t from = std::max<uint64_t>(span.offset, chunkStart), to = std::min(end, chunkStart + file.chunkLength);
        std::shared_ptr<const std::string> chunk = inflateChunk(file, i, stream);
        ok = chunk && chunk->size() >= to - chunkStart;
        if (ok)
            text.append(*chunk, (size_t)(from - chunkStart), (size_t)(to - from));
        else
            error = "chunk " + std::to_string(i) + " of the data is damaged or cannot be read";
    }
    inflateEnd(&stream);
    return ok;
}
