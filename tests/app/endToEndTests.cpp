// The program against the real local translation service, which the test
// starts on 127.0.0.1 port 80 in its own network namespace.
#include <windows.h>
#include <cstring>
#include "appState.h"
#include "quorvSession.h"
#include "replyReport.h"
#include "serverExchange.h"
#include "translationState.h"

TEST_CASE("the engine's exchange gets a translation from the service")
{
    instanceHandle = GetModuleHandleA(0);
    WinsockScope winsock;
    REQUIRE(winsock.started);
    workText = (char*)GlobalAlloc(GMEM_FIXED, WORK_TEXT_SIZE);
    sourceText = (char*)GlobalAlloc(GMEM_FIXED, SOURCE_TEXT_SIZE);
    netBuffer = (char*)GlobalAlloc(GMEM_FIXED, NET_BUFFER_SIZE);
    struct {
        const char* text;
        const char* code;
        Language target;
        const char* translation;
    } cases[] = {
        { "The house", "en_es", LANGUAGE_SPANISH, "La casa\r\n" },
        { "La casa", "es_en", LANGUAGE_ENGLISH, "The house\r\n" },
        { "The house", "en_fr", LANGUAGE_FRENCH, "La maison\r\n" },
    };
    for (const auto& c : cases) {
        strcpy(sourceText, c.text);
        strcpy(pairCode, c.code);
        targetLanguage = c.target;
        abortRequested = 0;
        CAPTURE(c.code);
        REQUIRE_EQ(exchangeWithServer(), 1);
        REQUIRE_EQ(extractReply(), 1);
        CHECK_EQ(Bytes(workText), Bytes(c.translation));
    }
    GlobalFree(workText);
    GlobalFree(sourceText);
    GlobalFree(netBuffer);
}

TEST_CASE("Quorv.exe translates through the service")
{
    QuorvSession session;
    HWND window = session.window;
    REQUIRE(chooseLanguage(window, 1001, inLanguage("Spanish", "Spanisch")));
    typeText(window, "The house is big.");
    REQUIRE(pressButton(window, 1005));
    CHECK(waitUntil([&] { return !controlText(window, 1002).empty(); }, 10000));
    CHECK_EQ(Bytes(controlText(window, 1002)), Bytes("La casa es grande.\r\n"));
    REQUIRE(chooseLanguage(window, 1001, inLanguage("German", "Deutsch")));
    typeText(window, "Good morning!");
    REQUIRE(pressButton(window, 1005));
    CHECK(waitUntil([&] { return controlText(window, 1002).find("Guten Morgen") != std::string::npos; }, 10000));
    CHECK(takeMessageBoxes().empty());
}
