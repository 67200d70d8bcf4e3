// The page the service writes, run through the program's own cleaning and
// extraction, gives back the translation.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include <dirent.h>
#include <signal.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "apertiumStream.h"
#include "bytes.h"
#include "pageExtraction.h"
#include "languagePairs.h"
#include "textEncoding.h"
#include "translation.h"
#include "translationPage.h"

namespace {

// Short enough that waiting it out keeps the tests quick, long enough for
// the longest text here on a busy machine.
const int ANSWER_TIMEOUT_MS = 3000;

int pipelinesReady()
{
    static int ready = startApertiumPipelines(ANSWER_TIMEOUT_MS);
    return ready;
}

std::string extracted(Language target, const std::string& translation)
{
    std::string response;
    writeTranslationPage(target, translation, response);
    return extractFromPage(target, response);
}

std::string shown(const std::string& translation)
{
    std::string out;
    shownTranslation(translation, out);
    return out;
}

// A 1,023-character English text of several sentences.
std::string longEnglishText()
{
    std::string text;
    const char* sentences[] = {
        "The house is big and the garden is green. ",
        "My friend has a dog & a cat, and/or a bird. ",
        "We read books <and> newspapers every morning. ",
    };
    for (int i = 0; text.size() < 1023; ++i)
        text += sentences[i % 3];
    text.resize(1023);
    return text;
}

std::string linkTarget(const std::string& link)
{
    char target[256];
    ssize_t size = readlink(link.c_str(), target, sizeof target);
    return size > 0 ? std::string(target, (size_t)size) : std::string();
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
        { "one line", "La casa es grande.", "La casa es grande.\r\n" },
        { "several lines", "uno\ndos\ntres\n", "uno\r\ndos\r\ntres\r\n" },
        { "CR LF lines", "uno\r\ndos", "uno\r\ndos\r\n" },
        { "empty lines kept", "\nuno\n\n\ndos", "\r\nuno\r\n\r\n\r\ndos\r\n" },
        { "runs of blanks fold", "  a   b \t c  ", "a b \t c\r\n" },
        { "ampersand and entity stay", "a & b &amp; c", "a & b &amp; c\r\n" },
        { "slash and greater-than stay", "a/b > c </d>", "a/b > c \x8B/d>\r\n" },
        { "less-than before letter and blank", "<p> x < y <", "\x8Bp> x \x8B y \x8B\r\n" },
        { "Windows-1252 letters", "Espa\xF1ol \x80 caf\xE9", "Espa\xF1ol \x80 caf\xE9\r\n" },
        { "empty translation", "", "" },
        { "first end marker alone", "Use the above text to search the Web",
          "Use the above text to search the\xA0Web\r\n" },
        { "second end marker amid lines", "uno\nTo translate, type\ndos", "uno\r\nTo translate,\xA0type\r\ndos\r\n" },
        { "end marker once blanks fold", "x\n  To   translate,  type \n\nz", "x\r\nTo translate,\xA0type\r\n\r\nz\r\n" },
        { "longer line than a marker stays", "To translate, type here", "To translate, type here\r\n" },
    };
    for (auto& c : cases) {
        CAPTURE(c.name);
        CHECK_EQ(Bytes(shown(c.translation)), Bytes(c.shown));
        for (Language target = 0; target < LANGUAGE_COUNT; ++target)
            CHECK_EQ(Bytes(extracted(target, c.translation)), Bytes(c.shown));
    }
}

TEST_CASE("error pages escape the reason and carry no translation")
{
    EngineBuffers buffers;
    std::string response;
    writeErrorPage(404, "There is no page /<script>&x here.", response);
    CHECK_EQ(response.compare(0, 24, "HTTP/1.0 404 Not Found\r\n"), 0);
    CHECK(response.find("/&lt;script&gt;&amp;x") != std::string::npos);
    memcpy(netBuffer, response.c_str(), response.size() + 1);
    targetLanguage = LANGUAGE_SPANISH;
    REQUIRE(cleanPage());
    CHECK_FALSE(extractTranslation());
}

