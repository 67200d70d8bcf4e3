// The text logic: pairs, form encoding, page cleaning and extraction.
// Built natively under the sanitizers and for Windows under Wine.
#include <cstring>
#include <string>
#include "bytes.h"
#include "textLogicBuffers.h"
#include "languagePairs.h"
#include "replyExtractor.h"
#include "requestComposer.h"

namespace {

void setPage(const std::string& page)
{
    REQUIRE(page.size() < NET_BUFFER_SIZE);
    memcpy(netBuffer, page.c_str(), page.size() + 1);
}

const std::string markerLine = "Use the above text to search the Web";

}  // namespace

TEST_CASE("each source offers its targets, each pair's code names its two languages, and nothing else has one")
{
    // The service's names of the languages: ISO 639-1.
    const char* iso[LANGUAGE_COUNT] = { "en", "fr", "de", "it", "pt", "es" };
    Language sources[LANGUAGE_COUNT], targets[LANGUAGE_COUNT];
    REQUIRE_EQ(sourceLanguages(sources), LANGUAGE_COUNT);
    char code[PAIR_CODE_SIZE + 2];
    for (Language source : sources) {
        int count = targetsOf(source, targets);
        // English goes into every other language, the others into English.
        CHECK_EQ(count, source == LANGUAGE_ENGLISH ? LANGUAGE_COUNT - 1 : 1);
        for (int i = 0; i < count; ++i) {
            memset(code, 'X', sizeof code);
            lookupPairCode(source, targets[i], code);
            CHECK_EQ(Bytes(code, sizeof code), Bytes(std::string(iso[source]) + "_" + iso[targets[i]] + std::string("\0XX", 3)));
        }
    }
    const Language others[][2] = { { LANGUAGE_FRENCH, LANGUAGE_GERMAN }, { LANGUAGE_ENGLISH, LANGUAGE_ENGLISH }, { -1, 7 } };
    for (const auto& other : others) {
        memset(code, 'X', sizeof code);
        lookupPairCode(other[0], other[1], code);
        CHECK_EQ(Bytes(code, sizeof code), Bytes(std::string(1, 0) + std::string(PAIR_CODE_SIZE + 1, 'X')));
    }
}

TEST_CASE("form encoding of the typed text, within its destination")
{
    struct {
        const char* text;
        unsigned size;
        const char* encoded;
    } cases[] = {
        { "Hello world", 64, "Hello+world" }, { "  a  b ", 64, "a+b+" }, { "1+1=2", 64, "1%2B1%3D2" },
        { "a\r\nb\t", 64, "a%0D%0Ab%09" }, { "Stra\xDF" "e", 64, "Stra%DFe" }, { "   ", 64, "" },
        { "%&=?#/'", 64, "%25%26%3D%3F%23%2F%27" }, { "\x80\xFF", 64, "%80%FF" }, { "x . y", 64, "x+%2E+y" },
        { "AZaz09", 64, "AZaz09" },
        // Cut where the next byte or escape would leave no room for the zero.
        { "abc", 3, "ab" }, { "abc", 4, "abc" }, { "a&", 4, "a" }, { "a&", 5, "a%26" }, { "a b", 3, "a+" }, { "x", 1, "" },
    };
    for (const auto& c : cases) {
        char out[80];
        memset(out, 'X', sizeof out);
        urlEncode(out, c.size, c.text);
        CAPTURE(escapeBytes(c.text));
        CAPTURE(c.size);
        CHECK_EQ(Bytes(out), Bytes(c.encoded));
        CHECK_EQ(Bytes(out + c.size, sizeof out - c.size), Bytes(std::string(sizeof out - c.size, 'X')));
    }
}

TEST_CASE("page cleaning")
{
    TextLogicBuffers buffers;
    struct {
        const char* name;
        std::string page;
        const char* cleaned;  // null: not a page; workText is left alone
    } cases[] = {
        { "worked example, slash kept", "<b>In English:</b><br>\nHello   my\nfriend and/or you<p>" + markerLine,
          "In English:\r\nHello my friend and/or you\r\n\r\nUse the above text to search the Web" },
        { "status line and headers before the markup",
          "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>Hi</body></html>\r\n", "Hi\r\n" },
        { "slash and greater-than in text", "<p>1/2 a > b and/or</p>", "\r\n1/2 a > b and/or\r\n" },
        { "tag after a line break adds nothing", "<b>x</b><br><i>y</i>", "x\r\ny\r\n" },
        { "paragraph after text leaves an empty line", "<b>x</b>y<P>z", "x\r\ny\r\n\r\nz" },
        { "blanks and line feeds fold, carriage returns vanish", "<b>\n  a \r\n\t b  \n<br>", "a \t b\r\n" },
        { "less-than before a blank vanishes with the blanks", "<b>x < y</b>", "xy\r\n" },
        { "attributes and comments vanish up to the first >", "<a href=\"q\">k</a><!-- note -->m", "k\r\nm" },
        { "quoted > ends a tag", "<a title=\"x>y\">z</a>", "y\">z\r\n" },
        { "8-bit bytes are copied", "<b>Fran\xE7" "ais \xDF</b>", "Fran\xE7" "ais \xDF\r\n" },
        { "markup only", "<html></html>", "" },
        { "empty tag and doubled less-than", "<>x<<b>y", "y" },
        { "empty reply", "", nullptr },
        { "no markup", "HTTP/1.0 200 OK\r\n\r\na > b", nullptr },
    };
    for (const auto& c : cases) {
        strcpy(workText, "encoded+source");
        setPage(c.page);
        INFO(c.name);
        CHECK_EQ(cleanPage(), c.cleaned != nullptr);
        CHECK_EQ(Bytes(workText), Bytes(c.cleaned ? c.cleaned : "encoded+source"));
    }
}

