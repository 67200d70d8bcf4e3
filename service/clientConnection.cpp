#include "clientConnection.h"
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include "httpRequest.h"
#include "languagePairs.h"
#include "monotonicClock.h"
#include "translation.h"
#include "translationPage.h"

// A connection whose request is being read costs a descriptor and a buffer
// in the loop, not a thread: CLIENT_LIMIT of them at once. Only a whole
// request gets a thread, WORKER_LIMIT at once. The program sends its whole
// request as it connects, so a client that has sent nothing within
// FIRST_BYTE_TIMEOUT_MS is idle. Answered connections are read away for
// LINGER_MS in the loop, LINGER_LIMIT of them beyond CLIENT_LIMIT. After a
// stop signal the loop answers what it holds for at most STOP_TIMEOUT_MS,
// looking every STOP_POLL_MS whether the workers are done.
enum {
    CLIENT_LIMIT = 1000, WORKER_LIMIT = 64, LINGER_LIMIT = 64, FIRST_BYTE_TIMEOUT_MS = 2000,
    SEND_TIMEOUT_MS = 10000, LINGER_MS = 1000, ACCEPT_RETRY_MS = 100, REFUSAL_LOG_MS = 1000,
    STOP_TIMEOUT_MS = 15000, STOP_POLL_MS = 20
};

struct Client {
    int socket;
    long long started;
    long long deadline;
    int lingering;
    size_t length;
    char bytes[REQUEST_LIMIT];
};

typedef std::vector<std::unique_ptr<Client>> Clients;

static std::atomic<int> workerCount(0);
static long long refusalLoggedMs = -REFUSAL_LOG_MS;
static int refusalsUnlogged = 0;

static void logLine(const char* text)
{
    char stamp[32];
    time_t now = time(0);
    tm utc;
    gmtime_r(&now, &utc);
    strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    fprintf(stderr, "%s %s\n", stamp, text);
}

static void logRequest(const char* pair, int status, size_t bytesIn, size_t bytesOut, long long ms)
{
    char line[160];
    snprintf(line, sizeof line, "%s %d in=%zu out=%zu %lld ms", pair[0] ? pair : "-", status, bytesIn, bytesOut, ms);
    logLine(line);
}

