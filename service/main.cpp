// The local translation service: answers the program's GET requests with
// translations from Apertium.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "clientConnection.h"

// Wanted open descriptors: the clients being read, those lingering and
// those answered, with room to spare.
enum { ANSWER_TIMEOUT_MS = 10000, DESCRIPTORS_WANTED = 1200 };

static void usage()
{
    fprintf(stderr,
        "usage: quorvel-service [--address IPV4] [--port N] [--request-timeout-ms N]\n"
        "  --address             address to listen on (127.0.0.1)\n"
        "  --port                TCP port (80); 0 takes any free port\n"
        "  --request-timeout-ms  time a client has to send its request (10000)\n"
        "The port in use is written to standard output once the service answers.\n");
}

static int numberOption(const char* text, long low, long high, long& value)
{
    char* end;
    errno = 0;
    value = strtol(text, &end, 10);
    return errno == 0 && *text && !*end && value >= low && value <= high;
}

// The listening socket, bound and listening, or -1 after a message.
static int openListener(const char* address, long port)
{
    sockaddr_in local;
    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons((unsigned short)port);
    if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        fprintf(stderr, "quorvel-service: %s is not an IPv4 address\n", address);
        return -1;
    }
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int reuse = 1;
    if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0
        || bind(listener, (sockaddr*)&local, sizeof local) != 0 || listen(listener, 128) != 0) {
        fprintf(stderr, "quorvel-service: cannot listen on %s:%ld: %s\n", address, port, strerror(errno));
        if (listener >= 0)
            close(listener);
        return -1;
    }
    return listener;
}

// Many systems start a process with 1,024 descriptors, fewer than the
// clients the service holds at once.
static void raiseDescriptorLimit()
{
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < DESCRIPTORS_WANTED) {
        limit.rlim_cur = limit.rlim_max < DESCRIPTORS_WANTED ? limit.rlim_max : DESCRIPTORS_WANTED;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int main(int argc, char** argv)
{
    const char* address = "127.0.0.1";
    long port = 80;
    long requestTimeoutMs = 10000;
    for (int i = 1; i < argc; ++i) {
        int ok = i + 1 < argc;
        if (ok && strcmp(argv[i], "--address") == 0)
            address = argv[++i];
        else if (ok && strcmp(argv[i], "--port") == 0)
            ok = numberOption(argv[++i], 0, 65535, port);
        else if (ok && strcmp(argv[i], "--request-timeout-ms") == 0)
            ok = numberOption(argv[++i], 1, 3600000, requestTimeoutMs);
        else
            ok = 0;
        if (!ok) {
            usage();
            return 2;
        }
    }

    if (!startApertiumPipelines(ANSWER_TIMEOUT_MS)) {
        fprintf(stderr, "quorvel-service: the Apertium pipelines did not start\n");
        return 1;
    }
    int listener = openListener(address, port);
    if (listener < 0)
        return 1;
    raiseDescriptorLimit();
    sockaddr_in local;
    socklen_t size = sizeof local;
    getsockname(listener, (sockaddr*)&local, &size);
    printf("%d\n", ntohs(local.sin_port));
    fflush(stdout);
    fprintf(stderr, "quorvel-service: listening on %s:%d\n", address, ntohs(local.sin_port));
    serveClients(listener, (int)requestTimeoutMs);
}
