#include "clientLoop.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include "monotonicClock.h"
#include "serviceLog.h"
#include "translationPage.h"
#include "workerPool.h"

// A connection whose request is being read costs a descriptor and a buffer
// in the loop, not a thread: CLIENT_LIMIT of them at once. A whole request
// goes to one of WORKER_LIMIT workers, or waits for one, CLIENT_LIMIT
// requests at the most. The program sends its whole request as it
// connects, so a client that has sent nothing within FIRST_BYTE_TIMEOUT_MS
// is idle. Answered connections are read away for LINGER_MS in the loop,
// LINGER_LIMIT of those refused beyond CLIENT_LIMIT.
enum {
    CLIENT_LIMIT = 1000, WORKER_LIMIT = 64, LINGER_LIMIT = 64, FIRST_BYTE_TIMEOUT_MS = 2000, LINGER_MS = 1000,
    ACCEPT_RETRY_MS = 100, COUNT_LOG_MS = 1000
};

typedef std::vector<std::unique_ptr<Client>> Clients;

// Events that a flood of clients could make many of are logged once a
// second at the most, with the count since the last line, so that they
// cannot fill the disk.
struct CountedEvents {
    const char* what;
    int unlogged;
    long long loggedMs;
};

static CountedEvents refusals = { "503 refused %d connection%s: too many clients at once", 0, -COUNT_LOG_MS };
static CountedEvents timeouts = { "408 sent to %d client%s: no whole request in time", 0, -COUNT_LOG_MS };
// Workers give the sockets they have answered back through it, to linger.
static int answeredPipe[2] = { -1, -1 };

static void logCounted(CountedEvents& events, long long now, int atOnce = 0)
{
    if (!events.unlogged || (!atOnce && now - events.loggedMs < COUNT_LOG_MS))
        return;
    logLine(LEVEL_WARNING, "clients", events.what, events.unlogged, events.unlogged == 1 ? "" : "s");
    events.unlogged = 0;
    events.loggedMs = now;
}

static void count(CountedEvents& events, long long now)
{
    ++events.unlogged;
    logCounted(events, now);
}

void lingerInLoop(int socket)
{
    if (write(answeredPipe[1], &socket, sizeof socket) != sizeof socket)
        close(socket);
}

static void linger(Client& client, long long now)
{
    client.lingering = 1;
    client.deadline = now + LINGER_MS;
}

// Answers from the loop without waiting: the page is small enough for the
// socket's buffer. The client then lingers in the loop.
static void answerAtOnce(Client& client, int status, const std::string& reason, long long now)
{
    std::string response;
    writeErrorPage(status, reason, response);
    ssize_t sent = send(client.socket, response.data(), response.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    shutdown(client.socket, SHUT_WR);
    if (status == 408)
        count(timeouts, now);
    else if (status != 503)
        logRequest("", status, client.length, sent > 0 ? (size_t)sent : 0, now - client.started);
    linger(client, now);
}

static void refuse(Client& client, long long now)
{
    answerAtOnce(client, 503, "The service is serving too many clients. Please try again.", now);
    count(refusals, now);
}

static std::unique_ptr<Client> newClient(int socket, long long now, long long deadline)
{
    std::unique_ptr<Client> client(new Client);
    client->socket = socket;
    client->started = now;
    client->deadline = deadline;
    client->lingering = 0;
    client->length = 0;
    return client;
}

// Takes the sockets the workers have answered. Returns how many.
static int takeAnswered(Clients& clients, long long now)
{
    int socket, taken = 0;
    while (read(answeredPipe[0], &socket, sizeof socket) == sizeof socket) {
        clients.push_back(newClient(socket, now, 0));
        linger(*clients.back(), now);
        ++taken;
    }
    return taken;
}

// Gives a whole request to a worker. Returns 0 when the client has left
// the loop.
static int handOver(std::unique_ptr<Client>& client, long long now)
{
    if (handToWorker(client))
        return 0;
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
            ++refusals.unlogged;
            close(socket);
            continue;
        }
        auto client = newClient(socket, now, now + std::min((int)FIRST_BYTE_TIMEOUT_MS, requestTimeoutMs));
        if (reading >= CLIENT_LIMIT) {
            refuse(*client, now);
            ++lingering;
        } else {
            ++reading;
        }
        clients.push_back(std::move(client));
    }
}

int serveClients(int listener, int requestTimeoutMs, int stopSignal)
{
    if (pipe2(answeredPipe, O_CLOEXEC | O_NONBLOCK) != 0 || !startWorkers(WORKER_LIMIT, CLIENT_LIMIT)) {
        logLine(LEVEL_ERROR, "service", "cannot start the worker threads");
        return 0;
    }
    fcntl(listener, F_SETFL, fcntl(listener, F_GETFL) | O_NONBLOCK);
    Clients clients;
    std::vector<pollfd> entries;
    long long acceptPausedUntil = 0;
    int stopping = 0;
    for (;;) {
        long long now = nowMs();
        // Every step of a request has a time limit, so the requests held at
        // a stop are all answered within a bounded time.
        if (stopping && workersIdle() && !takeAnswered(clients, now) && clients.empty())
            break;
        long long wake = now + 60000;
        for (const CountedEvents* events : { &refusals, &timeouts })
            if (events->unlogged)
                wake = std::min(wake, events->loggedMs + COUNT_LOG_MS);
        int accepting = !stopping && now >= acceptPausedUntil;
        entries.assign(1, pollfd{ accepting ? listener : -1, POLLIN, 0 });
        entries.push_back(pollfd{ stopping ? -1 : stopSignal, POLLIN, 0 });
        entries.push_back(pollfd{ answeredPipe[0], POLLIN, 0 });
        if (!stopping && now < acceptPausedUntil)
            wake = std::min(wake, acceptPausedUntil);
        // The workers are not watched: look now and then whether they are done.
        if (stopping)
            wake = std::min(wake, now + 20);
        for (const auto& client : clients) {
            entries.push_back(pollfd{ client->socket, POLLIN, 0 });
            wake = std::min(wake, client->deadline);
        }
        int ready = poll(entries.data(), entries.size(), (int)std::max(wake - now, 0LL));
        now = nowMs();
        size_t kept = 0;
        for (size_t i = 0; i < clients.size(); ++i) {
            short events = ready > 0 ? entries[i + 3].revents : 0;
            if (advance(clients[i], events, now, requestTimeoutMs))
                clients[kept++] = std::move(clients[i]);
        }
        clients.resize(kept);
        if (ready > 0 && entries[2].revents)
            takeAnswered(clients, now);
        if (ready > 0 && entries[0].revents && !acceptClients(listener, clients, now, requestTimeoutMs))
            acceptPausedUntil = now + ACCEPT_RETRY_MS;
        if (ready > 0 && entries[1].revents) {
            // What has queued up is still taken and answered; a connection
            // after the close is refused.
            acceptClients(listener, clients, now, requestTimeoutMs);
            close(listener);
            stopping = 1;
            logLine(LEVEL_INFO, "service", "stopping: answering the requests held, accepting no more");
        }
        logCounted(refusals, now);
        logCounted(timeouts, now);
    }
    logCounted(refusals, nowMs(), 1);
    logCounted(timeouts, nowMs(), 1);
    stopWorkers();
    return 1;
}
