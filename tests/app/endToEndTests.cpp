// The program against the real local translation service, which the test
// starts on 127.0.0.1 port 80 in its own network namespace: one path through
// the whole of both; the service's own tests check every pair.
#include <windows.h>
#include "quorvSession.h"

TEST_CASE("Quorv.exe translates through the service")
{
    QuorvSession session;
    HWND window = session.window;
    REQUIRE(chooseLanguage(window, 1001, inLanguage("Spanish", "Spanisch")));
    typeText(window, "The house is big.");
    REQUIRE(pressButton(window, 1005));
    CHECK(waitUntil([&] { return !controlText(window, 1002).empty(); }, 10000));
    CHECK_EQ(Bytes(controlText(window, 1002)), Bytes("La casa es grande.\r\n"));
    CHECK(takeMessageBoxes().empty());
}
