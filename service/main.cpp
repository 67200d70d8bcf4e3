// The local translation service: answers the program's GET requests with
// translations from Apertium.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "clientConnection.h"
#include "dictionaryTranslation.h"

// ACCEPT_RETRY_MS: the pause after an accept error that is not about one
// connection, so that a lasting one does not spin the listener.
enum { CLIENT_LIMIT = 256, ANSWER_TIMEOUT_MS = 10000, ACCEPT_RETRY_MS = 100 };

static std::atomic<int> clientCount(0);

static void usage()
{
    fprintf(stderr,
        "usage: quorvel-service [--address IPV4] [--port N] [--request-timeout-ms N] [--dictionaries DIR]\n"
        "  --address             address to listen on (127.0.0.1)\n"
        "  --port                TCP port (80); 0 takes any free port\n"
        "  --request-timeout-ms  time a client has to send its request (10000)\n"
        "  --dictionaries        folder of the FreeDict dictionaries (/usr/share/dictd)\n"
        "The port in use is written to standard output once the service answers.\n");
}

static int numberOption(const char* text, long low, long high, long& value)
{
    char* end;
    errno = 0;
    value = strtol(text, &end, 10);
    return errno == 0 && *text && !*end && value >= low && value <= high;
}

static void runClient(int socket, int requestTimeoutMs)
{
    serveClient(socket, requestTimeoutMs);
    --clientCount;
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
    loadDictionaries(dictionaries);
    if (!startApertiumPipelines(ANSWER_TIMEOUT_MS)) {
        fprintf(stderr, "quorvel-service: the Apertium pipelines did not start\n");
        return 1;
    }

    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int reuse = 1;
    if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0
        || bind(listener, (sockaddr*)&local, sizeof local) != 0 || listen(listener, 128) != 0) {
        fprintf(stderr, "quorvel-service: cannot listen on %s:%ld: %s\n", address, port, strerror(errno));
        return 1;
    }
    socklen_t size = sizeof local;
    getsockname(listener, (sockaddr*)&local, &size);
    printf("%d\n", ntohs(local.sin_port));
    fflush(stdout);
    fprintf(stderr, "quorvel-service: listening on %s:%d\n", address, ntohs(local.sin_port));

    for (;;) {
        int client = accept4(listener, 0, 0, SOCK_CLOEXEC);
        if (client < 0) {
            // A signal or a connection that went before it was taken: at once.
            // Anything else (out of descriptors or memory): after a pause.
            if (errno != EINTR && errno != ECONNABORTED)
                usleep(ACCEPT_RETRY_MS * 1000);
            continue;
        }
        if (clientCount >= CLIENT_LIMIT) {
            refuseClient(client);
            continue;
        }
        ++clientCount;
        try {
            std::thread(runClient, client, (int)requestTimeoutMs).detach();
        } catch (const std::system_error&) {
            // No thread to be had: answer now rather than end the service.
            --clientCount;
            refuseClient(client);
        }
    }
}
