// Translations through a test server on 127.0.0.1 port 80: the result, the
// clipboard, the busy state, aborts, and failures while the window works.
#include <winsock2.h>
#include "quorvDriver.h"
#include "testServer.h"

namespace {

const std::string frenchPage = "HTTP/1.0 200 OK\r\n\r\n<html><p><b>En Fran\xE7" "ais:</b><br>\nBonjour le monde<br>\n"
                               "Use the above text to search the Web</p></html>";

struct ServerSession : QuorvSession {
    ServerSession() { REQUIRE(startTestServer()); }
    ~ServerSession() { stopTestServer(); }
};

const char* ready() { return inLanguage("Ready", "Bereit"); }
const char* connecting() { return inLanguage("Connecting. Please wait...", "Verbindung wird hergestellt. Bitte warten..."); }
const char* receiving() { return inLanguage("Receiving translation...", "\xDC" "bersetzung wird empfangen..."); }

// Busy: Abort alone is enabled of the controls a job locks; idle: all but Abort.
bool inState(HWND window, bool busy)
{
    for (int id : { IDC_INPUT, IDC_TRANSLATE, IDC_AUTO_COPY, IDC_SWAP })
        if (isEnabled(window, id) == busy)
            return false;
    return isEnabled(window, IDC_ABORT) == busy;
}
bool idle(HWND window) { return inState(window, false); }
bool busy(HWND window) { return inState(window, true); }

// A listener whose queue is full: a connection attempt to it blocks.
struct FullListener {
    SOCKET listener;
    std::vector<SOCKET> fillers;
    FullListener()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(80);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        REQUIRE_EQ(bind(listener, (sockaddr*)&address, sizeof address), 0);
        REQUIRE_EQ(listen(listener, 0), 0);
        for (int i = 0; i < 8; ++i) {
            SOCKET filler = socket(AF_INET, SOCK_STREAM, 0);
            u_long nonBlocking = 1;
            ioctlsocket(filler, FIONBIO, &nonBlocking);
            connect(filler, (sockaddr*)&address, sizeof address);
            fillers.push_back(filler);
        }
        Sleep(300);
    }
    ~FullListener()
    {
        for (SOCKET filler : fillers)
            closesocket(filler);
        closesocket(listener);
        WSACleanup();
    }
};

// Presses Abort on a busy window: it is idle again within a second, silently.
void checkAbort(HWND window)
{
    REQUIRE(busy(window));
    REQUIRE(pressButton(window, IDC_ABORT));
    DWORD pressed = GetTickCount();
    CHECK(waitUntil([&] { return idle(window); }, 1000));
    CHECK_LT(GetTickCount() - pressed, 1000u);
    CHECK_EQ(Bytes(controlText(window, IDC_STATUS_LINE)), Bytes(ready()));
    CHECK_EQ(Bytes(controlText(window, IDC_RESULT)), Bytes(""));
    CHECK(takeMessageBoxes().empty());
}

}  // namespace

TEST_CASE("a translation through the server: busy meanwhile, the request, the result, no auto-copy")
{
    ServerSession session;
    HWND window = session.window;
    typeText(window, "Hello  world");
    scriptTestServer({ SERVER_REPLY, frenchPage, 800 });
    REQUIRE(pressButton(window, IDC_TRANSLATE));

    // Busy while the job runs; the lists still work.
    CHECK(waitUntil([&] { return busy(window) && controlText(window, IDC_STATUS_LINE) == receiving(); }));
    CHECK((systemMenuItem(&session, SC_CLOSE) & MF_GRAYED) != 0);
    CHECK(chooseLanguage(window, IDC_TO_LIST, inLanguage("Spanish", "Spanisch")));

    CHECK(waitUntil([&] { return controlText(window, IDC_RESULT) == "Bonjour le monde\r\n"; }));
    CHECK(idle(window));
    CHECK_FALSE((systemMenuItem(&session, SC_CLOSE) & MF_GRAYED) != 0);
    CHECK_EQ(Bytes(controlText(window, IDC_STATUS_LINE)), Bytes(ready()));
    CHECK_EQ(Bytes(receivedRequest()), Bytes("GET /cgi-bin/translate?doit=done&urltext=Hello+world&lp=en_fr HTTP/1.0\n\n"));
    CHECK_NE(clipboardText(), "Bonjour le monde\r\n");
    CHECK(takeMessageBoxes().empty());
}

