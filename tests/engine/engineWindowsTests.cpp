// The engine where it meets Windows: the message catalogue, message boxes,
// error texts, the exchange with a server and the failure report. Runs once
// for an English and once for a German user.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "appState.h"
#include "bytes.h"
#include "fileContents.h"
#include "messageBoxWatcher.h"
#include "replyReport.h"
#include "resource.h"
#include "serverExchange.h"
#include "testServer.h"
#include "textsAndMessages.h"
#include "translationJob.h"
#include "translationState.h"

namespace {

const char* const reportPath = "C:\\Quorv.rpt";

bool germanUser()
{
    const char* language = getenv("QUORV_EXPECT_LANGUAGE");
    return language && !strcmp(language, "de");
}

const char* inLanguage(const char* english, const char* german)
{
    return germanUser() ? german : english;
}

// Each text set into the status line, in order.
std::vector<std::string> statuses;
WNDPROC staticProc;

LRESULT CALLBACK recordStatus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        statuses.push_back((const char*)lParam);
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

// What the program has when its window is up: the buffers, a main window
// with a status line, the module's resources and Winsock; with server, the
// test server. Cleaned before and after.
struct ProgramState {
    WinsockScope winsock;
    bool server;

    explicit ProgramState(bool withServer = false) : server(withServer)
    {
        instanceHandle = GetModuleHandleA(0);
        workText = (char*)GlobalAlloc(GMEM_FIXED, WORK_TEXT_SIZE);
        sourceText = (char*)GlobalAlloc(GMEM_FIXED, SOURCE_TEXT_SIZE);
        netBuffer = (char*)GlobalAlloc(GMEM_FIXED, NET_BUFFER_SIZE);
        memset(netBuffer, 'N', NET_BUFFER_SIZE);
        mainWindow = CreateWindowExA(0, "STATIC", "Quorvel", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, 0, 0, 0, 0);
        HWND status = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 300, 20, mainWindow, (HMENU)IDC_STATUS_LINE, 0, 0);
        staticProc = (WNDPROC)SetWindowLongPtrA(status, GWLP_WNDPROC, (LONG_PTR)recordStatus);
        statuses.clear();
        serviceHost = "localhost";
        DeleteFileA(reportPath);
        startMessageBoxWatcher();
        REQUIRE((!server || startTestServer()));
    }
    ~ProgramState()
    {
        if (server)
            stopTestServer();
        stopMessageBoxWatcher();
        DestroyWindow(mainWindow);
        mainWindow = 0;
        GlobalFree(workText);
        GlobalFree(sourceText);
        GlobalFree(netBuffer);
        DeleteFileA(reportPath);
    }
};

}  // namespace

TEST_CASE("the run's language, and the message catalogue as Windows-1252 bytes")
{
    CHECK_EQ(GetUserDefaultUILanguage(), germanUser() ? 0x0407 : 0x0409);
    CHECK_EQ(GetACP(), 1252u);
    ProgramState state;
    char text[64];
    memset(text, 'X', sizeof text);
    const char* receiving = inLanguage("Receiving translation...", "\xDC" "bersetzung wird empfangen...");
    CHECK_EQ(loadText(IDS_RECEIVING, text, sizeof text), (int)strlen(receiving));
    CHECK_EQ(Bytes(text), Bytes(receiving));
    CHECK_EQ(loadText(10013, text, sizeof text), 0);
    CHECK_EQ(Bytes(text), Bytes(""));
}

TEST_CASE("splitting the language names into their slots")
{
    struct {
        const char* names;
        const char* slots[LANGUAGE_COUNT];
    } cases[] = {
        { "English|French|", { "English", "French", "??", "??", "??", "??" } },
        { "A||B|", { "A", "", "B", "??", "??", "??" } },
        { "Abcdefghijklmnopqrstuvwxyz|B|", { "Abcdefghijklmnopqrs", "B", "??", "??", "??", "??" } },
        { "1|2|3|4|5|Sixth-name-longer-than-its-slot|Seventh-name-longer-than-a-slot|",
          { "1", "2", "3", "4", "5", "Sixth-name-longer-t" } },
        { "", { "??", "??", "??", "??", "??", "??" } },
    };
    // The table's neighbour in memory shows a name written past the sixth slot.
    memset(errorTextBuffer, 'E', 32);
    for (const auto& c : cases) {
        for (int i = 0; i < LANGUAGE_COUNT; ++i)
            strcpy(languageNames[i], "??");
        splitLanguageNames(c.names);
        CAPTURE(c.names);
        for (int i = 0; i < LANGUAGE_COUNT; ++i)
            CHECK_EQ(Bytes(languageNames[i]), Bytes(c.slots[i]));
    }
    CHECK_EQ(Bytes(errorTextBuffer, 32), Bytes(std::string(32, 'E')));
}

