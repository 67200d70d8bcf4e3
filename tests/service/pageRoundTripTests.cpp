// The service's units in process: the page it writes, run through the
// program's own cleaning and extraction, and the Apertium pipelines.
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>
#include <signal.h>
#include "apertiumPipeline.h"
#include "apertiumStream.h"
#include "bytes.h"
#include "pageExtraction.h"
#include "textEncoding.h"
#include "translation.h"
#include "translationPage.h"
#include "unknownWords.h"

namespace {

// Short enough that waiting it out keeps the tests quick, long enough for
// the longest text here on a busy machine.
const int ANSWER_TIMEOUT_MS = 5000;

int pipelinesReady()
{
    static int ready = startTranslation(ANSWER_TIMEOUT_MS);
    return ready;
}

std::string translated(const char* pair, const std::string& text, TranslationResult expected = TRANSLATED)
{
    std::string translation = "sentinel";
    CHECK_EQ(translateText(findPair(pair), text, translation), expected);
    return translation;
}

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

// A process of the mode's pipeline by its command's name, or 0.
int stageProcess(const char* mode, const char* command)
{
    std::string search = "pgrep -x " + std::string(command) + " -g " + std::to_string(apertiumPipelineProcess(mode));
    FILE* found = popen(search.c_str(), "r");
    int pid = 0;
    if (fscanf(found, "%d", &pid) != 1)
        pid = 0;
    pclose(found);
    return pid;
}

}  // namespace

TEST_CASE("the page carries the translation as the program shows it")
{
    EngineBuffers buffers;
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
    EngineBuffers buffers;
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
        REQUIRE_EQ(runApertiumPipeline(apertiumPipeline("eng-spa*"), chunk, answer), PIPELINE_ANSWERED);
        replaceUnknownWords(findPair("en_es"), answer[0]);
        streamToText(answer[0], utf8);
        utf8ToWindows1252(utf8, whole);
        CHECK_EQ(Bytes(translated("en_es", text)), Bytes(whole));
    }
}

TEST_CASE("an answer out of step is never taken for the next request's")
{
    REQUIRE(pipelinesReady());
    // A zero byte inside a chunk makes the pipeline answer twice for it.
    std::vector<std::string> chunk(1, std::string("The dog[]\0The cat[]", 19)), answer;
    runApertiumPipeline(apertiumPipeline("eng-spa*"), chunk, answer);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CHECK_EQ(Bytes(translated("en_es", "The house")), Bytes("La casa"));
}

TEST_CASE("a stage that dies amid a request is restarted and the text sent again, one that stalls is not")
{
    REQUIRE(pipelinesReady());
    int stage = stageProcess("eng-spa*", "lrx-proc");
    REQUIRE(stage > 0);
    REQUIRE_EQ(kill(stage, SIGSTOP), 0);
    std::string translation;
    std::thread request([&] { translation = translated("en_es", "The house is big."); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(stage, SIGKILL);
    request.join();
    CHECK_EQ(Bytes(translation), Bytes("La casa es grande."));

    // A stalled text is not sent again: it might stall the new pipeline too.
    int stuck = apertiumPipelineProcess("eng-cat");
    REQUIRE_EQ(kill(-stuck, SIGSTOP), 0);
    auto started = std::chrono::steady_clock::now();
    translated("en_it", "The house", TRANSLATION_FAILED);
    CHECK(std::chrono::steady_clock::now() - started < std::chrono::milliseconds(ANSWER_TIMEOUT_MS * 3 / 2));
    CHECK_EQ(Bytes(translated("en_it", "The house")), Bytes("La casa"));
}

TEST_CASE("the pipeline's stages get no ignored SIGPIPE and no stray descriptor")
{
    REQUIRE(pipelinesReady());
    std::string shell = "/proc/" + std::to_string(apertiumPipelineProcess("pt-es")), line;
    std::error_code error;
    std::ifstream status(shell + "/status");
    while (std::getline(status, line))
        if (line.compare(0, 7, "SigIgn:") == 0)
            CHECK_EQ(std::stoull(line.substr(7), 0, 16) >> (SIGPIPE - 1) & 1, 0u);
    // Past the pipes on 0 and 1 and /dev/null on 2, only what the tests
    // themselves inherited.
    std::string stray;
    for (auto& entry : std::filesystem::directory_iterator(shell + "/fd", error))
        if (atoi(entry.path().filename().c_str()) > 2 && read_symlink(entry, error)
            != read_symlink("/proc/self/fd" / entry.path().filename(), error))
            stray += read_symlink(entry, error).string() + " ";
    CHECK_EQ(stray, "");
}
