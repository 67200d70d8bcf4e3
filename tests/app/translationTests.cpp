// Translations through a test server on 127.0.0.1 port 80: the result, the
// clipboard, the busy state, aborts, and failures while the window works.
#include <winsock2.h>
#include <iphlpapi.h>
#include <shlobj.h>
#include "fileContents.h"
#include "quorvDriver.h"
#include "testServer.h"

namespace {

const std::string frenchPage = "HTTP/1.0 200 OK\r\n\r\n<html><p><b>En Fran\xE7" "ais:</b><br>\nBonjour le monde<br>\n"
                               "Use the above text to search the Web</p></html>";
const char* const bonjour = "Bonjour le monde\r\n";

const char* ready() { return inLanguage("Ready", "Bereit"); }
std::string status(HWND window) { return controlText(window, IDC_STATUS_LINE); }

// Busy: of the controls a job locks, Abort alone is enabled, and Close is
// off in the system menu; idle: the other way round.
bool inState(HWND window, bool busy)
{
    for (int id : { IDC_INPUT, IDC_TRANSLATE, IDC_AUTO_COPY, IDC_SWAP })
        if (isEnabled(window, id) == busy)
            return false;
    return isEnabled(window, IDC_ABORT) == busy && grayed(window, SC_CLOSE) == busy;
}

// Presses Abort on a busy window: it is idle again within a second, silently.
void checkAbort(HWND window)
{
    REQUIRE(inState(window, true));
    REQUIRE(pressButton(window, IDC_ABORT));
    CHECK(waitUntil([&] { return inState(window, false); }, 1000));
    CHECK_EQ(Bytes(status(window)), Bytes(ready()));
    CHECK_EQ(Bytes(controlText(window, IDC_RESULT)), Bytes(""));
    CHECK(takeMessageBoxes().empty());
}

// Connection attempts to port 80 that still wait for the server.
int waitingConnects()
{
    static char buffer[1 << 16];
    ULONG size = sizeof buffer;
    MIB_TCPTABLE* table = (MIB_TCPTABLE*)buffer;
    int count = 0;
    if (GetTcpTable(table, &size, FALSE) == NO_ERROR)
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            count += table->table[i].dwState == MIB_TCP_STATE_SYN_SENT && table->table[i].dwRemotePort == htons(80);
    return count;
}

struct Server {
    Server() { REQUIRE(startTestServer()); }
    ~Server() { stopTestServer(); }
};

// Holds each message box open until released, as a user who has not read
// it yet would.
HANDLE boxRelease = CreateEventA(0, TRUE, FALSE, 0);
volatile LONG boxesHeld;
void holdBox(HWND) { InterlockedIncrement(&boxesHeld), WaitForSingleObject(boxRelease, 30000); }
struct HeldBoxes {
    HeldBoxes() { ResetEvent(boxRelease), boxesHeld = 0, onMessageBoxSeen = holdBox; }
    ~HeldBoxes() { SetEvent(boxRelease), onMessageBoxSeen = 0; }
};

}  // namespace

