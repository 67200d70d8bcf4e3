// Reading the program's request and the requests of other clients.
#include <cstring>
#include "bytes.h"
#include "httpRequest.h"

TEST_CASE("requests give text and pair, or a status and a reason")
{
    const std::string T = "GET /cgi-bin/translate?";
    struct {
        const char* name;
        std::string bytes;
        int status;
        std::string textOrReason;
        const char* pair = "";
        int complete = 1;
    } cases[] = {
        { "the program's own", T + "doit=done&urltext=Guten+Tag&lp=de_en HTTP/1.0\n\n", 200, "Guten Tag", "de_en" },
        { "escapes, Windows-1252", T + "urltext=%dfe+1%2B1%3d2%0D%0Aa&lp=en_es HTTP/1.0\n\n", 200, "\xDF" "e 1+1=2\r\na", "en_es" },
        { "empty text, other order", T + "lp=en_fr&urltext= HTTP/1.0\n\n", 200, "", "en_fr" },
        { "header lines and CR LF", T + "urltext=a&lp=en_it HTTP/1.1\r\nHost: x\r\n\r\n", 200, "a", "en_it" },
        { "unknown parameters ignored", T + "x=1&urltext=a&&y&lp=en_pt HTTP/1.0\r\n\n", 200, "a", "en_pt" },
        { "pair in upper case", T + "urltext=a&lp=EN_ES HTTP/1.0\n\n", 200, "a", "en_es" },
        { "empty lines before", "\r\n\n" + T + "urltext=a&lp=en_es HTTP/1.0\r\n\r\n", 200, "a", "en_es" },
        { "request line alone", T + "urltext=a&lp=en_es HTTP/1.0\n", 200, "a", "en_es", 0 },
        { "unknown path", "GET /index.html HTTP/1.0\n\n", 404, "no page /index.html" },
        { "other method", "POST /cgi-bin/translate?urltext=a&lp=en_es HTTP/1.0\n\n", 405, "GET" },
        { "no version", T + "urltext=a&lp=en_es\n\n", 400, "request line" },
        { "junk", std::string("\x16\x03\x01\x02\x00\x01\xFC\n\n", 9), 400, "control bytes" },
        { "8-bit bytes in the line", "GET /caf\xE9 HTTP/1.0\n\n", 400, "do not belong" },
        { "no text", T + "lp=en_es HTTP/1.0\n\n", 400, "urltext" },
        { "no pair", T + "urltext=a HTTP/1.0\n\n", 400, "lp" },
        { "text twice", T + "urltext=a&urltext=b&lp=en_es HTTP/1.0\n\n", 400, "more than once" },
        { "broken escape", T + "urltext=a%2&lp=en_es HTTP/1.0\n\n", 400, "hexadecimal" },
        { "zero byte in the text", T + "urltext=a%00b&lp=en_es HTTP/1.0\n\n", 400, "zero byte" },
        { "overlong pair", T + "urltext=a&lp=english_spanish HTTP/1.0\n\n", 400, "no language pair" },
        { "pair of eight bytes", T + "urltext=a&lp=en_es_xx HTTP/1.0\n\n", 400, "no language pair" },
        { "escape byte in the pair", T + "urltext=a&lp=%1B[2J HTTP/1.0\n\n", 400, "no pair code" },
        { "8-bit byte in the pair", T + "urltext=a&lp=%9B1m HTTP/1.0\n\n", 400, "no pair code" },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.name));
        TranslateRequest request;
        strcpy(request.pairCode, "xxxxx");
        request.text = "sentinel";
        std::string reason;
        int status = parseRequest(c.bytes.data(), c.bytes.size(), request, reason);
        CHECK_EQ(status, c.status);
        if (status != 200) {
            CHECK_MESSAGE(reason.find(c.textOrReason) != std::string::npos, reason);
            continue;
        }
        CHECK_EQ(requestComplete(c.bytes.data(), c.bytes.size()), c.complete);
        CHECK_EQ(Bytes(request.text), Bytes(c.textOrReason));
        CHECK_EQ(Bytes(request.pairCode), Bytes(c.pair));
    }
    // Empty lines before the request line do not end a request.
    CHECK_FALSE(requestComplete("\r\n\n", 3));
}
