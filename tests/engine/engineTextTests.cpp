// The engine's text logic: pairs, request, page cleaning and extraction.
// Built natively under the sanitizers and for Windows under Wine.
#include <cstdlib>
#include <cstring>
#include <string>
#include "bytes.h"
#include "engineBuffers.h"
#include "languagePairs.h"
#include "replyExtractor.h"
#include "requestComposer.h"
#include "translationState.h"

namespace {

void setPage(const std::string& page)
{
    REQUIRE(page.size() < NET_BUFFER_SIZE);
    memcpy(netBuffer, page.data(), page.size());
    netBuffer[page.size()] = 0;
}

const std::string markerLine = "Use the above text to search the Web";

}  // namespace

TEST_CASE("pair lookup gives the code of the table's row, or nothing")
{
    struct {
        Language source, target;
        const char* code;
    } cases[] = {
        { LANGUAGE_ENGLISH, LANGUAGE_FRENCH, "en_fr" },
        { LANGUAGE_ENGLISH, LANGUAGE_SPANISH, "en_es" },
        { LANGUAGE_SPANISH, LANGUAGE_ENGLISH, "es_en" },
        { LANGUAGE_GERMAN, LANGUAGE_ENGLISH, "de_en" },
        { LANGUAGE_PORTUGUESE, LANGUAGE_ENGLISH, "pt_en" },
        { LANGUAGE_FRENCH, LANGUAGE_GERMAN, "" },
        { LANGUAGE_ENGLISH, LANGUAGE_ENGLISH, "" },
        { LANGUAGE_SPANISH, LANGUAGE_SPANISH, "" },
        { -1, 7, "" },
    };
    for (const auto& c : cases) {
        char code[PAIR_CODE_SIZE + 2];
        memset(code, 'X', sizeof code);
        lookupPairCode(c.source, c.target, code);
        CAPTURE(c.source);
        CAPTURE(c.target);
        CHECK_EQ(Bytes(code), Bytes(c.code));
        CHECK_EQ(code[PAIR_CODE_SIZE], 'X');
    }
}

TEST_CASE("languages offered and the headings searched for")
{
    Language sources[LANGUAGE_COUNT];
    CHECK_EQ(sourceLanguages(sources), 6);
    for (int i = 0; i < 6; ++i)
        CHECK_EQ(sources[i], i);

    Language targets[LANGUAGE_COUNT];
    REQUIRE_EQ(targetsOf(LANGUAGE_ENGLISH, targets), 5);
    for (int i = 0; i < 5; ++i)
        CHECK_EQ(targets[i], i + 1);
    for (Language source = LANGUAGE_FRENCH; source < LANGUAGE_COUNT; ++source) {
        targets[0] = -1;
        CHECK_EQ(targetsOf(source, targets), 1);
        CHECK_EQ(targets[0], LANGUAGE_ENGLISH);
    }

    CHECK_EQ(Bytes(headingOf(LANGUAGE_ENGLISH)), Bytes("In English:"));
    CHECK_EQ(Bytes(headingOf(LANGUAGE_FRENCH)), Bytes("En Fran\xE7" "ais:"));
    CHECK_EQ(Bytes(headingOf(LANGUAGE_GERMAN)), Bytes("Auf Deutsch:"));
    CHECK_EQ(Bytes(headingOf(LANGUAGE_ITALIAN)), Bytes("In Italiano:"));
    CHECK_EQ(Bytes(headingOf(LANGUAGE_PORTUGUESE)), Bytes("Em Portugu\xEA" "s:"));
    CHECK_EQ(Bytes(headingOf(LANGUAGE_SPANISH)), Bytes("En Espa\xF1" "ol:"));
}

TEST_CASE("form encoding of the typed text")
{
    struct {
        const char* text;
        const char* encoded;
    } cases[] = {
        { "Hello world", "Hello+world" },
        { "  a  b ", "a+b+" },
        { "1+1=2", "1%2B1%3D2" },
        { "C'est", "C%27est" },
        { "a\r\nb", "a%0D%0Ab" },
        { "\xDF", "%DF" },
        { "Stra\xDF" "e", "Stra%DFe" },
        { "   ", "" },
        { "", "" },
        { "%&=?#/", "%25%26%3D%3F%23%2F" },
        { "a\tb", "a%09b" },
        { "\x80\xFF", "%80%FF" },
        { "x . y", "x+%2E+y" },
        { "Zz09", "Zz09" },
    };
    for (const auto& c : cases) {
        char out[64];
        memset(out, 'X', sizeof out);
        urlEncode(out, sizeof out, c.text);
        CAPTURE(escapeBytes(c.text));
        CHECK_EQ(Bytes(out), Bytes(c.encoded));
    }
}