TEST_CASE("system and Winsock error texts, with the numbered text where there is none")
{
    ProgramState state;
    SetLastError(ERROR_ACCESS_DENIED);
    std::string lastError = systemErrorText(-1);
    CHECK_EQ(Bytes(lastError), Bytes(systemErrorText(ERROR_ACCESS_DENIED)));
    CHECK_NE(lastError.find("\r\n"), std::string::npos);

    // A system text with inserts comes as written, not as the fallback.
    char withInserts[1024] = "";
    DWORD code = 1;
    for (; code < 2000; ++code)
        if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, code, 0x0400, withInserts,
                           sizeof withInserts, 0)
            && strstr(withInserts, "%1"))
            break;
    REQUIRE_LT(code, 2000u);
    CHECK_EQ(Bytes(systemErrorText(code)), Bytes(withInserts));

    struct {
        int code;
        bool winsock;
    } fallbacks[] = { { 0x20001234, false }, { -2, false }, { 10013, true } };
    for (const auto& c : fallbacks) {
        std::string expected = inLanguage("Error: %d. More information? support@velmora.example.",
                                          "Fehler: %d. Mehr Informationen? support@velmora.example.");
        expected.replace(expected.find("%d"), 2, std::to_string(c.code));
        CHECK_EQ(Bytes(c.winsock ? winsockErrorText(c.code) : systemErrorText(c.code)), Bytes(expected));
    }
    CHECK_EQ(Bytes(winsockErrorText(11001)), Bytes(inLanguage("Server was not found.", "Server nicht gefunden.")));
    WSASetLastError(10038);
    CHECK_EQ(Bytes(winsockErrorText(-1)), Bytes(inLanguage("Internal errorr: No socket.", "Interner Fehler: Kein Socket.")));
}

TEST_CASE("replies the exchange takes as they come, and failed exchanges it tells the user about once")
{
    ProgramState state(true);
    std::string spanishPage = "<p><b>En Espa\xF1ol:</b><br>\nhola &amp; adi\xF3s<br>\nTo translate, type";
    std::string longPage = "<p>In English:<br>cut but fine<br>To translate, type<p>" + std::string(70000, 'z');
    std::string connectFailed = inLanguage("Could not connect to the server: ", "Server-Verbindung kann nicht hergestellt werden: ");
    struct {
        const char* name;
        const char* host;
        ServerAction action;
        std::string page;
        std::string received;  // the page as the buffer holds it
        Language target;
        const char* translation;
        std::string box;  // the start of the one message box, if a box comes
    } cases[] = {
        { "a page, a little late", "localhost", SERVER_REPLY, spanishPage, spanishPage, LANGUAGE_SPANISH,
          "hola &amp; adi\xF3s\r\n", "" },
        { "a reply longer than the buffer is cut and still used", "localhost", SERVER_REPLY, longPage,
          longPage.substr(0, NET_BUFFER_SIZE - 1), LANGUAGE_ENGLISH, "cut but fine\r\n", "" },
        { "a server that closes without a word gives an empty page", "localhost", SERVER_CLOSE_SILENTLY, "", "", 0,
          nullptr, "" },
        { "a reset connection", "localhost", SERVER_RESET, "", "", 0, nullptr,
          inLanguage("The data could not (or only partially) be received: Connection was reset.",
                     "Daten k\xF6nnen nicht (oder nur teilweise) empfangen werden: Verbindung wurde zur\xFC" "ckgesetzt.") },
        { "nobody listening", "127.0.0.2", SERVER_REPLY, "<p>", "", 0, nullptr, connectFailed + winsockErrorText(10061) },
        { "a host that cannot be found", "no-such-host.invalid", SERVER_REPLY, "<p>", "", 0, nullptr, connectFailed },
    };
    for (const auto& c : cases) {
        INFO(c.name);
        serviceHost = c.host;
        scriptTestServer({ c.action, c.page, 300 });
        strcpy(sourceText, "hello and goodbye");
        strcpy(pairCode, "en_es");
        abortRequested = 0;
        CHECK_EQ(exchangeWithServer(), c.box.empty());
        std::vector<SeenMessageBox> boxes = takeMessageBoxes(!c.box.empty());
        REQUIRE_EQ(boxes.size(), !c.box.empty());
        if (boxes.size()) {
            CHECK_EQ(Bytes(boxes[0].text.substr(0, c.box.size())), Bytes(c.box));
            CHECK_EQ(boxes[0].owner, mainWindow);
            continue;
        }
        CHECK_EQ(Bytes(netBuffer), Bytes(c.received));
        REQUIRE_EQ(statuses.size(), 2u);
        CHECK_EQ(Bytes(statuses[0]), Bytes(inLanguage("Transfering command...", "Befehl wird \xFC" "bermittelt...")));
        CHECK_EQ(Bytes(statuses[1]), Bytes(inLanguage("Receiving translation...", "\xDC" "bersetzung wird empfangen...")));
        statuses.clear();
        targetLanguage = c.target;
        if (c.translation) {
            REQUIRE_EQ(extractReply(), 1);
            CHECK_EQ(Bytes(workText), Bytes(c.translation));
        }
    }
    CHECK_EQ(Bytes(readFile(reportPath)), Bytes("<missing>"));

    // An abort raised before the exchange ends it without a word.
    scriptTestServer({ SERVER_REPLY, "<p>", 0 });
    abortRequested = 1;
    CHECK_EQ(exchangeWithServer(), 0);
    CHECK(takeMessageBoxes().empty());
}