TEST_CASE("translations through the server")
{
    QuorvSession session;
    HWND window = session.window;
    if (OpenClipboard(0))
        EmptyClipboard(), CloseClipboard();
    typeText(window, "Hello  world");
    std::vector<SeenMessageBox> boxes;

    SUBCASE("with nobody listening: one box, of the window's own, and no result") {
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        boxes = takeMessageBoxes(1, 5000);
        REQUIRE_EQ(boxes.size(), 1u);
        CHECK_NE(boxes[0].text.find(inLanguage("connect", "Verbindung")), std::string::npos);
        CHECK_EQ(boxes[0].owner, window);
        CHECK(waitUntil([&] { return inState(window, false) && controlText(window, IDC_RESULT).empty(); }));
    }

    // Each of the following starts the program afresh with the server running.
    Server server;
    SUBCASE("auto-copy of a page longer than the buffer, which is cut and used; the copy waits for a clipboard "
            "held for a moment, and leaves one held longer alone and says so") {
        REQUIRE(pressButton(window, IDC_AUTO_COPY));
        for (DWORD held : { 200, 3000 }) {
            CAPTURE(held);
            SetDlgItemTextA(window, IDC_RESULT, "");
            scriptTestServer({ SERVER_REPLY, frenchPage + std::string(70000, 'z'), 0 });
            CHECK(waitUntil([&] { return isEnabled(window, IDC_TRANSLATE); }));
            // Asking the window anything now would wait for its copy.
            REQUIRE(OpenClipboard(0));
            EmptyClipboard();
            PostMessageA(GetDlgItem(window, IDC_TRANSLATE), BM_CLICK, 0, 0);
            Sleep(held);
            CloseClipboard();
            CHECK(waitUntil([&] { return controlText(window, IDC_RESULT) == bonjour && !GetOpenClipboardWindow(); }));
            CHECK_EQ(status(window) != ready(), held > 1000);
            CHECK_EQ(clipboardText() == bonjour, held < 1000);
        }
    }

    SUBCASE("a page without the heading: a box of the window's own names the report file, C:\\Quorv.rpt or the "
            "next place that takes it, or says that there is none; the result is emptied") {
        char appData[MAX_PATH], temp[MAX_PATH];
        REQUIRE(SUCCEEDED(SHGetFolderPathA(0, CSIDL_LOCAL_APPDATA, 0, 0, appData)));
        REQUIRE(GetTempPathA(sizeof temp, temp));
        const std::string places[] = { "C:\\Quorv.rpt", appData + std::string("\\Quorvel\\Quorv.rpt"),
                                       temp + std::string("Quorv.rpt"), "" };
        for (const std::string& place : places)
            DeleteFileA(place.c_str()), RemoveDirectoryA(place.c_str());
        for (const std::string& place : places) {
            SetDlgItemTextA(window, IDC_RESULT, "old");
            scriptTestServer({ SERVER_REPLY, "HTTP/1.0 200 OK\r\n\r\n<p>x", 0 });
            CHECK(waitUntil([&] { return pressButton(window, IDC_TRANSLATE); }));
            boxes = takeMessageBoxes(1, 5000);
            REQUIRE_EQ(boxes.size(), 1u);
            CAPTURE(boxes[0].text);
            CHECK_EQ(boxes[0].owner, window);
            CHECK_NE(boxes[0].text.find("TRANS_NOT_FOUND"), std::string::npos);
            CHECK_EQ(boxes[0].text.find(place.empty() ? "Quorv.rpt" : place) != std::string::npos, !place.empty());
            CHECK_EQ(Bytes(readFile(place)),
                     Bytes(place.empty() ? "<missing>" : "\r\nx\r\nen_fr\r\nHTTP/1.0 200 OK\r\n\r\n<p>x"));
            CHECK(waitUntil([&] { return controlText(window, IDC_RESULT).empty(); }));
            // A folder of the file's name keeps the file from being made.
            DeleteFileA(place.c_str()), SHCreateDirectoryExA(0, place.c_str(), 0);
        }
        for (const std::string& place : places)
            RemoveDirectoryA(place.c_str());
    }

    SUBCASE("busy while the server is silent, and closed by none of the usual ways, until Abort; then the "
            "request and the result, not copied") {
        scriptTestServer({ SERVER_STAY_SILENT, "", 0 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return inState(window, true) && status(window) == inLanguage("Receiving translation...",
                                                                                        "\xDC" "bersetzung wird empfangen..."); }));
        PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageA(GetDlgItem(window, IDC_RESULT), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(GetDlgItem(window, IDC_RESULT), WM_CHAR, VK_ESCAPE, 1);
        CHECK(handlePosted(window, IDC_INPUT));
        CHECK(IsWindowVisible(window));
        checkAbort(window);
        scriptTestServer({ SERVER_REPLY, frenchPage, 0 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return controlText(window, IDC_RESULT) == bonjour && inState(window, false); }));
        CHECK_EQ(Bytes(status(window)), Bytes(ready()));
        CHECK_EQ(Bytes(receivedRequest()), Bytes("GET /cgi-bin/translate?doit=done&urltext=Hello+world&lp=en_fr HTTP/1.0\n\n"));
        CHECK_NE(clipboardText(), bonjour);
    }

    SUBCASE("a reset during the receive is reported; a worker held up in that box is ended by the Abort "
            "command that comes 10 s after the first") {
        HeldBoxes held;
        scriptTestServer({ SERVER_RESET, "", 300 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        REQUIRE(waitUntil([] { return boxesHeld == 1; }));
        boxes = takeMessageBoxes(1);
        CHECK_NE(boxes[0].text.find(inLanguage("received", "empfangen")), std::string::npos);
        DWORD firstAbort = GetTickCount();
        REQUIRE(pressButton(window, IDC_ABORT));
        CHECK(waitUntil([&] { return !isEnabled(window, IDC_ABORT); }));
        PostMessageA(window, WM_COMMAND, IDC_ABORT, 0);
        CHECK(waitUntil([&] { return status(window) == inLanguage("Operation is being aborted. Please wait...",
                                                                  "Aktion wird abgebrochen. Bitte warten..."); }));
        Sleep(9000 - (GetTickCount() - firstAbort));
        PostMessageA(window, WM_COMMAND, IDC_ABORT, 0);
        Sleep(1500);
        CHECK_FALSE(isEnabled(window, IDC_TRANSLATE));
        PostMessageA(window, WM_COMMAND, IDC_ABORT, 0);
        CHECK(waitUntil([&] { return inState(window, false) && controlText(window, IDC_RESULT).empty(); }, 1000));
        CHECK_EQ(Bytes(status(window)), Bytes(ready()));
    }
}

TEST_CASE("Abort ends a connection attempt that the server never accepts")
{
    // A listener whose queue is full: a connection attempt to it blocks.
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    sockaddr_in address = { AF_INET, htons(80), { { { 127, 0, 0, 1 } } }, {} };
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    REQUIRE_EQ(bind(listener, (sockaddr*)&address, sizeof address) | listen(listener, 0), 0);
    std::vector<SOCKET> sockets(8);
    for (SOCKET& filler : sockets) {
        u_long nonBlocking = 1;
        ioctlsocket(filler = socket(AF_INET, SOCK_STREAM, 0), FIONBIO, &nonBlocking);
        connect(filler, (sockaddr*)&address, sizeof address);
    }
    sockets.push_back(listener);
    int waiting = waitingConnects();
    QuorvSession session;
    typeText(session.window, "Hello");
    REQUIRE(pressButton(session.window, IDC_TRANSLATE));
    CHECK(waitUntil([&] { return status(session.window) == inLanguage("Connecting. Please wait...",
                                                                     "Verbindung wird hergestellt. Bitte warten..."); }));
    CHECK(waitUntil([&] { return waitingConnects() > waiting; }));
    checkAbort(session.window);
    for (SOCKET socket : sockets)
        closesocket(socket);
}

TEST_CASE("a worker thread that cannot be created is reported and the window stays usable")
{
    QuorvSession session("QuorvNoThread.exe");
    typeText(session.window, "Hello");
    REQUIRE(pressButton(session.window, IDC_TRANSLATE));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].text.substr(0, 7)), Bytes(inLanguage("Quorvel", "Dem Quo")));
    CHECK(waitUntil([&] { return inState(session.window, false); }));
}
