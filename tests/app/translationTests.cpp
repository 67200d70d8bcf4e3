// Translations through a test server on 127.0.0.1 port 80: the result, the
// clipboard, the busy state, aborts and the failures a user is told about.
#include <winsock2.h>
#include "quorvSession.h"
#include "testServer.h"

namespace {

const std::string markerLine = "Use the above text to search the Web";
const std::string frenchPage = "HTTP/1.0 200 OK\r\n\r\n<html><p><b>En Fran\xE7" "ais:</b><br>\nBonjour le monde<br>\n"
    + markerLine + "</p></html>";

struct ServerSession : QuorvSession {
    ServerSession(const char* program = "Quorv.exe") : QuorvSession(program) { REQUIRE(startTestServer()); }
    ~ServerSession() { stopTestServer(); }
};

const char* status(const char* english, const char* german)
{
    return inLanguage(english, german);
}

bool idle(HWND window)
{
    return isEnabled(window, 1006) && isEnabled(window, 1005) && isEnabled(window, 1003) && isEnabled(window, 1004)
        && !isEnabled(window, 3);
}

bool busy(HWND window)
{
    return !isEnabled(window, 1006) && !isEnabled(window, 1005) && !isEnabled(window, 1003)
        && !isEnabled(window, 1004) && isEnabled(window, 3);
}

// Records each new text of the status line while a job runs.
struct StatusRecorder {
    HWND window;
    HANDLE thread;
    volatile LONG stop;
    std::vector<std::string> seen;

    explicit StatusRecorder(HWND w) : window(w), stop(0) { thread = CreateThread(0, 0, record, this, 0, 0); }
    static DWORD WINAPI record(void* self)
    {
        StatusRecorder* recorder = (StatusRecorder*)self;
        while (!recorder->stop) {
            std::string text = controlText(recorder->window, 1023);
            if (recorder->seen.empty() || recorder->seen.back() != text)
                recorder->seen.push_back(text);
            Sleep(1);
        }
        return 0;
    }
    std::vector<std::string> finish()
    {
        stop = 1;
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        return seen;
    }
};

// A listener whose queue is full: a connection attempt to it blocks.
struct FullListener {
    SOCKET listener;
    std::vector<SOCKET> fillers;
    FullListener()
    {
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
    }
};

}  // namespace

TEST_CASE("a translation through the server")
{
    ServerSession session;
    HWND window = session.window;
    setClipboardText("clipboard before");
    typeText(window, "Hello  world");
    scriptTestServer({ SERVER_REPLY, frenchPage, 800 });
    StatusRecorder recorder(window);
    REQUIRE(pressButton(window, 1005));

    // Busy while the job runs; the lists still work.
    CHECK(waitUntil([&] { return busy(window); }));
    CHECK(waitUntil([&] {
        return controlText(window, 1023) == status("Receiving translation...", "\xDC" "bersetzung wird empfangen...");
    }));
    CHECK((systemMenuItem(&session.quorv, SC_CLOSE) & MF_GRAYED) != 0);
    CHECK(isEnabled(window, 1000));
    CHECK(isEnabled(window, 1001));
    std::string chosen = inLanguage("Spanish", "Spanisch");
    CHECK(chooseLanguage(window, 1001, chosen.c_str()));

    CHECK(waitUntil([&] { return controlText(window, 1002) == "Bonjour le monde\r\n"; }));
    CHECK(idle(window));
    CHECK_FALSE((systemMenuItem(&session.quorv, SC_CLOSE) & MF_GRAYED) != 0);
    std::vector<std::string> statuses = recorder.finish();
    CHECK_EQ(Bytes(receivedRequest()), Bytes("GET /cgi-bin/translate?doit=done&urltext=Hello+world&lp=en_fr HTTP/1.0\n\n"));
    CHECK_EQ(Bytes(controlText(window, 1023)), Bytes(status("Ready", "Bereit")));
    // Auto-copy is off: the clipboard is untouched.
    CHECK_EQ(Bytes(clipboardText()), Bytes("clipboard before"));

    // The statuses come in their order, ending with Ready.
    const char* order[] = { status("Ready", "Bereit"), status("Connecting. Please wait...", "Verbindung wird hergestellt. Bitte warten..."),
                            status("Transfering command...", "Befehl wird \xFC" "bermittelt..."),
                            status("Receiving translation...", "\xDC" "bersetzung wird empfangen..."), status("Ready", "Bereit") };
    size_t next = 0;
    for (const std::string& text : statuses) {
        while (next < 5 && text != order[next])
            ++next;
        CAPTURE(text);
        CHECK_LT(next, 5u);
    }
    CHECK_EQ(Bytes(statuses.back()), Bytes(order[4]));
    CHECK(takeMessageBoxes().empty());
}

TEST_CASE("auto-copy puts a translation on the clipboard, and only a translation")
{
    ServerSession session;
    HWND window = session.window;
    REQUIRE(pressButton(window, 1003));
    setClipboardText("clipboard before");
    typeText(window, "Hello");
    scriptTestServer({ SERVER_REPLY, frenchPage, 0 });
    REQUIRE(pressButton(window, 1005));
    CHECK(waitUntil([&] { return clipboardText() == "Bonjour le monde\r\n"; }));

    // A failed translation empties the result box and leaves the clipboard.
    setClipboardText("clipboard before");
    // The reset comes once the program waits for the page.
    scriptTestServer({ SERVER_RESET, "", 300 });
    CHECK(waitUntil([&] { return idle(window); }));
    REQUIRE(pressButton(window, 1005));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_EQ(Bytes(boxes[0].text), Bytes(inLanguage("The data could not (or only partially) be received: Connection was reset.",
                                                    "Daten k\xF6nnen nicht (oder nur teilweise) empfangen werden: "
                                                    "Verbindung wurde zur\xFC" "ckgesetzt.")));
    CHECK_EQ(boxes[0].owner, window);
    CHECK(waitUntil([&] { return idle(window) && controlText(window, 1002).empty(); }));
    CHECK_EQ(Bytes(clipboardText()), Bytes("clipboard before"));
}

