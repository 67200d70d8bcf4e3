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
// in the loop, not a thread: CLIENT_LIMIT of them at once. Only a whole
// request goes to a worker, of which there are WORKER_LIMIT. The program sends its whole
// request as it connects, so a client that has sent nothing within
// FIRST_BYTE_TIMEOUT_MS is idle. Answered connections are read away for
// LINGER_MS in the loop, LINGER_LIMIT of them beyond CLIENT_LIMIT. After a
// stop signal the loop answers what it holds for at most STOP_TIMEOUT_MS,
// looking every STOP_POLL_MS whether the workers are done.
enum {
    CLIENT_LIMIT = 1000, WORKER_LIMIT = 64, LINGER_LIMIT = 64, FIRST_BYTE_TIMEOUT_MS = 2000, LINGER_MS = 1000, ACCEPT_RETRY_MS = 100, REFUSAL_LOG_MS = 1000,
    STOP_TIMEOUT_MS = 15000, STOP_POLL_MS = 20
};

typedef std::vector<std::unique_ptr<Client>> Clients;

static long long refusalLoggedMs = -REFUSAL_LOG_MS;
static int refusalsUnlogged = 0;

// One line a second at the most, with the count since the last one, so
// that a flood of clients cannot fill the disk.
static void logRefusals(long long now, int atOnce = 0)
{
    if (!refusalsUnlogged || (!atOnce && now - refusalLoggedMs < REFUSAL_LOG_MS))
        return;
    logLine(LEVEL_WARNING, "clients", "503 refused %d connection%s: too many clients at once", refusalsUnlogged,
        refusalsUnlogged == 1 ? "" : "s");
    refusalsUnlogged = 0;
    refusalLoggedMs = now;
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

int serveClients(int listener, int requestTimeoutMs, int stopSignal)
{
    if (!startWorkers(WORKER_LIMIT)) {
        logLine(LEVEL_ERROR, "service", "cannot start the worker threads");
        return 0;
    }
    fcntl(listener, F_SETFL, fcntl(listener, F_GETFL) | O_NONBLOCK);
    Clients clients;
    std::vector<pollfd> entries;
    long long acceptPausedUntil = 0, stopDeadline = 0;
    for (;;) {
        long long now = nowMs();
        if (stopDeadline && ((clients.empty() && workersIdle()) || now >= stopDeadline))
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
            logLine(LEVEL_INFO, "service", "stopping: answering the requests held, accepting no more");
        }
        logRefusals(now);
    }
    logRefusals(nowMs(), 1);
    stopWorkers();
    return 1;
}