TEST_CASE("form encoding never writes past its destination")
{
    struct {
        const char* text;
        unsigned size;
        const char* encoded;
    } cases[] = {
        { "abc", 3, "ab" },
        { "abc", 4, "abc" },
        { "a&", 4, "a" },
        { "a&", 5, "a%26" },
        { "&", 3, "" },
        { "a b", 3, "a+" },
        { "x", 1, "" },
    };
    for (const auto& c : cases) {
        char out[16];
        memset(out, 'X', sizeof out);
        urlEncode(out, c.size, c.text);
        CAPTURE(c.text);
        CAPTURE(c.size);
        CHECK_EQ(Bytes(out), Bytes(c.encoded));
        for (unsigned i = c.size; i < sizeof out; ++i)
            CHECK_EQ(out[i], 'X');
    }

    EngineBuffers buffers;
    memset(sourceText, '&', SOURCE_TEXT_SIZE - 1);
    sourceText[SOURCE_TEXT_SIZE - 1] = 0;
    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    CHECK_EQ(strlen(workText), (WORK_TEXT_SIZE - 1) / 3 * 3);
}

TEST_CASE("request template expansion")
{
    EngineBuffers buffers;
    struct {
        const char* requestTemplate;
        const char* encoded;
        const char* code;
        const char* request;
    } cases[] = {
        { RequestTemplate, "Guten+Tag", "de_en",
          "GET /cgi-bin/translate?doit=done&urltext=Guten+Tag&lp=de_en HTTP/1.0\n\n" },
        { RequestTemplate, "", "en_es", "GET /cgi-bin/translate?doit=done&urltext=&lp=en_es HTTP/1.0\n\n" },
        { RequestTemplate, "a", "", "GET /cgi-bin/translate?doit=done&urltext=a&lp= HTTP/1.0\n\n" },
        { "[%x]", "t", "c", "[]" },
        { "[%%u]", "t", "c", "[t]" },
        { "[%n%u%n]", "t", "c", "[ctc]" },
        { "end%", "t", "c", "end" },
        { "%U%N", "t", "c", "" },
    };
    for (const auto& c : cases) {
        strcpy(workText, c.encoded);
        strcpy(pairCode, c.code);
        expandRequestTemplate(netBuffer, c.requestTemplate);
        CAPTURE(c.requestTemplate);
        CHECK_EQ(Bytes(netBuffer), Bytes(c.request));
    }
    CHECK_EQ(strlen(RequestTemplate), 60u);
}

TEST_CASE("page cleaning")
{
    EngineBuffers buffers;
    struct {
        const char* name;
        std::string page;
        std::string cleaned;
    } cases[] = {
        { "worked example, slash kept",
          "<b>In English:</b><br>\nHello   my\nfriend and/or you<p>" + markerLine,
          "In English:\r\nHello my friend and/or you\r\n\r\n" + markerLine },
        { "status line and headers before the markup",
          "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>Hi</body></html>\r\n",
          "Hi\r\n" },
        { "slash and greater-than in text", "<p>1/2 a > b and/or</p>", "\r\n1/2 a > b and/or\r\n" },
        { "text that starts with a slash", "<i>/usr</i>", "/usr\r\n" },
        { "tag after a line break adds nothing", "<b>x</b><br><i>y</i>", "x\r\ny\r\n" },
        { "paragraph after text leaves an empty line", "<b>x</b>y<P>z", "x\r\ny\r\n\r\nz" },
        { "blanks and line feeds fold, carriage returns vanish", "<b>\n  a \r\n\t b  \n<br>", "a \t b\r\n" },
        { "less-than before a blank vanishes with the blanks", "<b>x < y</b>", "xy\r\n" },
        { "attributes and comments vanish up to the first >",
          "<a href=\"q\">k</a><!-- note -->m", "k\r\nm" },
        { "quoted > ends a tag", "<a title=\"x>y\">z</a>", "y\">z\r\n" },
        { "entities stay as written", "<b>Tom &amp; Jerry&nbsp;</b>", "Tom &amp; Jerry&nbsp;\r\n" },
        { "8-bit bytes are copied", "<b>Fran\xE7" "ais \xDF</b>", "Fran\xE7" "ais \xDF\r\n" },
        { "markup only", "<html></html>", "" },
        { "empty tag and doubled less-than", "<>x<<b>y", "y" },
    };
    for (const auto& c : cases) {
        setPage(c.page);
        CAPTURE(c.name);
        REQUIRE_EQ(cleanPage(), 1);
        CHECK_EQ(Bytes(workText), Bytes(c.cleaned));
    }
}

TEST_CASE("a page without markup is not cleaned")
{
    EngineBuffers buffers;
    const char* pages[] = { "", "HTTP/1.0 200 OK\r\n\r\nno markup here", "a > b" };
    for (const char* page : pages) {
        strcpy(workText, "encoded+source");
        setPage(page);
        CAPTURE(page);
        CHECK_EQ(cleanPage(), 0);
        CHECK_EQ(Bytes(workText), Bytes("encoded+source"));
    }
}