TEST_CASE("auto-copy puts a translation on the clipboard; a page without the heading is reported once the window "
          "is idle, and empties the result but not the clipboard")
{
    ServerSession session;
    HWND window = session.window;
    static HWND observed;
    static bool idleAtBox;
    static std::string statusAtBox;
    observed = window;
    onMessageBoxSeen = [](HWND) {
        idleAtBox = idle(observed);
        statusAtBox = controlText(observed, IDC_STATUS_LINE);
    };
    REQUIRE(pressButton(window, IDC_AUTO_COPY));
    typeText(window, "Hello");
    scriptTestServer({ SERVER_REPLY, frenchPage, 0 });
    REQUIRE(pressButton(window, IDC_TRANSLATE));
    // Reading the clipboard while the program copies would make its copy fail.
    CHECK(waitUntil([&] { return controlText(window, IDC_RESULT) == "Bonjour le monde\r\n"; }));
    Sleep(300);
    CHECK_EQ(Bytes(clipboardText()), Bytes("Bonjour le monde\r\n"));

    scriptTestServer({ SERVER_REPLY, "HTTP/1.0 200 OK\r\n\r\n<p>Something else", 0 });
    CHECK(waitUntil([&] { return pressButton(window, IDC_TRANSLATE); }));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(boxes[0].owner, window);
    CHECK(idleAtBox);
    CHECK_EQ(Bytes(statusAtBox), Bytes(ready()));
    CHECK_NE(boxes[0].text.find("TRANS_NOT_FOUND"), std::string::npos);
    CHECK(waitUntil([&] { return controlText(window, IDC_RESULT).empty(); }));
    CHECK_EQ(Bytes(clipboardText()), Bytes("Bonjour le monde\r\n"));
}

TEST_CASE("Abort ends a job that waits for the server")
{
    SUBCASE("a connection that is never accepted")
    {
        QuorvSession session;
        FullListener listener;
        HWND window = session.window;
        typeText(window, "Hello");
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return controlText(window, IDC_STATUS_LINE) == connecting(); }));
        Sleep(500);
        checkAbort(window);
    }
    SUBCASE("a server that never answers; the next job works as usual")
    {
        ServerSession session;
        HWND window = session.window;
        SetDlgItemTextA(window, IDC_RESULT, "earlier translation");
        typeText(window, "Hello");
        scriptTestServer({ SERVER_STAY_SILENT, "", 0 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return controlText(window, IDC_STATUS_LINE) == receiving(); }));
        checkAbort(window);
        scriptTestServer({ SERVER_REPLY, frenchPage, 0 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return controlText(window, IDC_RESULT) == "Bonjour le monde\r\n"; }));
    }
}

TEST_CASE("the window cannot be closed while a job runs")
{
    ServerSession session;
    HWND window = session.window;
    typeText(window, "Hello");
    scriptTestServer({ SERVER_STAY_SILENT, "", 0 });
    REQUIRE(pressButton(window, IDC_TRANSLATE));
    CHECK(waitUntil([&] { return controlText(window, IDC_STATUS_LINE) == receiving(); }));
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(GetDlgItem(window, IDC_RESULT), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(GetDlgItem(window, IDC_RESULT), WM_CHAR, VK_ESCAPE, 1);
    Sleep(500);
    CHECK(IsWindowVisible(window));
    checkAbort(window);
    // Once idle, the window closes as usual (the session checks the exit code).
}

TEST_CASE("a worker thread that cannot be created is reported and the window stays usable")
{
    QuorvSession session("QuorvNoThread.exe");
    typeText(session.window, "Hello");
    REQUIRE(pressButton(session.window, IDC_TRANSLATE));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].text.substr(0, 7)), Bytes(inLanguage("Quorvel", "Dem Quo")));
    CHECK(waitUntil([&] { return idle(session.window); }));
}
