// The engine where it meets Windows: the message catalogue, message boxes,
// error texts, the exchange with a server and the failure report. Runs once
// for an English and once for a German user.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>
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
const std::string markerLine = "Use the above text to search the Web";

bool germanUser()
{
    const char* language = getenv("QUORV_EXPECT_LANGUAGE");
    return language && !strcmp(language, "de");
}

const char* inLanguage(const char* english, const char* german)
{
    return germanUser() ? german : english;
}

std::string statusLine()
{
    char text[260] = "(untouched)";
    GetDlgItemTextA(mainWindow, IDC_STATUS_LINE, text, sizeof text);
    return text;
}

// What the program has when its window is up: the buffers, a main window
// with a status line, the module's resources and Winsock.
struct ProgramState {
    WinsockScope winsock;

    ProgramState()
    {
        instanceHandle = GetModuleHandleA(0);
        workText = (char*)GlobalAlloc(GMEM_FIXED, WORK_TEXT_SIZE);
        sourceText = (char*)GlobalAlloc(GMEM_FIXED, SOURCE_TEXT_SIZE);
        netBuffer = (char*)GlobalAlloc(GMEM_FIXED, NET_BUFFER_SIZE);
        memset(workText, 'W', WORK_TEXT_SIZE);
        memset(sourceText, 'S', SOURCE_TEXT_SIZE);
        memset(netBuffer, 'N', NET_BUFFER_SIZE);
        mainWindow = CreateWindowExA(0, "STATIC", "Quorvel", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, 0, 0, 0, 0);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 20, mainWindow,
                        (HMENU)IDC_STATUS_LINE, 0, 0);
        abortRequested = 0;
        serviceHost = "localhost";
        DeleteFileA(reportPath);
        startMessageBoxWatcher();
    }
    ~ProgramState()
    {
        stopMessageBoxWatcher();
        DestroyWindow(mainWindow);
        mainWindow = 0;
        GlobalFree(workText);
        GlobalFree(sourceText);
        GlobalFree(netBuffer);
        DeleteFileA(reportPath);
    }
};

struct ServerState : ProgramState {
    int listening;
    ServerState() : listening(startTestServer()) { REQUIRE(listening); }
    ~ServerState() { stopTestServer(); }
};

// One exchange for text and code against a server that follows script.
int exchange(const char* text, const char* code, const ServerScript& script)
{
    scriptTestServer(script);
    strcpy(sourceText, text);
    strcpy(pairCode, code);
    abortRequested = 0;
    return exchangeWithServer();
}

ServerScript reply(const std::string& page, unsigned delay = 0)
{
    return ServerScript{ SERVER_REPLY, page, delay };
}

void checkOneBox(const char* expectedText, int line)
{
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
    INFO("message box expected by line ", line);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].caption), Bytes("Quorvel"));
    CHECK_EQ(Bytes(boxes[0].text), Bytes(expectedText));
    CHECK_EQ(boxes[0].owner, mainWindow);
}
#define CHECK_ONE_BOX(text) checkOneBox(text, __LINE__)

}  // namespace

TEST_CASE("the run has the user language it asks for")
{
    CHECK_EQ(GetUserDefaultUILanguage(), germanUser() ? 0x0407 : 0x0409);
    CHECK_EQ(GetACP(), 1252u);
}

