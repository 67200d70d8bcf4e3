#include "translationPage.h"
#include <cstdio>

static const char SingleAngleQuote = '\x8B';
static const char NoBreakSpace = '\xA0';

// Appends one line as the cleaner will give it back, without its line end.
// A line equal to an end marker would end the translation there, so its
// last blank becomes a no-break space, which looks the same.
static void appendShownLine(const std::string& translation, size_t start, size_t end, std::string& out)
{
    size_t lineStart = out.size();
    int blankPending = 0;
    int lineHasText = 0;
    for (size_t i = start; i < end; ++i) {
        char c = translation[i];
        if (c == '\r')
            continue;
        if (c == ' ') {
            blankPending = lineHasText;
            continue;
        }
        if (blankPending)
            out += ' ';
        blankPending = 0;
        out += c == '<' ? SingleAngleQuote : c;
        lineHasText = 1;
    }
    for (const char* marker : EndMarkers) {
        if (out.compare(lineStart, std::string::npos, marker) == 0) {
            out[out.rfind(' ')] = NoBreakSpace;
            return;
        }
    }
}

// Calls back for each line; a line break at the very end ends the last line
// rather than starting an empty one.
template <typename EachLine>
static void forEachLine(const std::string& translation, EachLine eachLine)
{
    size_t start = 0;
    while (start < translation.size()) {
        size_t end = translation.find('\n', start);
        if (end == std::string::npos)
            end = translation.size();
        eachLine(start, end);
        start = end + 1;
    }
}

void shownTranslation(const std::string& translation, std::string& shown)
{
    shown.clear();
    forEachLine(translation, [&](size_t start, size_t end) {
        appendShownLine(translation, start, end, shown);
        shown += "\r\n";
    });
}

static const char* statusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Request Entity Too Large";
    case 503: return "Service Unavailable";
    }
    return "Internal Server Error";
}

static void writeResponse(int status, const std::string& body, std::string& response,
    const char* type = "text/html; charset=windows-1252")
{
    char head[200];
    snprintf(head, sizeof head,
        "HTTP/1.0 %d %s\r\n"
        "Content-Type: %s\r\n"
        "Content-Length: %zu\r\n"
        "Connection: close\r\n"
        "\r\n",
        status, statusText(status), type, body.size());
    response = head;
    response += body;
}

// Every element that separates lines is a tag of its own: the cleaner ends a
// line of text at any tag, and a tag whose name starts with "p" gives the
// empty line that a run of line breaks could not.
void writeTranslationPage(Language target, const std::string& translation, std::string& response)
{
    std::string body =
        "<html>\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
        "<title>Quorvel translation</title></head>\n<body>\n<h3>";
    body += headingOf(target);
    body += "</h3>\n";
    forEachLine(translation, [&](size_t start, size_t end) {
        size_t before = body.size();
        appendShownLine(translation, start, end, body);
        body += body.size() == before ? "<p>\n" : "<br>\n";
    });
    body += "<hr>\n";
    body += EndMarkers[0];
    body += "<br>\n</body>\n</html>\n";
    writeResponse(200, body, response);
}

void writeHealthPage(int healthy, const std::string& report, std::string& response)
{
    writeResponse(healthy ? 200 : 503, (healthy ? "healthy\n" : "unhealthy\n") + report, response,
        "text/plain; charset=us-ascii");
}

void writeErrorPage(int status, const std::string& reason, std::string& response)
{
    char title[80];
    snprintf(title, sizeof title, "%d %s", status, statusText(status));
    std::string body = "<html>\n<head><title>";
    body += title;
    body += "</title></head>\n<body>\n<h3>";
    body += title;
    body += "</h3>\n";
    for (char c : reason) {
        if (c == '<')
            body += "&lt;";
        else if (c == '>')
            body += "&gt;";
        else if (c == '&')
            body += "&amp;";
        else
            body += c;
    }
    body += "<br>\n</body>\n</html>\n";
    writeResponse(status, body, response);
}