TEST_CASE("a page without the heading is reported once the window is idle again")
{
    ServerSession session;
    HWND window = session.window;
    static HWND observed;
    static bool idleAtBox;
    static std::string statusAtBox;
    observed = window;
    onMessageBoxSeen = [](HWND) {
        idleAtBox = idle(observed);
        statusAtBox = controlText(observed, 1023);
    };
    typeText(window, "Hello");
    scriptTestServer({ SERVER_REPLY, "HTTP/1.0 200 OK\r\n\r\n<p>Something else", 0 });
    REQUIRE(pressButton(window, 1005));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK(idleAtBox);
    CHECK_EQ(Bytes(statusAtBox), Bytes(status("Ready", "Bereit")));
    CHECK_NE(boxes[0].text.find("TRANS_NOT_FOUND"), std::string::npos);
    CHECK(waitUntil([&] { return GetFileAttributesA("C:\\Quorv.rpt") != INVALID_FILE_ATTRIBUTES; }));
}

TEST_CASE("Abort ends a job that waits for the server")
{
    SUBCASE("a connection that is never accepted")
    {
        QuorvSession session;
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        {
            FullListener listener;
            HWND window = session.window;
            typeText(window, "Hello");
            REQUIRE(pressButton(window, 1005));
            const char* connecting = status("Connecting. Please wait...", "Verbindung wird hergestellt. Bitte warten...");
            CHECK(waitUntil([&] { return controlText(window, 1023) == connecting; }));
            Sleep(500);
            REQUIRE(busy(window));
            REQUIRE(pressButton(window, 3));
            CHECK(waitUntil([&] { return !isEnabled(window, 3); }));
            DWORD pressed = GetTickCount();
            CHECK(waitUntil([&] { return idle(window); }, 1000));
            CHECK_LT(GetTickCount() - pressed, 1000u);
            CHECK_EQ(Bytes(controlText(window, 1023)), Bytes(status("Ready", "Bereit")));
            CHECK(takeMessageBoxes().empty());
        }
        WSACleanup();
    }
    SUBCASE("a server that never answers")
    {
        ServerSession session;
        HWND window = session.window;
        SetDlgItemTextA(window, 1002, "earlier translation");
        typeText(window, "Hello");
        scriptTestServer({ SERVER_STAY_SILENT, "", 0 });
        REQUIRE(pressButton(window, 1005));
        CHECK(waitUntil([&] {
            return controlText(window, 1023) == status("Receiving translation...", "\xDC" "bersetzung wird empfangen...");
        }));
        REQUIRE(pressButton(window, 3));
        DWORD pressed = GetTickCount();
        CHECK(waitUntil([&] { return idle(window); }, 1000));
        CHECK_LT(GetTickCount() - pressed, 1000u);
        CHECK_EQ(Bytes(controlText(window, 1002)), Bytes(""));
        CHECK(takeMessageBoxes().empty());
        // The next job works as usual.
        scriptTestServer({ SERVER_REPLY, frenchPage, 0 });
        REQUIRE(pressButton(window, 1005));
        CHECK(waitUntil([&] { return controlText(window, 1002) == "Bonjour le monde\r\n"; }));
    }
}

TEST_CASE("the window cannot be closed while a job runs")
{
    ServerSession session;
    HWND window = session.window;
    typeText(window, "Hello");
    scriptTestServer({ SERVER_STAY_SILENT, "", 0 });
    REQUIRE(pressButton(window, 1005));
    CHECK(waitUntil([&] {
        return controlText(window, 1023) == status("Receiving translation...", "\xDC" "bersetzung wird empfangen...");
    }));
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(control(window, 1002), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(control(window, 1002), WM_CHAR, VK_ESCAPE, 1);
    Sleep(500);
    CHECK(IsWindowVisible(window));
    CHECK(busy(window));
    REQUIRE(pressButton(window, 3));
    CHECK(waitUntil([&] { return idle(window); }));
    // Once idle, the window closes as usual (the session checks the exit code).
}

TEST_CASE("failures a user is told about")
{
    SUBCASE("an unknown host")
    {
        QuorvSession session("QuorvUnknownHost.exe");
        typeText(session.window, "Hello");
        REQUIRE(pressButton(session.window, 1005));
        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 10000);
        REQUIRE_EQ(boxes.size(), 1u);
        std::string prefix = inLanguage("Could not connect to the server: ", "Server-Verbindung kann nicht hergestellt werden: ");
        CHECK_EQ(Bytes(boxes[0].text.substr(0, prefix.size())), Bytes(prefix));
        CHECK(waitUntil([&] { return idle(session.window); }));
        CHECK_EQ(Bytes(controlText(session.window, 1023)), Bytes(status("Ready", "Bereit")));
    }
    SUBCASE("a worker thread that cannot be created")
    {
        QuorvSession session("QuorvNoThread.exe");
        typeText(session.window, "Hello");
        REQUIRE(pressButton(session.window, 1005));
        std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
        REQUIRE_EQ(boxes.size(), 1u);
        CHECK_EQ(Bytes(boxes[0].text.substr(0, 7)), Bytes(inLanguage("Quorvel", "Dem Quo")));
        CHECK(waitUntil([&] { return idle(session.window); }));
    }
}