TEST_CASE("Windows-1252 and UTF-8 convert both ways")
{
    struct {
        const char* name;
        std::string windows1252;
        std::string utf8;
    } both[] = {
        { "ASCII", "plain text\n", "plain text\n" },
        { "Latin-1 range", "\xE9\xF1\xE7\xDF\xA0", "\xC3\xA9\xC3\xB1\xC3\xA7\xC3\x9F\xC2\xA0" },
        { "0x80 to 0x9F", "\x80\x8B\x9C\x9F", "\xE2\x82\xAC\xE2\x80\xB9\xC5\x93\xC5\xB8" },
    };
    std::string out;
    for (auto& c : both) {
        CAPTURE(c.name);
        windows1252ToUtf8(c.windows1252, out);
        CHECK_EQ(Bytes(out), Bytes(c.utf8));
        utf8ToWindows1252(c.utf8, out);
        CHECK_EQ(Bytes(out), Bytes(c.windows1252));
    }
    windows1252ToUtf8("a\x81" "b\x9D", out);
    CHECK_EQ(Bytes(out), Bytes("a?b?"));
    struct {
        const char* name;
        std::string utf8;
        std::string windows1252;
    } lossy[] = {
        { "outside the code page", "\xE2\x86\x92 \xD0\x96", "? ?" },
        { "cut sequence at the end", "a\xC3", "a?" },
        { "stray continuation bytes", "\x80\xBF" "z", "??z" },
        { "overlong zero and less-than", "a\xE0\x80\x80" "b\xF0\x80\x80\xBC" "c\xC0\xBC", "a?b?c??" },
        { "overlong letter", "\xE0\x81\x81", "?" },
    };
    for (auto& c : lossy) {
        CAPTURE(c.name);
        utf8ToWindows1252(c.utf8, out);
        CHECK_EQ(Bytes(out), Bytes(c.windows1252));
    }
}

TEST_CASE("Apertium's translations survive the page")
{
    REQUIRE(pipelinesReady());
    EngineBuffers buffers;
    struct {
        const char* pair;
        std::string text;
    } cases[] = {
        { "en_es", "The house is big.\r\nMy friend has a dog.\r\n\r\nThe end." },
        { "en_es", "Hello   my    friend,  you   and  I." },
        { "en_es", "a < b & c > d / e [x] {y} ^z$ \\ @ # *" },
        { "es_en", "El ni\xF1o come una manzana en el caf\xE9." },
        { "en_fr", "The boy is eating an apple." },
        { "en_it", "The house is big." },
        { "en_pt", "My friend has a dog." },
        { "en_es", longEnglishText() },
    };
    for (auto& c : cases) {
        CAPTURE(c.pair);
        CAPTURE(Bytes(c.text));
        std::string translation;
        REQUIRE_EQ(translateText(findPair(c.pair), c.text, translation), TRANSLATED);
        CHECK_NE(translation, "");
        Language target = LanguagePairs[findPair(c.pair)].target;
        CHECK_EQ(Bytes(extracted(target, translation)), Bytes(shown(translation)));
    }
}

TEST_CASE("a text cut into sentences translates as it does in one piece")
{
    REQUIRE(pipelinesReady());
    struct {
        const char* mode;
        const char* pair;
        std::string text;
    } cases[] = {
        { "eng-spa", "en_es", "Mr. Smith went to Washington. He said: \"I am here!\" Dr. Jones agreed." },
        { "eng-spa", "en_es", "The U.S. economy grew by 3.5 percent. Prices rose, e.g. food and fuel." },
        { "eng-spa", "en_es", "The U.S. Army came. He works for the U.N. Security Council." },
        { "eng-spa", "en_es", "What? No! Yes... maybe. I don't know. It's 5 p.m. now." },
        { "eng-spa", "en_es", "First line without a stop\nsecond line goes on\nand a third one." },
        { "eng-spa", "en_es", longEnglishText() },
        { "spa-eng", "es_en", "El Sr. Garc\xED" "a lleg\xF3 tarde. Dijo que el tren no funcionaba. Nadie le crey\xF3." },
    };
    for (auto& c : cases) {
        CAPTURE(Bytes(c.text));
        std::string utf8, whole, translation;
        std::vector<std::string> chunk(1), answer;
        windows1252ToUtf8(c.text, utf8);
        textToStream(utf8, chunk[0]);
        REQUIRE_EQ(runApertiumPipeline(apertiumPipeline(c.mode), chunk, answer), PIPELINE_ANSWERED);
        streamToText(answer[0], utf8);
        utf8ToWindows1252(utf8, whole);
        REQUIRE_EQ(translateText(findPair(c.pair), c.text, translation), TRANSLATED);
        CHECK_EQ(Bytes(translation), Bytes(whole));
    }
}

