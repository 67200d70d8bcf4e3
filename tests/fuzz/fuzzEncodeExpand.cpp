// Any typed text and pair code: decoding the encoded text gives back the
// typed text with its blanks folded, and the request holds both.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include "requestComposer.h"
#include "textLogicBuffers.h"
#include "translationState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TextLogicBuffers buffers;
    size_t codeLength = size ? data[0] % PAIR_CODE_SIZE : 0;
    if (size < 1 + codeLength)
        return 0;
    memcpy(pairCode, data + 1, codeLength);
    pairCode[codeLength] = 0;
    size_t textLength = std::min(size - 1 - codeLength, (size_t)SOURCE_TEXT_SIZE - 1);
    memcpy(sourceText, data + 1 + codeLength, textLength);
    sourceText[textLength] = 0;

    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    size_t encoded = strlen(workText);
    if (encoded > WORK_TEXT_SIZE - 1)
        abort();
    // Expected: leading blanks gone, each run of blanks one.
    std::string decoded, expected;
    for (const char* c = sourceText; *c; ++c)
        if (*c != ' ' || (!expected.empty() && expected.back() != ' '))
            expected += *c;
    for (const char* c = workText; *c; ++c) {
        if (*c == '%' && (!c[1] || !c[2]))
            abort();
        decoded += *c == '+' ? ' ' : *c == '%' ? (char)strtol(std::string(c + 1, 2).c_str(), 0, 16) : *c;
        c += *c == '%' ? 2 : 0;
    }
    // A text too long for workText is cut: its decoding is then a prefix.
    if (encoded + 3 < WORK_TEXT_SIZE - 1 ? decoded != expected : expected.compare(0, decoded.size(), decoded))
        abort();

    // Each of the two placeholders gives way to its value, whatever the bytes.
    expandRequestTemplate(netBuffer, RequestTemplate);
    if (strlen(netBuffer) != strlen(RequestTemplate) - 4 + encoded + strlen(pairCode) || !strstr(netBuffer, workText))
        abort();
    return 0;
}