TEST_CASE("the message catalogue comes back as Windows-1252 bytes")
{
    ProgramState state;
    struct {
        UINT id;
        const char* english;
        const char* german;
    } catalogue[] = {
        { 1, "Error: %d. More information? %s.", "Fehler: %d. Mehr Informationen? %s." },
        { 2, "An invalid page was returned by the server (Error: %s).\nPlease E-Mail this file to %s: C:\\Quorv.rpt. ",
          "\xDCng\xFCltige Seite vom \xDC" "bersetzungs-Server erhalten (Fehler: %s).\nBitte schicken Sie die Datei "
          "'C:\\Quorv.rpt' an %s. " },
        { 3, "Error calling WSACleanup (should never happen): %s", "Fehler bei WSACleanup aufgetreten: %s" },
        { 4, "Useable version of a library, wsock32.dll, was not found.\n\n%s",
          "Brauchbare Version der DLL-Datei wsock32.dll kann nicht gefunden werden.\n\n%s" },
        { 5, "Could not connect to the server: %s", "Server-Verbindung kann nicht hergestellt werden: %s" },
        { 6, "Quorvel is out of memory.\n\nClose up some other programs and retry the operation.",
          "Dem Quorvel stehen nicht gen\xFCgend Speicher oder Ressourcen zu Verf\xFCgung.\n\nSchlie\xDF" "en Sie "
          "andere Programme und wiederholen Sie den Vorgang." },
        { 8, "&Always On Top", "Immer im &Vordergrund" },
        { 9, "The data could not (or only partially) be received: %s",
          "Daten k\xF6nnen nicht (oder nur teilweise) empfangen werden: %s" },
        { 10, "The data could not (correctly) be send: %s", "Daten k\xF6nnen nicht (vollst\xE4ndig) gesendet werden: %s" },
        { 11, "About &Quorvel", "\xDC" "ber &Quorvel" },
        { 13, "http://www.velmora.example/en/contact.html", "http://www.velmora.example/de/kontakt.html" },
        { 11005, "Ready", "Bereit" },
        { 11006, "Connecting. Please wait...", "Verbindung wird hergestellt. Bitte warten..." },
        { 11007, "Receiving translation...", "\xDC" "bersetzung wird empfangen..." },
        { 11008, "Transfering command...", "Befehl wird \xFC" "bermittelt..." },
        { 11009, "Operation is being aborted. Please wait...", "Aktion wird abgebrochen. Bitte warten..." },
        { 11010, "English|French|German|Italian|Portuguese|Spanish|",
          "Englisch|Franz\xF6sisch|Deutsch|Italienisch|Portugiesisch|Spanisch|" },
        { 10004, "Interrupted.", "Unterbrochen." },
        { 10022, "Internal error: Socket was not found.", "Interner Fehler: Socket nicht gebunden." },
        { 10035, "Internal error: Would Block.", "Interner Fehler: Would Block." },
        { 10036, "Operation in progress.", "Operation im Gange." },
        { 10038, "Internal errorr: No socket.", "Interner Fehler: Kein Socket." },
        { 10040, "Data packet to large.", "Datenpaket zu gro\xDF." },
        { 10045, "OP is not supported.", "OP wird nicht unterst\xFCtzt." },
        { 10050, "Network Subsystem failed.", "Netzwerk Subsystem fehlgeschlagen." },
        { 10053, "Timeout or error occured.", "Timeout oder Fehler aufgetreten." },
        { 10054, "Connection was reset.", "Verbindung wurde zur\xFC" "ckgesetzt." },
        { 10057, "Not connected.", "Nicht verbunden" },
        { 10058, "Socket was shut down.", "Socket wurde heruntergefahren." },
        { 10093, "Internal error: not initialized. ", "Interner Fehler: Nicht initialisiert. " },
        { 11001, "Server was not found.", "Server nicht gefunden." },
        { 11004, "Make sure, that there's a connection to the internet.",
          "Stellen Sie sicher, dass eine Internet-Verbindung besteht." },
    };
    for (const auto& entry : catalogue) {
        char text[1024];
        memset(text, 'X', sizeof text);
        text[sizeof text - 1] = 0;
        int length = LoadStringA(instanceHandle, entry.id, text, sizeof text);
        CAPTURE(entry.id);
        CHECK_EQ(Bytes(text), Bytes(inLanguage(entry.english, entry.german)));
        CHECK_EQ(length, (int)strlen(inLanguage(entry.english, entry.german)));
    }
    char text[16] = "sentinel";
    CHECK_EQ(LoadStringA(instanceHandle, 10013, text, sizeof text), 0);
}

