// Not a test: walks Setup.exe through its pages for the README's pictures.
//   setup_tour FOLDER LANGUAGE [refused]
// saves the sheet of each page as FOLDER\LANGUAGE-PAGE.bmp, and with
// "refused" also the steps page after a drive root was refused
// (LANGUAGE-steps-refused.bmp). Run by scripts/take-screenshots.
#include <stdio.h>
#include <string>
#include "setupPilot.h"

static std::string folder, language;

static void saveSheet(const char* name)
{
    Sleep(300);
    RECT frame;
    GetWindowRect(setupSheet, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = 0;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, 0, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    DWORD size = ((width * 3 + 3) & ~3) * height;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + size;
    writeFile(folder + "\\" + language + "-" + name + ".bmp",
              std::string((char*)&header, sizeof header) + std::string((char*)&info.bmiHeader, sizeof info.bmiHeader)
                  + std::string((char*)bits, size));
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(0, screen);
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: setup_tour FOLDER LANGUAGE [refused]\n");
        return 2;
    }
    folder = argv[1];
    language = argv[2];
    OleInitialize(0);
    removeTree("C:\\Quorvel");
    prepareRelease();
    static const char* const pages[] = { "welcome", "folder", "links", "steps", "finish" };
    if (!startSetup(release + "Setup.exe"))
        return 1;
    for (int page = WELCOME; page <= FINISH; ++page) {
        if (!waitForPage(page))
            return 1;
        saveSheet(pages[page]);
        if (page < FINISH)
            press(NEXT_BUTTON);
    }
    press(IDCANCEL);
    setupEnded();
    if (argc > 3 && std::string(argv[3]) == "refused") {
        if (installWith(release + "Setup.exe", "C:").reached != STEPS)
            return 1;
        saveSheet("steps-refused");
    }
    endSetup();
    return 0;
}
