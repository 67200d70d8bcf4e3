#include "serviceLog.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

static const char* levelName(LogLevel level)
{
    switch (level) {
    case LEVEL_ERROR: return "error";
    case LEVEL_WARNING: return "warning";
    case LEVEL_INFO: break;
    }
    return "info";
}

void logLine(LogLevel level, const char* subject, const char* format, ...)
{
    static const int toJournal = getenv("JOURNAL_STREAM") != 0;
    char line[512];
    int length;
    if (toJournal) {
        length = snprintf(line, sizeof line, "<%d>%s: ", (int)level, subject);
    } else {
        char stamp[32];
        time_t now = time(0);
        tm utc;
        gmtime_r(&now, &utc);
        strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
        length = snprintf(line, sizeof line, "%s %s %s: ", stamp, levelName(level), subject);
    }
    // A prefix that filled the line leaves room for the line break alone.
    if (length > (int)sizeof line - 2)
        length = sizeof line - 2;
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line + length, sizeof line - 1 - length, format, arguments);
    va_end(arguments);
    size_t size = strlen(line);
    line[size++] = '\n';
    // One write, so that lines of several threads do not mix.
    ssize_t ignored = write(2, line, size);
    (void)ignored;
}
