// The service's units in process: the page it writes, run through the
// program's own cleaning and extraction, and translations through the
// Apertium pipelines.
#include <clocale>
#include <cstdio>
#include <cwctype>
#include <vector>
#include "apertiumPipeline.h"
#include "apertiumStream.h"
#include "bytes.h"
#include "pageExtraction.h"
#include "runningPipelines.h"
#include "textEncoding.h"
#include "translation.h"
#include "translationPage.h"
#include "unknownWords.h"

namespace {

// Every printable Windows-1252 character that is neither letter nor digit,
// each a word of its own.
std::string symbols()
{
    setlocale(LC_CTYPE, "C.UTF-8");
    std::string text;
    for (int byte = 0x21; byte <= 0xFF; ++byte) {
        // The Catalan routes translate "&" as the word "and".
        if (byte == '&')
            continue;
        std::string windows1252(1, (char)byte), utf8;
        windows1252ToUtf8(windows1252, utf8);
        wchar_t wide;
        // Bytes that the code page leaves undefined come out as "?".
        if ((utf8 != "?" || byte == '?') && mbtowc(&wide, utf8.data(), utf8.size()) > 0 && iswgraph((wint_t)wide)
            && !iswalnum((wint_t)wide))
            text += windows1252 + " ";
    }
    return text;
}

// What the languages write otherwise: the apostrophe, Spanish's opening
// marks, and the soft hyphen, which only marks where a word may break;
// runs of blanks fold to one, as the page shows them.
std::string usual(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\xA1' && c != '\xBF' && c != '\xAD' && !(c == ' ' && !out.empty() && out.back() == ' '))
            out += c == '\x92' ? '\'' : c;
    return out;
}

}  // namespace

TEST_CASE("the page carries the translation as the program shows it")
{
    TextLogicBuffers buffers;
    struct {
        const char* name;
        std::string translation;
        std::string shown;
    } cases[] = {
        { "lines, CR LF and empty lines", "\nuno\ndos\r\n\n\ntres\n", "\r\nuno\r\ndos\r\n\r\n\r\ntres\r\n" },
        { "runs of blanks fold", "  a   b \t c  ", "a b \t c\r\n" },
        { "ampersand and entity stay", "a & b &amp; c", "a & b &amp; c\r\n" },
        { "less-than and tags", "<p> x < y </d> >", "\x8Bp> x \x8B y \x8B/d> >\r\n" },
        { "empty translation", "", "" },
        { "first end marker alone", "Use the above text to search the Web",
          "Use the above text to search the\xA0Web\r\n" },
        { "end marker once blanks fold", "x\n  To   translate,  type \n\nz", "x\r\nTo translate,\xA0type\r\n\r\nz\r\n" },
        { "longer line than a marker stays", "To translate, type here", "To translate, type here\r\n" },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.name));
        std::string response;
        for (Language target = 0; target < LANGUAGE_COUNT; ++target) {
            writeTranslationPage(target, c.translation, response);
            CHECK_EQ(Bytes(extractFromPage(target, response)), Bytes(c.shown));
        }
    }
}

TEST_CASE("what one code page cannot hold, or broken UTF-8, becomes a question mark")
{
    std::string out;
    utf8ToWindows1252("\xE2\x86\x92 \xD0\x96|\x80\xBFz|a\xE0\x80\x80" "b\xF0\x80\x80\xBC" "c\xC0\xBC|\xC3", out);
    CHECK_EQ(Bytes(out), Bytes("? ?|??z|a?b?c??|?"));
    windows1252ToUtf8("a\x81" "b\x9D", out);
    CHECK_EQ(Bytes(out), Bytes("a?b?"));
}

TEST_CASE("every pair gives back each symbol that Apertium leaves alone, and survives the page")
{
    REQUIRE(pipelinesReady());
    TextLogicBuffers buffers;
    std::string text = symbols() + "Zorblax~Qux ~5 ^_^", translation, response, shown;
    for (const LanguagePair& pair : LanguagePairs) {
        CAPTURE(pair.code);
        // German comes from a dictionary, whose rendering has a line of its own.
        if (pair.source == LANGUAGE_GERMAN || pair.target == LANGUAGE_GERMAN)
            continue;
        REQUIRE_EQ(translateText(findPair(pair.code), text, translation), TRANSLATED);
        CHECK_EQ(Bytes(usual(translation)), Bytes(usual(text)));
        writeTranslationPage(pair.target, translation, response);
        shownTranslation(translation, shown);
        CHECK_EQ(Bytes(extractFromPage(pair.target, response)), Bytes(shown));
    }
}

TEST_CASE("a text cut into sentences translates as it does in one piece")
{
    REQUIRE(pipelinesReady());
    for (const std::string& text : { std::string("Mr. Smith went to Washington. He said: \"I am here!\" Dr. Jones agreed."),
             std::string("The U.S. Army came. He works for the U.N. Council.\nPrices rose, e.g. food. No! It's 5 p.m. now.") }) {
        CAPTURE(text);
        std::string utf8, whole;
        std::vector<std::string> chunk(1), answer;
        windows1252ToUtf8(text, utf8);
        textToStream(utf8, chunk[0]);
        REQUIRE_EQ(runApertiumMode("eng-spa*", chunk, answer), PIPELINE_ANSWERED);
        replaceUnknownWords(findPair("en_es"), answer[0]);
        streamToText(answer[0], utf8);
        utf8ToWindows1252(utf8, whole);
        CHECK_EQ(Bytes(translated("en_es", text)), Bytes(whole));
    }
}

TEST_CASE("a control byte in the text parts two words as a blank does")
{
    REQUIRE(pipelinesReady());
    std::string plain = translated("en_es", "a b. The house is big.");
    for (char control : { '\x01', '\x0B', '\x0C', '\x1B', '\x7F' }) {
        CAPTURE((int)control);
        std::string text = std::string("a") + control + "b. The house" + control + "is big.";
        CHECK_EQ(Bytes(translated("en_es", text)), Bytes(plain));
    }
}
