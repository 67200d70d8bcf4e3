// The local translation service: answers the program's GET requests with
// translations from Apertium.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "clientConnection.h"
#include "dictionaryTranslation.h"
#include "translation.h"

// Wanted open descriptors: the clients being read, those lingering and
// those answered, with room to spare. SD_LISTEN_FDS_START: the first
// descriptor systemd hands over.
enum { ANSWER_TIMEOUT_MS = 10000, DESCRIPTORS_WANTED = 1200, SD_LISTEN_FDS_START = 3 };

static int stopPipe[2] = { -1, -1 };

static void usage()
{
    fprintf(stderr,
        "usage: quorvel-service [--address IPV4] [--port N] [--request-timeout-ms N] [--dictionaries DIR]\n"
        "  --address             address to listen on (127.0.0.1)\n"
        "  --port                TCP port (80); 0 takes any free port\n"
        "  --request-timeout-ms  time a client has to send its request (10000)\n"
        "  --dictionaries        folder of the FreeDict dictionaries (/usr/share/dictd)\n"
        "Under systemd's socket activation the service answers on the socket it is\n"
        "handed and ignores --address and --port. The port in use is written to\n"
        "standard output once the service answers.\n");
}

static int numberOption(const char* text, long low, long high, long& value)
{
    char* end;
    errno = 0;
    value = strtol(text, &end, 10);
    return errno == 0 && *text && !*end && value >= low && value <= high;
}

// The listening socket systemd hands over (socket activation): descriptor 3
// when LISTEN_PID names this process and LISTEN_FDS is 1; -1 otherwise.
static int handedListener()
{
    const char* pid = getenv("LISTEN_PID");
    const char* count = getenv("LISTEN_FDS");
    long value;
    if (!pid || !count || !numberOption(pid, 1, 0x7FFFFFFF, value) || value != getpid()
        || strcmp(count, "1") != 0)
        return -1;
    unsetenv("LISTEN_PID");
    unsetenv("LISTEN_FDS");
    unsetenv("LISTEN_FDNAMES");
    // The pipelines' processes must not inherit it.
    fcntl(SD_LISTEN_FDS_START, F_SETFD, FD_CLOEXEC);
    return SD_LISTEN_FDS_START;
}

// The listening socket, bound and listening, or -1 after a message.
static int openListener(const sockaddr_in& local, const char* address, long port)
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int reuse = 1;
    if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0
        || bind(listener, (const sockaddr*)&local, sizeof local) != 0 || listen(listener, SOMAXCONN) != 0) {
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

// The client loop learns of a stop through a pipe, which any thread's
// signal handler may write.
static void requestStop(int)
{
    int saved = errno;
    ssize_t ignored = write(stopPipe[1], "s", 1);
    (void)ignored;
    errno = saved;
}

static int catchStopSignals()
{
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 0;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, 0) == 0 && sigaction(SIGINT, &action, 0) == 0;
}

int main(int argc, char** argv)
{
    const char* address = "127.0.0.1";
    long port = 80;
    long requestTimeoutMs = 10000;
    const char* dictionaries = "/usr/share/dictd";
    for (int i = 1; i < argc; ++i) {
        int ok = i + 1 < argc;
        if (ok && strcmp(argv[i], "--address") == 0)
            address = argv[++i];
        else if (ok && strcmp(argv[i], "--port") == 0)
            ok = numberOption(argv[++i], 0, 65535, port);
        else if (ok && strcmp(argv[i], "--request-timeout-ms") == 0)
            ok = numberOption(argv[++i], 1, 3600000, requestTimeoutMs);
        else if (ok && strcmp(argv[i], "--dictionaries") == 0)
            dictionaries = argv[++i];
        else
            ok = 0;
        if (!ok) {
            usage();
            return 2;
        }
    }
    sockaddr_in local;
    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons((unsigned short)port);
    if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        fprintf(stderr, "quorvel-service: %s is not an IPv4 address\n", address);
        return 2;
    }

    if (!catchStopSignals()) {
        fprintf(stderr, "quorvel-service: cannot catch the stop signals: %s\n", strerror(errno));
        return 1;
    }
    loadDictionaries(dictionaries);
    if (!startTranslation(ANSWER_TIMEOUT_MS)) {
        fprintf(stderr, "quorvel-service: the Apertium pipelines did not start\n");
        stopApertiumPipelines();
        return 1;
    }
    int listener = handedListener();
    int handed = listener >= 0;
    if (!handed)
        listener = openListener(local, address, port);
    if (listener < 0) {
        stopApertiumPipelines();
        return 1;
    }
    raiseDescriptorLimit();
    // The port is where IPv4 and IPv6 addresses both keep it.
    sockaddr_storage bound;
    socklen_t size = sizeof bound;
    getsockname(listener, (sockaddr*)&bound, &size);
    int boundPort = ntohs(((sockaddr_in*)&bound)->sin_port);
    printf("%d\n", boundPort);
    fflush(stdout);
    if (handed)
        fprintf(stderr, "quorvel-service: listening on the socket systemd handed over, port %d\n", boundPort);
    else
        fprintf(stderr, "quorvel-service: listening on %s:%d\n", address, boundPort);

    serveClients(listener, (int)requestTimeoutMs, stopPipe[0]);
    stopApertiumPipelines();
    fprintf(stderr, "quorvel-service: stopped\n");
    return 0;
}
