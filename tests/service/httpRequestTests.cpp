// Reading the program's request and the requests of other clients.
#include <cstring>
#include <string>
#include "bytes.h"
#include "httpRequest.h"

namespace {

struct Parsed {
    int status;
    std::string text;
    std::string pair;
    std::string reason;
};

Parsed parse(const std::string& bytes)
{
    TranslateRequest request;
    strcpy(request.pairCode, "xxxxx");
    request.text = "sentinel";
    Parsed parsed;
    parsed.status = parseRequest(bytes.data(), bytes.size(), request, parsed.reason);
    if (parsed.status == 200) {
        parsed.text = request.text;
        parsed.pair = request.pairCode;
    }
    return parsed;
}

}  // namespace

TEST_CASE("the program's request and its variants give text and pair")
{
    struct {
        const char* name;
        std::string bytes;
        std::string text;
        std::string pair;
        int complete = 1;
    } cases[] = {
        { "the program's own", "GET /cgi-bin/translate?doit=done&urltext=Guten+Tag&lp=de_en HTTP/1.0\n\n",
          "Guten Tag", "de_en" },
        { "escapes and Windows-1252", "GET /cgi-bin/translate?doit=done&urltext=Stra%DFe+1%2B1%3D2%0D%0Aa&lp=en_es HTTP/1.0\n\n",
          "Stra\xDF" "e 1+1=2\r\na", "en_es" },
        { "lower-case escapes", "GET /cgi-bin/translate?urltext=%e9%3c&lp=en_es HTTP/1.0\n\n", "\xE9<", "en_es" },
        { "empty text", "GET /cgi-bin/translate?doit=done&urltext=&lp=en_fr HTTP/1.0\n\n", "", "en_fr" },
        { "other order, no doit", "GET /cgi-bin/translate?lp=es_en&urltext=casa HTTP/1.0\n\n", "casa", "es_en" },
        { "header lines and CR LF", "GET /cgi-bin/translate?urltext=a&lp=en_it HTTP/1.1\r\nHost: localhost\r\nUser-Agent: x\r\n\r\n",
          "a", "en_it" },
        { "unknown parameters ignored", "GET /cgi-bin/translate?x=1&urltext=a&&y&lp=en_pt HTTP/1.0\n\n", "a", "en_pt" },
        { "mixed line ends", "GET /cgi-bin/translate?urltext=a&lp=en_es HTTP/1.0\r\n\n", "a", "en_es" },
        { "pair in upper case", "GET /cgi-bin/translate?urltext=a&lp=EN_ES HTTP/1.0\n\n", "a", "en_es" },
        { "request line alone", "GET /cgi-bin/translate?urltext=a&lp=en_es HTTP/1.0\n", "a", "en_es", 0 },
    };
    for (auto& c : cases) {
        CAPTURE(c.name);
        CHECK_EQ(requestComplete(c.bytes.data(), c.bytes.size()), c.complete);
        Parsed parsed = parse(c.bytes);
        CHECK_EQ(parsed.status, 200);
        CHECK_EQ(Bytes(parsed.text), Bytes(c.text));
        CHECK_EQ(Bytes(parsed.pair), Bytes(c.pair));
    }
}

TEST_CASE("bad requests get a status and a reason")
{
    struct {
        const char* name;
        std::string bytes;
        int status;
        const char* reasonPart;
    } cases[] = {
        { "unknown path", "GET /index.html HTTP/1.0\n\n", 404, "no page /index.html" },
        { "other method", "POST /cgi-bin/translate?urltext=a&lp=en_es HTTP/1.0\n\n", 405, "GET" },
        { "no version", "GET /cgi-bin/translate?urltext=a&lp=en_es\n\n", 400, "request line" },
        { "junk", "\x16\x03\x01\x02\x00\x01\x00\x01\xFC\x03\x03", 400, "control bytes" },
        { "8-bit bytes in the line", "GET /caf\xE9 HTTP/1.0\n\n", 400, "do not belong" },
        { "no text", "GET /cgi-bin/translate?lp=en_es HTTP/1.0\n\n", 400, "urltext" },
        { "no pair", "GET /cgi-bin/translate?urltext=a HTTP/1.0\n\n", 400, "lp" },
        { "text twice", "GET /cgi-bin/translate?urltext=a&urltext=b&lp=en_es HTTP/1.0\n\n", 400, "more than once" },
        { "broken escape", "GET /cgi-bin/translate?urltext=a%2&lp=en_es HTTP/1.0\n\n", 400, "hexadecimal" },
        { "zero byte in the text", "GET /cgi-bin/translate?urltext=a%00b&lp=en_es HTTP/1.0\n\n", 400, "zero byte" },
        { "overlong pair", "GET /cgi-bin/translate?urltext=a&lp=english_spanish HTTP/1.0\n\n", 400, "no language pair" },
        { "escape byte in the pair", "GET /cgi-bin/translate?urltext=a&lp=%1B[2J HTTP/1.0\n\n", 400, "no pair code" },
        { "line break in the pair", "GET /cgi-bin/translate?urltext=a&lp=en%0Aes HTTP/1.0\n\n", 400, "no pair code" },
        { "zero byte in the pair", "GET /cgi-bin/translate?urltext=a&lp=en%00 HTTP/1.0\n\n", 400, "no pair code" },
        { "8-bit byte in the pair", "GET /cgi-bin/translate?urltext=a&lp=%9B1m HTTP/1.0\n\n", 400, "no pair code" },
        { "blank in the pair", "GET /cgi-bin/translate?urltext=a&lp=en+es HTTP/1.0\n\n", 400, "no pair code" },
    };
    for (auto& c : cases) {
        CAPTURE(c.name);
        Parsed parsed = parse(c.bytes);
        CHECK_EQ(parsed.status, c.status);
        CHECK_MESSAGE(parsed.reason.find(c.reasonPart) != std::string::npos, parsed.reason);
    }
}