TEST_CASE("the cleaned text never runs past its buffer")
{
    EngineBuffers buffers;
    const unsigned room = WORK_TEXT_SIZE - 1;

    // Text bytes alone: cut at the last byte that fits.
    std::string page = "<b>" + std::string(NET_BUFFER_SIZE - 4, 'a');
    setPage(page);
    REQUIRE_EQ(cleanPage(), 1);
    CHECK_EQ(strlen(workText), room);

    // A line break that would straddle the end is left out whole.
    page = "<b>" + std::string(room - 1, 'a') + "</b>more";
    setPage(page);
    REQUIRE_EQ(cleanPage(), 1);
    CHECK_EQ(strlen(workText), room - 1);
    CHECK_EQ(workText[room - 2], 'a');

    // Paragraph tags give four bytes for two of text: the worst case.
    page.clear();
    while (page.size() + 4 < NET_BUFFER_SIZE - 1)
        page += "x<p>";
    setPage(page);
    REQUIRE_EQ(cleanPage(), 1);
    size_t length = strlen(workText);
    CHECK_LE(length, room);
    CHECK_GT(length, room - 4);
    CHECK_NE(workText[length - 1], '\r');

    // A translation near the start is still found in a cut page.
    page = "<b>In English:</b><br>hello<br>" + markerLine + "<p>";
    while (page.size() + 4 < NET_BUFFER_SIZE - 1)
        page += "x<p>";
    setPage(page);
    targetLanguage = LANGUAGE_ENGLISH;
    REQUIRE_EQ(cleanPage(), 1);
    REQUIRE_EQ(extractTranslation(), 1);
    CHECK_EQ(Bytes(workText), Bytes("hello\r\n"));
}

TEST_CASE("finding the translation in the cleaned text")
{
    EngineBuffers buffers;
    struct {
        const char* name;
        Language target;
        std::string cleaned;
        int found;
        std::string translation;
    } cases[] = {
        { "worked example", LANGUAGE_ENGLISH,
          "In English:\r\nHello my friend and/or you\r\n\r\n" + markerLine, 1,
          "Hello my friend and/or you\r\n\r\n" },
        { "heading in other letter case", LANGUAGE_ENGLISH, "IN ENGLISH:\r\nhi\r\n" + markerLine, 1, "hi\r\n" },
        { "8-bit heading in other letter case", LANGUAGE_FRENCH,
          "EN FRAN\xC7" "AIS:\r\nbonjour\r\nTo translate, type", 1, "bonjour\r\n" },
        { "heading after other text", LANGUAGE_ENGLISH, "Result In English:\r\nhi\r\n", 0, "" },
        { "text after the heading on its line is ignored", LANGUAGE_SPANISH,
          "intro\r\nEn Espa\xF1" "ol: (beta)\r\nhola\r\n", 1, "hola\r\n" },
        { "end marker that is only part of a line", LANGUAGE_ENGLISH,
          "In English:\r\nhi\r\nTo translate, type your text\r\nUse the above text to search the Web\r\n", 1,
          "hi\r\nTo translate, type your text\r\n" },
        { "end marker in other letter case", LANGUAGE_ENGLISH,
          "In English:\r\nhi\r\nto translate, type\r\n", 1, "hi\r\nto translate, type\r\n" },
        { "second end marker", LANGUAGE_ENGLISH, "In English:\r\na\r\nb\r\nTo translate, type\r\nc", 1,
          "a\r\nb\r\n" },
        { "no end marker", LANGUAGE_ENGLISH, "In English:\r\na\r\nb", 1, "a\r\nb" },
        { "empty translation", LANGUAGE_ENGLISH, "In English:\r\n" + markerLine + "\r\nmore", 1, "" },
        { "heading as the last line", LANGUAGE_ENGLISH, "x\r\nIn English:", 0, "" },
        { "heading line ends the text", LANGUAGE_ENGLISH, "x\r\nIn English:\r\n", 0, "" },
        { "no heading", LANGUAGE_GERMAN, "In English:\r\nhi\r\n", 0, "" },
        { "line shorter than the heading", LANGUAGE_ENGLISH, "In Engl\r\nhi", 0, "" },
        { "empty text", LANGUAGE_ENGLISH, "", 0, "" },
        { "first heading wins", LANGUAGE_ENGLISH, "In English:\r\nIn English:\r\nx", 1, "In English:\r\nx" },
        { "entity stays as written", LANGUAGE_ENGLISH, "In English:\r\nA &amp; B\r\n" + markerLine, 1,
          "A &amp; B\r\n" },
    };
    for (const auto& c : cases) {
        strcpy(workText, c.cleaned.c_str());
        targetLanguage = c.target;
        CAPTURE(c.name);
        CHECK_EQ(extractTranslation(), c.found);
        if (c.found)
            CHECK_EQ(Bytes(workText), Bytes(c.translation));
        else
            CHECK_EQ(Bytes(workText), Bytes(c.cleaned));
    }
}