TEST_CASE("the language names table")
{
    ProgramState state;
    memset(languageNames, '?', sizeof languageNames);
    loadLanguageNames();
    const char* english[] = { "English", "French", "German", "Italian", "Portuguese", "Spanish" };
    const char* german[] = { "Englisch", "Franz\xF6sisch", "Deutsch", "Italienisch", "Portugiesisch", "Spanisch" };
    for (int i = 0; i < LANGUAGE_COUNT; ++i)
        CHECK_EQ(Bytes(languageNames[i]), Bytes(inLanguage(english[i], german[i])));

    struct {
        const char* names;
        const char* slots[LANGUAGE_COUNT];
    } cases[] = {
        { "English|French|", { "English", "French", "??", "??", "??", "??" } },
        { "A||B|", { "A", "", "B", "??", "??", "??" } },
        { "Abcdefghijklmnopqrstuvwxyz|B|", { "Abcdefghijklmnopqrs", "B", "??", "??", "??", "??" } },
        { "1|2|3|4|5|6|7|8|", { "1", "2", "3", "4", "5", "6" } },
        { "1|2|3|4|5|Sixth-name-longer-than-its-slot|Seventh|",
          { "1", "2", "3", "4", "5", "Sixth-name-longer-t" } },
        { "", { "??", "??", "??", "??", "??", "??" } },
    };
    for (const auto& c : cases) {
        char table[LANGUAGE_COUNT + 1][LANGUAGE_NAME_SIZE];
        memset(languageNames, 0, sizeof languageNames);
        for (int i = 0; i < LANGUAGE_COUNT; ++i)
            strcpy(languageNames[i], "??");
        memset(table[LANGUAGE_COUNT], 'G', LANGUAGE_NAME_SIZE);
        splitLanguageNames(c.names);
        CAPTURE(c.names);
        for (int i = 0; i < LANGUAGE_COUNT; ++i)
            CHECK_EQ(Bytes(languageNames[i]), Bytes(c.slots[i]));
    }
}

TEST_CASE("system and Winsock error texts")
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

    CHECK_EQ(Bytes(systemErrorText(0x20001234)),
             Bytes(inLanguage("Error: 536875572. More information? support@velmora.example.",
                              "Fehler: 536875572. Mehr Informationen? support@velmora.example.")));
    CHECK_EQ(Bytes(systemErrorText(-2)), Bytes(inLanguage("Error: -2. More information? support@velmora.example.",
                                                          "Fehler: -2. Mehr Informationen? support@velmora.example.")));

    CHECK_EQ(Bytes(winsockErrorText(11001)), Bytes(inLanguage("Server was not found.", "Server nicht gefunden.")));
    CHECK_EQ(Bytes(winsockErrorText(10013)), Bytes(inLanguage("Error: 10013. More information? support@velmora.example.",
                                                              "Fehler: 10013. Mehr Informationen? support@velmora.example.")));
    WSASetLastError(10038);
    CHECK_EQ(Bytes(winsockErrorText(-1)), Bytes(inLanguage("Internal errorr: No socket.", "Interner Fehler: Kein Socket.")));
}

TEST_CASE("message boxes as the user sees them")
{
    ProgramState state;
    reportError(IDS_CONNECT_FAILED, winsockErrorText(11001));
    CHECK_ONE_BOX(inLanguage("Could not connect to the server: Server was not found.",
                             "Server-Verbindung kann nicht hergestellt werden: Server nicht gefunden."));

    reportError(IDS_CONNECT_FAILED, winsockErrorText(10013));
    CHECK_ONE_BOX(inLanguage("Could not connect to the server: Error: 10013. More information? support@velmora.example.",
                             "Server-Verbindung kann nicht hergestellt werden: Fehler: 10013. Mehr Informationen? "
                             "support@velmora.example."));

    reportError(IDS_INVALID_PAGE, "HTML_NOT_FOUND", supportAddress);
    CHECK_ONE_BOX(inLanguage("An invalid page was returned by the server (Error: HTML_NOT_FOUND).\nPlease E-Mail this "
                             "file to support@velmora.example: C:\\Quorv.rpt. ",
                             "\xDCng\xFCltige Seite vom \xDC" "bersetzungs-Server erhalten (Fehler: HTML_NOT_FOUND).\n"
                             "Bitte schicken Sie die Datei 'C:\\Quorv.rpt' an support@velmora.example. "));

    reportError(IDS_WINSOCK_MISSING, "Version 1.1 requiert.");
    CHECK_ONE_BOX(inLanguage("Useable version of a library, wsock32.dll, was not found.\n\nVersion 1.1 requiert.",
                             "Brauchbare Version der DLL-Datei wsock32.dll kann nicht gefunden werden.\n\n"
                             "Version 1.1 requiert."));

    // Before the main window exists, and after it has gone, a box has no owner.
    HWND window = mainWindow;
    mainWindow = 0;
    reportError(IDS_OUT_OF_MEMORY);
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
    mainWindow = window;
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(boxes[0].owner, (HWND)0);
    CHECK_EQ(Bytes(boxes[0].text), Bytes(inLanguage("Quorvel is out of memory.\n\nClose up some other programs and retry "
                                                    "the operation.",
                                                    "Dem Quorvel stehen nicht gen\xFCgend Speicher oder Ressourcen zu "
                                                    "Verf\xFCgung.\n\nSchlie\xDF" "en Sie andere Programme und "
                                                    "wiederholen Sie den Vorgang.")));
}

