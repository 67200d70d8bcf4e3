#include "replyExtractor.h"
#include "languagePairs.h"
#include "textCompare.h"
#include "translationState.h"

const char HtmlNotFoundTag[] = "HTML_NOT_FOUND";
const char TransNotFoundTag[] = "TRANS_NOT_FOUND";

enum CleanState { BETWEEN_TAGS, IN_TEXT, TAG_START, IN_TAG };

// The cleaned text and its room: the last byte of workText keeps the zero.
struct CleanOutput {
    char* text;
    unsigned length;
    int full;
    // A blank seen in text, written only if more text follows on the line.
    int blankPending;
    int lineHasText;
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

// Every tag ends the line that has text so far.
static void endLine(CleanOutput& out)
{
    if (out.lineHasText)
        emit(out, "\r\n", 2);
    out.lineHasText = 0;
}

static CleanState onBlank(CleanOutput& out, CleanState state)
{
    // "< " opens no tag.
    if (state == TAG_START)
        return BETWEEN_TAGS;
    if (state == IN_TEXT)
        out.blankPending = 1;
    return state;
}

// The byte after "<": anything but "<" and ">" opens a tag (an end tag
// too), while those two still wait for one.
static CleanState onTagStart(CleanOutput& out, char c)
{
    if (c == '<' || c == '>')
        return TAG_START;
    endLine(out);
    // A paragraph leaves an empty line before it.
    if (c == 'P' || c == 'p')
        emit(out, "\r\n", 2);
    return IN_TAG;
}

// Outside markup: "/" and ">" are text like any other byte.
static CleanState onText(CleanOutput& out, char c)
{
    if (c == '<') {
        out.blankPending = 0;
        return TAG_START;
    }
    if (out.blankPending)
        emit(out, " ", 1);
    out.blankPending = 0;
    emit(out, &c, 1);
    out.lineHasText = 1;
    return IN_TEXT;
}

int cleanPage()
{
    const unsigned char* page = (const unsigned char*)netBuffer;
    while (*page && *page != '<')
        ++page;
    if (!*page)
        return 0;

    CleanOutput out = { workText, 0, 0, 0, 0 };
    CleanState state = BETWEEN_TAGS;
    for (; *page && !out.full; ++page) {
        char c = (char)*page;
        if (c == '\r')
            continue;
        if (c == '\n' || c == ' ')
            state = onBlank(out, state);
        else if (state == IN_TAG)
            state = c == '>' ? BETWEEN_TAGS : IN_TAG;
        else if (state == TAG_START)
            state = onTagStart(out, c);
        else
            state = onText(out, c);
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
