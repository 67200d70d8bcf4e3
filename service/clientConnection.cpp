#include "clientConnection.h"
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <system_error>
#include <thread>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include "httpRequest.h"
#include "languagePairs.h"
#include "monotonicClock.h"
#include "translation.h"
#include "translationPage.h"

// REFUSAL_DRAIN_LIMIT bounds the threads that read away refused requests.
enum { SEND_TIMEOUT_MS = 10000, LINGER_MS = 1000, REFUSAL_DRAIN_LIMIT = 32 };

static std::atomic<int> refusalsDraining(0);

// Reads until the request is whole, the limit is passed, the client stops
// sending or the time is up. Returns 0 with the status to answer, or 200.
static int readRequest(int socket, char* bytes, size_t& length, int requestTimeoutMs, std::string& reason)
{
    long long deadline = nowMs() + requestTimeoutMs;
    length = 0;
    while (!requestComplete(bytes, length)) {
        if (length >= REQUEST_LIMIT) {
            reason = "The request is longer than " + std::to_string((int)REQUEST_LIMIT) + " bytes.";
            return 413;
        }
        long long left = deadline - nowMs();
        pollfd entry = { socket, POLLIN, 0 };
        int ready = left > 0 ? poll(&entry, 1, (int)left) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            reason = "No whole request arrived within " + std::to_string(requestTimeoutMs) + " ms.";
            return 408;
        }
        ssize_t count = recv(socket, bytes + length, REQUEST_LIMIT - length, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // A client may end its request by closing its side after the
            // request line alone.
            for (size_t i = 0; i < length; ++i)
                if (bytes[i] == '\n')
                    return 200;
            reason = "The connection ended before the request line did.";
            return 400;
        }
        length += (size_t)count;
    }
    return 200;
}

static size_t sendAll(int socket, const std::string& response)
{
    long long deadline = nowMs() + SEND_TIMEOUT_MS;
    size_t sent = 0;
    while (sent < response.size()) {
        long long left = deadline - nowMs();
        pollfd entry = { socket, POLLOUT, 0 };
        if (left <= 0 || poll(&entry, 1, (int)left) <= 0)
            break;
        ssize_t count = send(socket, response.data() + sent, response.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (count <= 0)
            break;
        sent += (size_t)count;
    }
    return sent;
}

// Closing with unread bytes waiting resets the connection, and the client
// may lose the answer: so end our side and read what is left for a moment.
static void closeGently(int socket)
{
    shutdown(socket, SHUT_WR);
    long long deadline = nowMs() + LINGER_MS;
    char discard[4096];
    for (;;) {
        long long left = deadline - nowMs();
        pollfd entry = { socket, POLLIN, 0 };
        if (left <= 0 || poll(&entry, 1, (int)left) <= 0)
            break;
        if (recv(socket, discard, sizeof discard, 0) <= 0)
            break;
    }
    close(socket);
}

static void logRequest(const char* pair, int status, size_t bytesIn, size_t bytesOut, long long ms)
{
    char stamp[32];
    time_t now = time(0);
    tm utc;
    gmtime_r(&now, &utc);
    strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    fprintf(stderr, "%s %s %d in=%zu out=%zu %lld ms\n", stamp, pair[0] ? pair : "-", status, bytesIn, bytesOut, ms);
}

// Returns the status written.
static int answerRequest(const TranslateRequest& request, std::string& response)
{
    int row = findPair(request.pairCode);
    if (row < 0) {
        writeErrorPage(400, std::string("There is no language pair \"") + request.pairCode
            + "\". Pairs are en_fr, en_de, en_it, en_pt, en_es and the reverse of each.", response);
        return 400;
    }
    std::string translation;
    switch (translateText(row, request.text, translation)) {
    case TRANSLATED:
        writeTranslationPage(LanguagePairs[row].target, translation, response);
        return 200;
    case LANGUAGE_UNAVAILABLE:
        writeTranslationPage(LanguagePairs[row].target, "German is not available on this service.", response);
        return 200;
    case TRANSLATION_BUSY:
        writeErrorPage(503, "The translation engine is busy with other requests. Please try again.", response);
        return 503;
    case TRANSLATION_FAILED:
        break;
    }
    writeErrorPage(503, "The translation engine did not answer. Please try again.", response);
    return 503;
}

void serveClient(int socket, int requestTimeoutMs)
{
    long long started = nowMs();
    char bytes[REQUEST_LIMIT];
    size_t length = 0;
    std::string reason, response;
    TranslateRequest request;
    request.pairCode[0] = 0;
    int status = readRequest(socket, bytes, length, requestTimeoutMs, reason);
    if (status == 200)
        status = parseRequest(bytes, length, request, reason);
    if (status == 200)
        status = answerRequest(request, response);
    else
        writeErrorPage(status, reason, response);
    size_t sent = sendAll(socket, response);
    long long answeredMs = nowMs() - started;
    closeGently(socket);
    // A connection closed without a byte (a port probe) made no request.
    if (length > 0 || status != 400)
        logRequest(request.pairCode, status, length, sent, answeredMs);
}

static void drainRefused(int socket)
{
    closeGently(socket);
    --refusalsDraining;
}

void refuseClient(int socket)
{
    std::string response;
    writeErrorPage(503, "The service is serving too many clients. Please try again.", response);
    send(socket, response.data(), response.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    // Closing on the unread request would reset the connection and lose the
    // page, so a thread of its own reads it away while the listener goes on.
    if (++refusalsDraining <= REFUSAL_DRAIN_LIMIT) {
        try {
            std::thread(drainRefused, socket).detach();
            return;
        } catch (const std::system_error&) {
        }
    }
    --refusalsDraining;
    // No thread to spare: read away what has already arrived.
    shutdown(socket, SHUT_WR);
    char discard[4096];
    while (recv(socket, discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }
    close(socket);
}
