// Quorv.exe on systems whose code page is not the service's Windows-1252:
// the text typed, the request, the result box and the clipboard.
#include "quorvDriver.h"
#include "testServer.h"

namespace {

std::wstring wideText(HWND window, int id)
{
    WCHAR text[256] = L"(sentinel)";
    GetDlgItemTextW(window, id, text, 256);
    return text;
}

}  // namespace

TEST_CASE("whatever the system's code page, the service gets and gives Windows-1252, and a character it lacks "
          "is named and not sent")
{
    // Prove that the run has the code page that it claims.
    const std::string language = getenv("QUORV_EXPECT_LANGUAGE");
    REQUIRE_EQ(GetACP(), language == "ru" ? 1251u : language == "ja" ? 932u : 1252u);
    REQUIRE(startTestServer());
    struct StopServer { ~StopServer() { stopTestServer(); } } stopServer;
    QuorvSession session;
    HWND window = session.window;
    REQUIRE(pressButton(window, IDC_AUTO_COPY));
    typeText(window, L"\u00C7a co\u00FBte 5 \u20AC \u2013 d\u00E9j\u00E0 vu");
    const std::wstring reply = L"\u00E9 \u00FC \u00DF \u20AC \u0153\r\n";
    const std::string copied = "\xE9 \xFC \xDF \x80 \x9C\r\n";
    const std::string request = "GET /cgi-bin/translate?doit=done&urltext=%C7a+co%FBte+5+%80+%96+d%E9j%E0+vu&lp=en_fr "
                                "HTTP/1.0\n\n";
    // Under load the system's clipboard manager may hold the clipboard for
    // longer than the program waits for it; another try then copies.
    for (int tries = 0; tries < 3 && (!tries || clipboardText() != copied); ++tries) {
        SetDlgItemTextA(window, IDC_RESULT, "");
        scriptTestServer({ SERVER_REPLY, "HTTP/1.0 200 OK\r\n\r\n<p>En Fran\xE7" "ais:<br>\xE9 \xFC \xDF \x80 \x9C</p>", 0 });
        REQUIRE(pressButton(window, IDC_TRANSLATE));
        CHECK(waitUntil([&] { return wideText(window, IDC_RESULT) == reply && !GetOpenClipboardWindow(); }));
        CHECK_EQ(Bytes(receivedRequest()), Bytes(request));
    }
    CHECK_EQ(Bytes(clipboardText()), Bytes(copied));

    typeText(window, L"ab\u0416");
    REQUIRE(pressButton(window, IDC_TRANSLATE));
    std::vector<SeenMessageBox> boxes = takeMessageBoxes(1, 5000);
    REQUIRE_EQ(boxes.size(), 1u);
    CHECK_NE(boxes[0].text.find("U+0416"), std::string::npos);
    CHECK_EQ(boxes[0].owner, window);
    CHECK_EQ(Bytes(receivedRequest()), Bytes(request));
    CHECK((wideText(window, IDC_RESULT) == reply));
}
