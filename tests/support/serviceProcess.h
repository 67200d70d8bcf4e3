// Starts the built translation service on a free loopback port, as tests
// and benchmarks use it.
#pragma once
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// Starts SERVICE_BINARY with "--port 0" and the given further options (a
// null-terminated list; null for none). quiet sends its log to /dev/null.
// Returns the child's pid and sets port to the port it printed, or 0.
inline pid_t startServiceProcess(const char* const* options, bool quiet, int* port)
{
    *port = 0;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        if (quiet)
            dup2(open("/dev/null", O_WRONLY), 2);
        const char* arguments[16] = { SERVICE_BINARY, "--port", "0" };
        for (int i = 0; options && options[i] && i < 12; ++i)
            arguments[3 + i] = options[i];
        execv(SERVICE_BINARY, (char* const*)arguments);
        _exit(127);
    }
    close(out[1]);
    FILE* reader = fdopen(out[0], "r");
    if (!reader || fscanf(reader, "%d", port) != 1)
        *port = 0;
    if (reader)
        fclose(reader);
    return child;
}
