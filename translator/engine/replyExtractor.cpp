#include "replyExtractor.h"
#include "languagePairs.h"
#include "textCompare.h"
#include "translationState.h"

const char HtmlNotFoundTag[] = "HTML_NOT_FOUND";
const char TransNotFoundTag[] = "TRANS_NOT_FOUND";

enum CleanState { BETWEEN_TAGS, IN_TEXT, TAG_START, IN_TAG, IN_END_TAG };

// The cleaned text and its room: the last byte of workText keeps the zero.
struct CleanOutput {
    char* text;
    unsigned length;
    int full;
};

static void emit(CleanOutput& out, const char* bytes, unsigned count)
{
    if (out.full || out.length + count > WORK_TEXT_SIZE - 1) {
        out.full = 1;
        return;
    }
    for (unsigned i = 0; i < count; ++i)
        out.text[out.length++] = bytes[i];
}

int cleanPage()
{
    const unsigned char* page = (const unsigned char*)netBuffer;
    while (*page && *page != '<')
        ++page;
    if (!*page)
        return 0;

    CleanOutput out = { workText, 0, 0 };
    CleanState state = BETWEEN_TAGS;
    int blankPending = 0;
    int lineHasText = 0;
    for (; *page && !out.full; ++page) {
        char c = (char)*page;
        if (c == '\r')
            continue;
        if (c == '\n' || c == ' ') {
            if (state == TAG_START)
                state = BETWEEN_TAGS;
            else if (state == IN_TEXT)
                blankPending = 1;
            continue;
        }
        if (state == IN_TAG || state == IN_END_TAG) {
            if (c == '>')
                state = BETWEEN_TAGS;
            continue;
        }
        if (state == TAG_START) {
            if (c == '/') {
                if (lineHasText)
                    emit(out, "\r\n", 2);
                lineHasText = 0;
                state = IN_END_TAG;
            } else if (c != '<' && c != '>') {
                if (lineHasText)
                    emit(out, "\r\n", 2);
                lineHasText = 0;
                if (c == 'P' || c == 'p')
                    emit(out, "\r\n", 2);
                state = IN_TAG;
            }
            continue;
        }
        // Outside markup: "/" and ">" are text like any other byte.
        if (c == '<') {
            blankPending = 0;
            state = TAG_START;
            continue;
        }
        if (blankPending)
            emit(out, " ", 1);
        blankPending = 0;
        emit(out, &c, 1);
        lineHasText = 1;
        state = IN_TEXT;
    }
    workText[out.length] = 0;
    return 1;
}

static char* lineEnd(char* line)
{
    while (*line && *line != '\r')
        ++line;
    return line;
}

static char* nextLine(char* end)
{
    if (*end == '\r')
        ++end;
    if (*end == '\n')
        ++end;
    return end;
}

static int lineEquals(const char* line, const char* end, const char* marker)
{
    for (; line < end; ++line, ++marker)
        if (*line != *marker)
            return 0;
    return *marker == 0;
}

int extractTranslation()
{
    const char* heading = headingOf(targetLanguage);
    unsigned headingLength = 0;
    while (heading[headingLength])
        ++headingLength;

    // Heading lines are compared through sourceText: the source text is no
    // longer needed once the request has gone out.
    char* translation = 0;
    for (char* line = workText;;) {
        char* end = lineEnd(line);
        if ((unsigned)(end - line) >= headingLength) {
            for (unsigned i = 0; i < headingLength; ++i)
                sourceText[i] = line[i];
            sourceText[headingLength] = 0;
            if (textEqualsNoCase(sourceText, heading)) {
                translation = nextLine(end);
                break;
            }
        }
        if (!*end)
            break;
        line = nextLine(end);
    }
    if (!translation || !*translation)
        return 0;

    char* out = workText;
    while (*translation)
        *out++ = *translation++;
    *out = 0;

    for (char* line = workText;;) {
        char* end = lineEnd(line);
        for (int m = 0; m < END_MARKER_COUNT; ++m) {
            if (lineEquals(line, end, EndMarkers[m])) {
                *line = 0;
                return 1;
            }
        }
        if (!*end)
            return 1;
        line = nextLine(end);
    }
}
