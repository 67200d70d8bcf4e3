// Any typed text and pair code: decoding the encoded text gives back the
// typed text with its blanks folded, and the request holds both.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include "requestComposer.h"
#include "engineBuffers.h"
#include "translationState.h"

// Leading blanks vanish, and each run of blanks becomes one.
static std::string foldBlanks(const char* text)
{
    std::string out;
    for (; *text; ++text)
        if (*text != ' ' || (!out.empty() && out.back() != ' '))
            out += *text;
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

    // Each of the two placeholders gives way to its value, whatever the bytes.
    expandRequestTemplate(netBuffer, RequestTemplate);
    if (strlen(netBuffer) != strlen(RequestTemplate) - 4 + encoded + strlen(pairCode) || !strstr(netBuffer, workText))
        abort();
    return 0;
}
