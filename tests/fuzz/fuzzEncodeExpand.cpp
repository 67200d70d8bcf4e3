// Any typed text and pair code: the request fits netBuffer, and decoding
// the encoded text gives back the typed text with its blanks folded.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include "requestComposer.h"
#include "engineBuffers.h"
#include "translationState.h"

static std::string foldBlanks(const char* text)
{
    std::string out;
    int plusAllowed = 0;
    for (; *text; ++text) {
        if (*text == ' ') {
            if (plusAllowed)
                out += ' ';
            plusAllowed = 0;
        } else {
            out += *text;
            plusAllowed = 1;
        }
    }
    return out;
}

static std::string formDecode(const char* text)
{
    std::string out;
    for (; *text; ++text) {
        if (*text == '+') {
            out += ' ';
        } else if (*text == '%') {
            if (!text[1] || !text[2])
                abort();
            out += (char)strtol(std::string(text + 1, 2).c_str(), 0, 16);
            text += 2;
        } else {
            out += *text;
        }
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static EngineBuffers buffers;
    if (size < 1)
        return 0;
    size_t codeLength = data[0] % PAIR_CODE_SIZE;
    if (size - 1 < codeLength)
        return 0;
    memcpy(pairCode, data + 1, codeLength);
    pairCode[codeLength] = 0;
    size_t textLength = size - 1 - codeLength;
    if (textLength > SOURCE_TEXT_SIZE - 1)
        textLength = SOURCE_TEXT_SIZE - 1;
    memcpy(sourceText, data + 1 + codeLength, textLength);
    sourceText[textLength] = 0;

    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    size_t encoded = strlen(workText);
    if (encoded > WORK_TEXT_SIZE - 1)
        abort();
    std::string decoded = formDecode(workText);
    std::string expected = foldBlanks(sourceText);
    // A text too long for workText is cut: its decoding is then a prefix.
    if (encoded + 3 < WORK_TEXT_SIZE - 1 ? decoded != expected : expected.compare(0, decoded.size(), decoded))
        abort();

    expandRequestTemplate(netBuffer, RequestTemplate);
    std::string request = std::string("GET /cgi-bin/translate?doit=done&urltext=") + workText + "&lp="
        + pairCode + " HTTP/1.0\n\n";
    if (request != netBuffer || request.size() > NET_BUFFER_SIZE - 1)
        abort();
    return 0;
}