TEST_CASE("a pipeline that dies is restarted and the text still translated")
{
    REQUIRE(pipelinesReady());
    std::string translation;
    int first = apertiumPipelineProcess("eng-spa");
    REQUIRE(first > 0);
    REQUIRE_EQ(kill(-first, SIGKILL), 0);
    REQUIRE_EQ(translateText(findPair("en_es"), "The house", translation), TRANSLATED);
    CHECK_EQ(Bytes(translation), Bytes("La casa"));
    CHECK_NE(apertiumPipelineProcess("eng-spa"), first);
}

TEST_CASE("an answer out of step is never taken for the next request's")
{
    REQUIRE(pipelinesReady());
    // A zero byte inside a chunk makes the pipeline answer twice for it.
    std::vector<std::string> chunk(1, std::string("The dog[]\0The cat[]", 19)), answer;
    runApertiumPipeline(apertiumPipeline("eng-spa"), chunk, answer);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::string translation;
    REQUIRE_EQ(translateText(findPair("en_es"), "The house", translation), TRANSLATED);
    CHECK_EQ(Bytes(translation), Bytes("La casa"));
}

TEST_CASE("a request that waits too long for a stuck pipeline gets busy, not a hang")
{
    REQUIRE(pipelinesReady());
    int stuck = apertiumPipelineProcess("eng-cat");
    REQUIRE(stuck > 0);
    REQUIRE_EQ(kill(-stuck, SIGSTOP), 0);
    // The first to take the pipeline waits out the answer timeout and
    // restarts it; the other gives up on its turn at about the same time.
    TranslationResult results[2];
    std::string translations[2];
    auto started = std::chrono::steady_clock::now();
    std::thread first([&] { results[0] = translateText(findPair("en_it"), "The house", translations[0]); });
    std::thread second([&] { results[1] = translateText(findPair("en_it"), "The house", translations[1]); });
    first.join();
    second.join();
    auto waited = std::chrono::steady_clock::now() - started;
    int translated = results[0] == TRANSLATED ? 0 : 1;
    CHECK_EQ(results[translated], TRANSLATED);
    CHECK_EQ(Bytes(translations[translated]), Bytes("La casa"));
    CHECK_EQ(results[1 - translated], TRANSLATION_BUSY);
    CHECK(waited < std::chrono::milliseconds(2 * ANSWER_TIMEOUT_MS));
    CHECK_NE(apertiumPipelineProcess("eng-cat"), stuck);
}

TEST_CASE("the pipeline's stages get no ignored SIGPIPE and no stray descriptor")
{
    REQUIRE(pipelinesReady());
    int shell = apertiumPipelineProcess("pt-es");
    REQUIRE(shell > 0);
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", shell);
    FILE* status = fopen(path, "r");
    REQUIRE(status);
    char line[256];
    unsigned long long ignored = 0;
    while (fgets(line, sizeof line, status))
        sscanf(line, "SigIgn: %llx", &ignored);
    fclose(status);
    CHECK_EQ(ignored >> (SIGPIPE - 1) & 1, 0u);

    // Descriptors 0 to 2 are the pipes and /dev/null. Any other /dev/null
    // must be one that the tests themselves inherited.
    snprintf(path, sizeof path, "/proc/%d/fd", shell);
    DIR* folder = opendir(path);
    REQUIRE(folder);
    std::string strayNull;
    while (dirent* entry = readdir(folder)) {
        if (atoi(entry->d_name) > 2 && linkTarget(std::string(path) + "/" + entry->d_name) == "/dev/null"
            && linkTarget(std::string("/proc/self/fd/") + entry->d_name) != "/dev/null")
            strayNull += std::string(entry->d_name) + " ";
    }
    closedir(folder);
    CHECK_EQ(strayNull, "");
}
