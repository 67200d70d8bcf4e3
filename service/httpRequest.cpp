#include "httpRequest.h"
#include <cstring>

static const char TranslatePath[] = "/cgi-bin/translate";
static const char HealthPath[] = "/health";

// Empty lines before the request line are ignored, as a server should.
static size_t requestStart(const char* bytes, size_t length)
{
    size_t start = 0;
    for (;;) {
        if (start < length && bytes[start] == '\n')
            start += 1;
        else if (start + 1 < length && bytes[start] == '\r' && bytes[start + 1] == '\n')
            start += 2;
        else
            return start;
    }
}

int requestComplete(const char* bytes, size_t length)
{
    for (size_t i = requestStart(bytes, length); i < length; ++i) {
        if (bytes[i] != '\n')
            continue;
        size_t next = i + 1;
        if (next < length && bytes[next] == '\r')
            ++next;
        if (next < length && bytes[next] == '\n')
            return 1;
    }
    return 0;
}

static int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Undoes the form encoding: "+" is a blank, "%XX" a byte.
static int formDecode(const char* bytes, size_t length, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] == '+') {
            out += ' ';
        } else if (bytes[i] == '%') {
            if (i + 2 >= length)
                return 0;
            int high = hexValue(bytes[i + 1]);
            int low = hexValue(bytes[i + 2]);
            if (high < 0 || low < 0)
                return 0;
            out += (char)(high * 16 + low);
            i += 2;
        } else {
            out += bytes[i];
        }
    }
    return 1;
}

static int badRequest(std::string& reason, const std::string& why)
{
    reason = why;
    return 400;
}

// Reads the request line: "GET path HTTP/1.x". Returns 200 with the target
// (path and query), or the error's status.
static int readRequestLine(const char* bytes, size_t length, std::string& target, std::string& reason)
{
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)bytes[i];
        if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F)
            return badRequest(reason, "The request holds control bytes.");
    }
    size_t start = requestStart(bytes, length);
    bytes += start;
    length -= start;
    size_t lineEnd = 0;
    while (lineEnd < length && bytes[lineEnd] != '\n')
        ++lineEnd;
    std::string line(bytes, lineEnd);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    for (unsigned char c : line)
        if (c >= 0x80 || c == '\t')
            return badRequest(reason, "The request line holds bytes that do not belong in it.");

    size_t firstBlank = line.find(' ');
    size_t secondBlank = firstBlank == std::string::npos ? firstBlank : line.find(' ', firstBlank + 1);
    if (secondBlank == std::string::npos || line.find(' ', secondBlank + 1) != std::string::npos
        || line.compare(secondBlank + 1, 5, "HTTP/") != 0)
        return badRequest(reason, "The request line is not \"GET path HTTP/1.0\".");
    if (line.compare(0, firstBlank, "GET") != 0) {
        reason = "Only GET requests are answered.";
        return 405;
    }
    target = line.substr(firstBlank + 1, secondBlank - firstBlank - 1);
    return 200;
}

// Takes the text and the pair code from the query's parameters; others are
// ignored.
static int readQuery(const std::string& query, std::string& text, std::string& pair, std::string& reason)
{
    int haveText = 0, havePair = 0;
    std::string name, value;
    for (size_t start = 0; start <= query.size();) {
        size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        size_t equals = query.find('=', start);
        if (equals == std::string::npos || equals > end)
            equals = end;
        if (!formDecode(query.data() + start, equals - start, name)
            || !formDecode(query.data() + equals + 1, equals < end ? end - equals - 1 : 0, value))
            return badRequest(reason, "A parameter has a \"%\" that is not followed by two hexadecimal digits.");
        if (name == "urltext" || name == "lp") {
            int& seen = name == "lp" ? havePair : haveText;
            if (seen)
                return badRequest(reason, "The parameter " + name + " is given more than once.");
            seen = 1;
            (name == "lp" ? pair : text) = value;
        }
        start = end + 1;
    }
    if (!haveText)
        return badRequest(reason, "The request has no text to translate (parameter urltext).");
    if (!havePair)
        return badRequest(reason, "The request names no language pair (parameter lp).");
    if (memchr(text.data(), 0, text.size()))
        return badRequest(reason, "The text to translate holds a zero byte.");
    return 200;
}

// Copies the pair code in lower case, if it can be one.
static int checkPairCode(const std::string& pair, char* pairCode, size_t size, std::string& reason)
{
    // The code goes to the log: control and 8-bit bytes there could drive
    // the terminal that shows it.
    for (unsigned char c : pair)
        if (c <= 0x20 || c >= 0x7F)
            return badRequest(reason, "The language pair holds bytes that no pair code has.");
    if (pair.size() >= size)
        return badRequest(reason, "There is no language pair \"" + pair.substr(0, 40) + "\".");
    for (size_t i = 0; i <= pair.size(); ++i)
        pairCode[i] = (char)(pair[i] >= 'A' && pair[i] <= 'Z' ? pair[i] - 'A' + 'a' : pair[i]);
    return 200;
}

int parseRequest(const char* bytes, size_t length, TranslateRequest& request, std::string& reason)
{
    std::string target, pair;
    request.health = 0;
    int status = readRequestLine(bytes, length, target, reason);
    if (status != 200)
        return status;
    size_t question = target.find('?');
    std::string path = target.substr(0, question);
    request.health = path == HealthPath;
    if (request.health)
        return 200;
    if (path != TranslatePath) {
        reason = "There is no page " + path.substr(0, 200) + " here; translations are at " + TranslatePath + ".";
        return 404;
    }
    status = readQuery(question == std::string::npos ? "" : target.substr(question + 1), request.text, pair, reason);
    if (status != 200)
        return status;
    return checkPairCode(pair, request.pairCode, sizeof request.pairCode, reason);
}