TEST_CASE("the request bytes the server receives")
{
    ServerState state;
    struct {
        const char* text;
        const char* code;
        const char* request;
    } cases[] = {
        { "Guten Tag", "de_en", "GET /cgi-bin/translate?doit=done&urltext=Guten+Tag&lp=de_en HTTP/1.0\n\n" },
        { "  Hello   world  ", "en_es", "GET /cgi-bin/translate?doit=done&urltext=Hello+world+&lp=en_es HTTP/1.0\n\n" },
        { "line one\r\nline two", "en_fr",
          "GET /cgi-bin/translate?doit=done&urltext=line+one%0D%0Aline+two&lp=en_fr HTTP/1.0\n\n" },
        { "1+1=2", "en_it", "GET /cgi-bin/translate?doit=done&urltext=1%2B1%3D2&lp=en_it HTTP/1.0\n\n" },
        { "C'est", "fr_en", "GET /cgi-bin/translate?doit=done&urltext=C%27est&lp=fr_en HTTP/1.0\n\n" },
        { "Stra\xDF" "e", "de_en", "GET /cgi-bin/translate?doit=done&urltext=Stra%DFe&lp=de_en HTTP/1.0\n\n" },
        { "   ", "pt_en", "GET /cgi-bin/translate?doit=done&urltext=&lp=pt_en HTTP/1.0\n\n" },
        { "word", "", "GET /cgi-bin/translate?doit=done&urltext=word&lp= HTTP/1.0\n\n" },
    };
    for (const auto& c : cases) {
        CAPTURE(escapeBytes(c.text));
        CHECK_EQ(exchange(c.text, c.code, reply("<p>In English:<br>x")), 1);
        CHECK_EQ(Bytes(receivedRequest()), Bytes(c.request));
        CHECK_EQ(Bytes(netBuffer), Bytes("<p>In English:<br>x"));
        CHECK_EQ(Bytes(statusLine()), Bytes(inLanguage("Receiving translation...", "\xDC" "bersetzung wird empfangen...")));
    }
    CHECK(takeMessageBoxes().empty());
}

TEST_CASE("replies the exchange takes as they come")
{
    ServerState state;

    SUBCASE("a page, a little late")
    {
        std::string page = "HTTP/1.0 200 OK\r\n\r\n<p><b>En Espa\xF1ol:</b><br>\nhola &amp; adi\xF3s<br>\n" + markerLine;
        REQUIRE_EQ(exchange("hello and goodbye", "en_es", reply(page, 300)), 1);
        CHECK_EQ(Bytes(netBuffer), Bytes(page));
        targetLanguage = LANGUAGE_SPANISH;
        REQUIRE_EQ(extractReply(), 1);
        CHECK_EQ(Bytes(workText), Bytes("hola &amp; adi\xF3s\r\n"));
    }
    SUBCASE("a reply longer than the buffer is cut and still used")
    {
        std::string page = "<p>In English:<br>cut but fine<br>" + markerLine + "<p>";
        page.append(70000 - page.size(), 'z');
        REQUIRE_EQ(exchange("x", "es_en", reply(page)), 1);
        CHECK_EQ(strlen(netBuffer), (size_t)NET_BUFFER_SIZE - 1);
        CHECK_EQ(Bytes(netBuffer), Bytes(page.substr(0, NET_BUFFER_SIZE - 1)));
        targetLanguage = LANGUAGE_ENGLISH;
        REQUIRE_EQ(extractReply(), 1);
        CHECK_EQ(Bytes(workText), Bytes("cut but fine\r\n"));
    }
    SUBCASE("a server that closes without a word gives an empty page")
    {
        REQUIRE_EQ(exchange("x", "en_de", ServerScript{ SERVER_CLOSE_SILENTLY, "", 0 }), 1);
        CHECK_EQ(Bytes(netBuffer), Bytes(""));
    }
    CHECK(takeMessageBoxes().empty());
    CHECK(GetFileAttributesA(reportPath) == INVALID_FILE_ATTRIBUTES);
}

