// The local translation service: answers the program's GET requests with
// translations from Apertium.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <arpa/inet.h>
#include <fcntl.h>
#include <getopt.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "clientLoop.h"
#include "serviceLog.h"
#include "dictionaryTranslation.h"
#include "translation.h"

// Wanted open descriptors: the clients being read, those lingering and
// those answered, with room to spare. SD_LISTEN_FDS_START: the first
// descriptor systemd hands over.
enum { ANSWER_TIMEOUT_MS = 10000, DESCRIPTORS_WANTED = 1200, SD_LISTEN_FDS_START = 3 };

static int stopPipe[2] = { -1, -1 };

static void usage(FILE* out)
{
    fprintf(out,
        "usage: quorvel-service [--address IPV4] [--port N] [--request-timeout-ms N] [--dictionaries DIR]\n"
        "                       [--pipelines N]\n"
        "  --address             address to listen on (127.0.0.1)\n"
        "  --port                TCP port (80); 0 takes any free port\n"
        "  --request-timeout-ms  time a client has to send its request (10000)\n"
        "  --dictionaries        folder of the FreeDict dictionaries (/usr/share/dictd)\n"
        "  --pipelines           Apertium pipelines per mode, 1 to 16 (one per core, as memory allows)\n"
        "  --help                this text\n"
        "  --version             the service's version\n"
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
        logLine(LEVEL_ERROR, "service", "cannot listen on %s:%ld: %s", address, port, strerror(errno));
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

struct Options {
    const char* address = "127.0.0.1";
    long port = 80;
    long requestTimeoutMs = 10000;
    const char* dictionaries = "/usr/share/dictd";
    long pipelines = 0;
};

// Reads the options into options. Returns -1 to go on, or the exit status:
// 0 after --help or --version, 2 after a message on a bad option.
static int readOptions(int argc, char** argv, Options& options)
{
    enum { OPTION_ADDRESS = 256, OPTION_PORT, OPTION_REQUEST_TIMEOUT, OPTION_DICTIONARIES, OPTION_PIPELINES, OPTION_HELP,
        OPTION_VERSION };
    static const option Known[] = {
        { "address", required_argument, 0, OPTION_ADDRESS },
        { "port", required_argument, 0, OPTION_PORT },
        { "request-timeout-ms", required_argument, 0, OPTION_REQUEST_TIMEOUT },
        { "dictionaries", required_argument, 0, OPTION_DICTIONARIES },
        { "pipelines", required_argument, 0, OPTION_PIPELINES },
        { "help", no_argument, 0, OPTION_HELP },
        { "version", no_argument, 0, OPTION_VERSION },
        { 0, 0, 0, 0 },
    };
    opterr = 0;
    for (;;) {
        int last = optind;
        int chosen = getopt_long(argc, argv, ":", Known, 0);
        if (chosen == -1)
            break;
        switch (chosen) {
        case OPTION_ADDRESS:
            options.address = optarg;
            continue;
        case OPTION_PORT:
            if (numberOption(optarg, 0, 65535, options.port))
                continue;
            fprintf(stderr, "quorvel-service: --port takes a number from 0 to 65535, not \"%s\"\n", optarg);
            return 2;
        case OPTION_REQUEST_TIMEOUT:
            if (numberOption(optarg, 1, 3600000, options.requestTimeoutMs))
                continue;
            fprintf(stderr, "quorvel-service: --request-timeout-ms takes a number from 1 to 3600000, not \"%s\"\n",
                optarg);
            return 2;
        case OPTION_DICTIONARIES:
            options.dictionaries = optarg;
            continue;
        case OPTION_PIPELINES:
            if (numberOption(optarg, 1, 16, options.pipelines))
                continue;
            fprintf(stderr, "quorvel-service: --pipelines takes a number from 1 to 16, not \"%s\"\n", optarg);
            return 2;
        case OPTION_HELP:
            usage(stdout);
            return 0;
        case OPTION_VERSION:
            printf("quorvel-service %s\n", QUORVEL_VERSION);
            return 0;
        case ':':
            fprintf(stderr, "quorvel-service: %s needs a value\n", argv[last]);
            break;
        default:
            fprintf(stderr, "quorvel-service: unknown option %s\n", argv[last]);
            break;
        }
        fprintf(stderr, "Try \"quorvel-service --help\".\n");
        return 2;
    }
    if (optind < argc) {
        fprintf(stderr, "quorvel-service: unexpected argument \"%s\"\nTry \"quorvel-service --help\".\n", argv[optind]);
        return 2;
    }
    return -1;
}

int main(int argc, char** argv)
{
    Options options;
    int exitStatus = readOptions(argc, argv, options);
    if (exitStatus >= 0)
        return exitStatus;
    const char* address = options.address;
    sockaddr_in local;
    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_port = htons((unsigned short)options.port);
    if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        fprintf(stderr, "quorvel-service: --address takes an IPv4 address, not \"%s\"\n", address);
        return 2;
    }

    if (!catchStopSignals()) {
        logLine(LEVEL_ERROR, "service", "cannot catch the stop signals: %s", strerror(errno));
        return 1;
    }
    loadDictionaries(options.dictionaries);
    if (!startTranslation(options.pipelines ? (int)options.pipelines : defaultPipelineCount(), ANSWER_TIMEOUT_MS)) {
        logLine(LEVEL_ERROR, "service", "the Apertium pipelines did not start");
        stopApertiumPipelines();
        return 1;
    }
    int listener = handedListener();
    int handed = listener >= 0;
    if (!handed)
        listener = openListener(local, address, options.port);
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
        logLine(LEVEL_INFO, "service", "listening on the socket systemd handed over, port %d", boundPort);
    else
        logLine(LEVEL_INFO, "service", "listening on %s:%d", address, boundPort);

    int served = serveClients(listener, (int)options.requestTimeoutMs, stopPipe[0]);
    stopApertiumPipelines();
    logLine(LEVEL_INFO, "service", "stopped");
    return served ? 0 : 1;
}