TEST_CASE("the cleaned text never runs past its buffer")
{
    TextLogicBuffers buffers;
    const unsigned room = WORK_TEXT_SIZE - 1;
    struct {
        std::string page;
        size_t shortest, longest;
    } cases[] = {
        // Text bytes alone: cut at the last byte that fits.
        { "<b>" + std::string(NET_BUFFER_SIZE - 4, 'a'), room, room },
        // A line break that would straddle the end is left out whole.
        { "<b>" + std::string(room - 1, 'a') + "</b>more", room - 1, room - 1 },
        // Paragraph tags give four bytes for two of text: the worst case.
        { "", room - 3, room },
    };
    while (cases[2].page.size() + 4 < NET_BUFFER_SIZE - 1)
        cases[2].page += "x<p>";
    for (const auto& c : cases) {
        setPage(c.page);
        REQUIRE_EQ(cleanPage(), 1);
        size_t length = strlen(workText);
        CHECK((length >= c.shortest && length <= c.longest && workText[length - 1] != '\r'));
    }

    // A translation near the start is still found in a cut page.
    setPage("<b>In English:</b><br>hello<br>" + markerLine + "<p>" + cases[2].page.substr(0, cases[2].page.size() - 100));
    targetLanguage = LANGUAGE_ENGLISH;
    REQUIRE_EQ(cleanPage(), 1);
    REQUIRE_EQ(extractTranslation(), 1);
    CHECK_EQ(Bytes(workText), Bytes("hello\r\n"));
}

TEST_CASE("finding the translation in the cleaned text")
{
    TextLogicBuffers buffers;
    struct {
        const char* name;
        Language target;
        std::string cleaned;
        const char* translation;  // null: not found, the text stays
    } cases[] = {
        { "worked example", LANGUAGE_ENGLISH, "In English:\r\nHello my friend and/or you\r\n\r\n" + markerLine,
          "Hello my friend and/or you\r\n\r\n" },
        { "8-bit heading in other letter case", LANGUAGE_FRENCH, "EN FRAN\xC7" "AIS:\r\nbonjour\r\nTo translate, type",
          "bonjour\r\n" },
        { "heading after other text", LANGUAGE_ENGLISH, "Result In English:\r\nhi\r\n", nullptr },
        { "text after the heading on its line is ignored", LANGUAGE_SPANISH,
          "intro\r\nEn Espa\xF1" "ol: (beta)\r\nhola\r\n", "hola\r\n" },
        { "end marker that is only part of a line", LANGUAGE_ENGLISH,
          "In English:\r\nhi\r\nTo translate, type your text\r\n" + markerLine + "\r\n",
          "hi\r\nTo translate, type your text\r\n" },
        { "end marker in other letter case", LANGUAGE_ENGLISH, "In English:\r\nhi\r\nto translate, type\r\n",
          "hi\r\nto translate, type\r\n" },
        { "second end marker", LANGUAGE_ENGLISH, "In English:\r\na\r\nb\r\nTo translate, type\r\nc", "a\r\nb\r\n" },
        { "no end marker", LANGUAGE_ENGLISH, "In English:\r\na\r\nb", "a\r\nb" },
        { "empty translation", LANGUAGE_ENGLISH, "In English:\r\n" + markerLine + "\r\nmore", "" },
        { "heading as the last line", LANGUAGE_ENGLISH, "x\r\nIn English:", nullptr },
        { "heading line ends the text", LANGUAGE_ENGLISH, "x\r\nIn English:\r\n", nullptr },
        { "no heading", LANGUAGE_GERMAN, "In English:\r\nhi\r\n", nullptr },
        { "line shorter than the heading", LANGUAGE_ENGLISH, "In Engl\r\nhi", nullptr },
    };
    for (const auto& c : cases) {
        strcpy(workText, c.cleaned.c_str());
        targetLanguage = c.target;
        INFO(c.name);
        CHECK_EQ(extractTranslation(), c.translation != nullptr);
        CHECK_EQ(Bytes(workText), Bytes(c.translation ? c.translation : c.cleaned));
    }
}