TEST_CASE("failed exchanges tell the user once and return 0")
{
    ServerState state;

    SUBCASE("a reset connection")
    {
        CHECK_EQ(exchange("x", "en_fr", ServerScript{ SERVER_RESET, "", 0 }), 0);
        CHECK_ONE_BOX(inLanguage("The data could not (or only partially) be received: Connection was reset.",
                                 "Daten k\xF6nnen nicht (oder nur teilweise) empfangen werden: Verbindung wurde "
                                 "zur\xFC" "ckgesetzt."));
        CHECK_EQ(abortRequested, 1);
    }
    SUBCASE("nobody listening")
    {
        serviceHost = "127.0.0.2";
        CHECK_EQ(exchange("x", "en_fr", reply("<p>")), 0);
        CHECK_ONE_BOX(inLanguage("Could not connect to the server: The translation service is not running or cannot "
                                 "be reached (connection refused).",
                                 "Server-Verbindung kann nicht hergestellt werden: Der \xDC" "bersetzungsdienst l\xE4uft "
                                 "nicht oder ist nicht erreichbar (Verbindung abgelehnt)."));
    }
    SUBCASE("a host that cannot be found")
    {
        serviceHost = "no-such-host.invalid";
        CHECK_EQ(exchange("x", "en_fr", reply("<p>")), 0);
        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1);
        REQUIRE_EQ(boxes.size(), 1u);
        CHECK_EQ(Bytes(boxes[0].text.substr(0, boxes[0].text.find(':') + 2)),
                 Bytes(inLanguage("Could not connect to the server: ", "Server-Verbindung kann nicht hergestellt werden: ")));
    }
    SUBCASE("an abort raised before the exchange")
    {
        scriptTestServer(reply("<p>"));
        strcpy(sourceText, "x");
        abortRequested = 1;
        CHECK_EQ(exchangeWithServer(), 0);
        CHECK(takeMessageBoxes().empty());
    }
    CHECK(takeMessageBoxes().empty());
}

TEST_CASE("pages that cannot be used are reported and written to the report file")
{
    ServerState state;
    struct {
        const char* name;
        std::string page;
        Language target;
        const char* tag;
        std::string report;
    } cases[] = {
        { "empty reply", "", LANGUAGE_SPANISH, "HTML_NOT_FOUND", "Hello+world\r\nen_es\r\n" },
        { "no markup", "HTTP/1.0 500 Oops\r\n\r\nplain text", LANGUAGE_SPANISH, "HTML_NOT_FOUND",
          "Hello+world\r\nen_es\r\nHTTP/1.0 500 Oops\r\n\r\nplain text" },
        { "no heading", "HTTP/1.0 200 OK\r\n\r\n<p>In English:<br>Hello world", LANGUAGE_SPANISH, "TRANS_NOT_FOUND",
          "\r\nIn English:\r\nHello world\r\nen_es\r\nHTTP/1.0 200 OK\r\n\r\n<p>In English:<br>Hello world" },
        { "heading as last line", "<b>En Espa\xF1ol:</b>", LANGUAGE_SPANISH, "TRANS_NOT_FOUND",
          "En Espa\xF1ol:\r\n\r\nen_es\r\n<b>En Espa\xF1ol:</b>" },
    };
    for (const auto& c : cases) {
        DeleteFileA(reportPath);
        CAPTURE(c.name);
        REQUIRE_EQ(exchange("Hello world", "en_es",
                            c.page.empty() ? ServerScript{ SERVER_CLOSE_SILENTLY, "", 0 } : reply(c.page)),
                   1);
        targetLanguage = c.target;
        CHECK_EQ(extractReply(), 0);
        std::string expected = std::string(inLanguage("An invalid page was returned by the server (Error: ",
                                                      "\xDCng\xFCltige Seite vom \xDC" "bersetzungs-Server erhalten (Fehler: "))
            + c.tag
            + inLanguage(").\nPlease E-Mail this file to support@velmora.example: C:\\Quorv.rpt. ",
                         ").\nBitte schicken Sie die Datei 'C:\\Quorv.rpt' an support@velmora.example. ");
        CHECK_ONE_BOX(expected.c_str());
        CHECK_EQ(Bytes(readFile(reportPath)), Bytes(c.report));
    }
}

TEST_CASE("the worker runs the exchange and wakes the window")
{
    ServerState state;
    scriptTestServer(reply("<p>In English:<br>x"));
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
