// Quorv.exe against the real local translation service, which the test
// starts on 127.0.0.1 port 80 in its own network namespace: one path through
// the whole of both; the service's own tests check every pair.
#include "quorvDriver.h"

TEST_CASE("Quorv.exe translates through the service")
{
    QuorvSession session;
    HWND window = session.window;
    chooseEntry(window, IDC_TO_LIST, 4);
    typeText(window, "The house is big.");
    REQUIRE(pressButton(window, IDC_TRANSLATE));
    // A message box (the service is not there, or its page is not understood) ends the wait at once.
    std::vector<SeenMessageBox> boxes;
    waitUntil([&] { return !controlText(window, IDC_RESULT).empty() || !(boxes = takeMessageBoxes(0, 0)).empty(); }, 10000);
    CHECK_EQ(Bytes(controlText(window, IDC_RESULT)), Bytes("La casa es grande.\r\n"));
    for (const SeenMessageBox& box : boxes)
        CHECK_EQ(Bytes(box.text), Bytes("(no message box)"));
    // German, from the service's dictionary.
    chooseEntry(window, IDC_TO_LIST, 1);
    typeText(window, "Good morning!");
    REQUIRE(pressButton(window, IDC_TRANSLATE));
    CHECK(waitUntil([&] { return controlText(window, IDC_RESULT).find("Guten Morgen") != std::string::npos; }, 10000));
    CHECK(takeMessageBoxes().empty());
}
