// A run of Quorv.exe for one test: the registry and the report file are
// cleaned before and after, and the program must end with exit code 0.
#pragma once
#include <cstdlib>
#include <cstring>
#include "bytes.h"
#include "messageBoxWatcher.h"
#include "quorvDriver.h"

inline bool germanUser()
{
    const char* language = getenv("QUORV_EXPECT_LANGUAGE");
    return language && !strcmp(language, "de");
}

inline const char* inLanguage(const char* english, const char* german)
{
    return germanUser() ? german : english;
}

struct QuorvSession {
    QuorvProcess quorv;
    HWND window;
    bool running;

    explicit QuorvSession(const char* program = "Quorv.exe", bool freshRegistry = true) : running(false)
    {
        if (freshRegistry)
            deleteProductKeys();
        DeleteFileA("C:\\Quorv.rpt");
        REQUIRE(startQuorv(&quorv, program));
        window = quorv.window;
        running = true;
        startMessageBoxWatcher(quorv.process.dwProcessId);
    }
    // Closes the window the ordinary way; the exit code must be 0.
    void close()
    {
        if (!running)
            return;
        running = false;
        CHECK_EQ(closeQuorv(&quorv), 0);
        stopMessageBoxWatcher();
    }
    ~QuorvSession()
    {
        close();
        onMessageBoxSeen = 0;
        DeleteFileA("C:\\Quorv.rpt");
    }
};