TEST_CASE("pages that cannot be used are reported and written to the report file")
{
    ProgramState state(true);
    struct {
        const char* name;
        std::string page;
        const char* tag;
        std::string report;
    } cases[] = {
        { "empty reply", "", "HTML_NOT_FOUND", "Hello+world\r\nen_es\r\n" },
        { "no markup", "HTTP/1.0 500 Oops\r\n\r\nplain text", "HTML_NOT_FOUND",
          "Hello+world\r\nen_es\r\nHTTP/1.0 500 Oops\r\n\r\nplain text" },
        { "no heading", "<p>In English:<br>Hello world", "TRANS_NOT_FOUND",
          "\r\nIn English:\r\nHello world\r\nen_es\r\n<p>In English:<br>Hello world" },
    };
    for (const auto& c : cases) {
        DeleteFileA(reportPath);
        INFO(c.name);
        scriptTestServer({ c.page.empty() ? SERVER_CLOSE_SILENTLY : SERVER_REPLY, c.page, 0 });
        strcpy(sourceText, "Hello world");
        strcpy(pairCode, "en_es");
        abortRequested = 0;
        REQUIRE_EQ(exchangeWithServer(), 1);
        targetLanguage = LANGUAGE_SPANISH;
        CHECK_EQ(extractReply(), 0);
        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        CHECK_EQ(Bytes(boxes[0].caption), Bytes("Quorvel"));
        CHECK_EQ(Bytes(boxes[0].text), Bytes(std::string(inLanguage("An invalid page was returned by the server (Error: ",
                                                                    "\xDCng\xFCltige Seite vom \xDC" "bersetzungs-Server erhalten (Fehler: "))
                                             + c.tag
                                             + inLanguage(").\nPlease E-Mail this file to support@velmora.example: C:\\Quorv.rpt. ",
                                                          ").\nBitte schicken Sie die Datei 'C:\\Quorv.rpt' an support@velmora.example. ")));
        CHECK_EQ(boxes[0].owner, mainWindow);
        CHECK_EQ(Bytes(readFile(reportPath)), Bytes(c.report));
    }
}

TEST_CASE("the worker runs the exchange and wakes the window")
{
    ProgramState state(true);
    scriptTestServer({ SERVER_REPLY, "<p>In English:<br>x", 0 });
    strcpy(sourceText, "x");
    strcpy(pairCode, "fr_en");
    jobDone = abortRequested = 7;
    REQUIRE(startTranslationWorker());
    // The worker's status texts are sent to this thread, which must keep
    // taking messages until the wake-up comes.
    MSG message = {};
    DWORD start = GetTickCount();
    while (message.message != WM_COMMAND && GetTickCount() - start < 5000)
        if (!PeekMessageA(&message, mainWindow, 0, 0, PM_REMOVE))
            Sleep(1);
    CHECK_EQ(message.message, (UINT)WM_COMMAND);
    CHECK_EQ(message.wParam, (WPARAM)0);
    CHECK_EQ(jobDone, 1);
    CHECK_EQ(finishTranslationWorker(), 1);
    CHECK_EQ(abortRequested, 0);
    CHECK_EQ(Bytes(netBuffer), Bytes("<p>In English:<br>x"));
}