// One line a second at the most, with the count since the last one, so
// that a flood of clients cannot fill the disk.
static void logRefusals(long long now, int atOnce = 0)
{
    if (!refusalsUnlogged || (!atOnce && now - refusalLoggedMs < REFUSAL_LOG_MS))
        return;
    char line[160];
    snprintf(line, sizeof line, "- 503 refused %d connection%s: too many clients at once", refusalsUnlogged,
        refusalsUnlogged == 1 ? "" : "s");
    logLine(line);
    refusalsUnlogged = 0;
    refusalLoggedMs = now;
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

// A whole request, on a thread of its own.
static void answerClient(Client* taken)
{
    std::unique_ptr<Client> client(taken);
    std::string reason, response;
    TranslateRequest request;
    request.pairCode[0] = 0;
    int status = parseRequest(client->bytes, client->length, request, reason);
    if (status == 200)
        status = answerRequest(request, response);
    else
        writeErrorPage(status, reason, response);
    size_t sent = sendAll(client->socket, response);
    long long answeredMs = nowMs() - client->started;
    closeGently(client->socket);
    logRequest(request.pairCode, status, client->length, sent, answeredMs);
    --workerCount;
}

// Answers from the loop without waiting: the page is small enough for the
// socket's buffer. The client then lingers in the loop.
static void answerAtOnce(Client& client, int status, const std::string& reason, long long now)
{
    std::string response;
    writeErrorPage(status, reason, response);
    ssize_t sent = send(client.socket, response.data(), response.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    shutdown(client.socket, SHUT_WR);
    if (status != 503)
        logRequest("", status, client.length, sent > 0 ? (size_t)sent : 0, now - client.started);
    client.lingering = 1;
    client.deadline = now + LINGER_MS;
}

static void refuse(Client& client, long long now)
{
    answerAtOnce(client, 503, "The service is serving too many clients. Please try again.", now);
    ++refusalsUnlogged;
    logRefusals(now);
}

// Gives a whole request to a thread of its own. Returns 0 when the client
// has left the loop.
static int handOver(std::unique_ptr<Client>& client, long long now)
{
    if (workerCount < WORKER_LIMIT) {
        ++workerCount;
        try {
            std::thread(answerClient, client.get()).detach();
            client.release();
            return 0;
        } catch (const std::system_error&) {
            --workerCount;
        }
    }
    refuse(*client, now);
    return 1;
}

// Reads what a client sent, answers it when its time is up, and ends a
// lingering one. Returns 0 when the client has left the loop.
static int advance(std::unique_ptr<Client>& client, short events, long long now, int requestTimeoutMs)
{
    Client& c = *client;
    if (c.lingering) {
        char discard[4096];
        if (now < c.deadline && (!events || recv(c.socket, discard, sizeof discard, MSG_DONTWAIT) > 0))
            return 1;
        close(c.socket);
        return 0;
    }
    if (events) {
        ssize_t count = recv(c.socket, c.bytes + c.length, REQUEST_LIMIT - c.length, MSG_DONTWAIT);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return 1;
        if (count > 0) {
            c.length += (size_t)count;
            c.deadline = c.started + requestTimeoutMs;
            if (requestComplete(c.bytes, c.length))
                return handOver(client, now);
            if (c.length >= REQUEST_LIMIT)
                answerAtOnce(c, 413, "The request is longer than " + std::to_string((int)REQUEST_LIMIT) + " bytes.", now);
            return 1;
        }
        // A client may end its request by closing its side after the
        // request line alone.
        if (memchr(c.bytes, '\n', c.length))
            return handOver(client, now);
        // A connection closed without a byte (a port probe) made no request.
        if (!c.length) {
            close(c.socket);
            return 0;
        }
        answerAtOnce(c, 400, "The connection ended before the request line did.", now);
        return 1;
    }
    if (now >= c.deadline)
        answerAtOnce(c, 408, "No whole request arrived within " + std::to_string(c.length ? requestTimeoutMs
            : std::min((int)FIRST_BYTE_TIMEOUT_MS, requestTimeoutMs)) + " ms.", now);
    return 1;
}

// Takes every waiting connection. Returns 0 when accepting must pause: out
// of descriptors or memory.
static int acceptClients(int listener, Clients& clients, long long now, int requestTimeoutMs)
{
    int reading = 0, lingering = 0;
    for (const auto& client : clients)
        ++(client->lingering ? lingering : reading);
    for (;;) {
        int socket = accept4(listener, 0, 0, SOCK_CLOEXEC);
        if (socket < 0)
            return errno == EAGAIN || errno == EINTR || errno == ECONNABORTED;
        if (reading >= CLIENT_LIMIT && lingering >= LINGER_LIMIT) {
            // Not even room to read the request away: close at once.
            ++refusalsUnlogged;
            close(socket);
            continue;
        }
        std::unique_ptr<Client> client(new Client);
        client->socket = socket;
        client->started = now;
        client->deadline = now + std::min((int)FIRST_BYTE_TIMEOUT_MS, requestTimeoutMs);
        client->lingering = 0;
        client->length = 0;
        if (reading >= CLIENT_LIMIT) {
            refuse(*client, now);
            ++lingering;
        } else {
            ++reading;
        }
        clients.push_back(std::move(client));
    }
}

void serveClients(int listener, int requestTimeoutMs, int stopSignal)
{
    fcntl(listener, F_SETFL, fcntl(listener, F_GETFL) | O_NONBLOCK);
    Clients clients;
    std::vector<pollfd> entries;
    long long acceptPausedUntil = 0, stopDeadline = 0;
    for (;;) {
        long long now = nowMs();
        if (stopDeadline && ((clients.empty() && !workerCount) || now >= stopDeadline))
            break;
        long long wake = refusalsUnlogged ? refusalLoggedMs + REFUSAL_LOG_MS : now + 60000;
        int accepting = !stopDeadline && now >= acceptPausedUntil;
        entries.assign(1, pollfd{ accepting ? listener : -1, POLLIN, 0 });
        entries.push_back(pollfd{ stopDeadline ? -1 : stopSignal, POLLIN, 0 });
        if (!stopDeadline && now < acceptPausedUntil)
            wake = std::min(wake, acceptPausedUntil);
        if (stopDeadline)
            wake = std::min(wake, now + STOP_POLL_MS);
        for (const auto& client : clients) {
            entries.push_back(pollfd{ client->socket, POLLIN, 0 });
            wake = std::min(wake, client->deadline);
        }
        int ready = poll(entries.data(), entries.size(), (int)std::max(wake - now, 0LL));
        now = nowMs();
        size_t kept = 0;
        for (size_t i = 0; i < clients.size(); ++i) {
            short events = ready > 0 ? entries[i + 2].revents : 0;
            if (advance(clients[i], events, now, requestTimeoutMs))
                clients[kept++] = std::move(clients[i]);
        }
        clients.resize(kept);
        if (ready > 0 && entries[0].revents && !acceptClients(listener, clients, now, requestTimeoutMs))
            acceptPausedUntil = now + ACCEPT_RETRY_MS;
        if (ready > 0 && entries[1].revents) {
            // What has queued up is still taken and answered; a connection
            // after the close is refused.
            acceptClients(listener, clients, now, requestTimeoutMs);
            close(listener);
            stopDeadline = now + STOP_TIMEOUT_MS;
            logLine("- stopping: answering the requests held, accepting no more");
        }
        logRefusals(now);
    }
    logRefusals(nowMs(), 1);
}
