// Any page, any target: cleaning and extraction stay inside their buffers
// and leave a terminated text that fits workText.
#include <cstdint>
#include "textLogicBuffers.h"
#include "languagePairs.h"
#include "replyExtractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TextLogicBuffers buffers;
    if (size == 0)
        return 0;
    targetLanguage = data[0] % LANGUAGE_COUNT;
    size_t pageSize = size - 1 < NET_BUFFER_SIZE - 1 ? size - 1 : NET_BUFFER_SIZE - 1;
    memcpy(netBuffer, data + 1, pageSize);
    netBuffer[pageSize] = 0;

    strcpy(workText, "encoded");
    // Not a page: no markup, and workText untouched.
    if (!cleanPage() && (memchr(netBuffer, '<', strlen(netBuffer)) || strcmp(workText, "encoded")))
        abort();
    size_t cleaned = strlen(workText);
    // Carriage returns and line feeds only come as CR LF pairs.
    if (cleaned > WORK_TEXT_SIZE - 1 || workText[0] == '\n')
        abort();
    for (size_t i = 0; i < cleaned; ++i)
        if ((workText[i] == '\r') != (workText[i + 1] == '\n'))
            abort();
    if (extractTranslation() && strlen(workText) > cleaned)
        abort();
    return 0;
}
