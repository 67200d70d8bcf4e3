#include "requestAnswer.h"
#include <cerrno>
#include <string>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include "apertiumPipeline.h"
#include "clientLoop.h"
#include "languagePairs.h"
#include "monotonicClock.h"
#include "serviceLog.h"
#include "translation.h"
#include "translationPage.h"

// A client gets SEND_TIMEOUT_MS to take its answer.
enum { SEND_TIMEOUT_MS = 10000 };

void logRequest(const char* pair, int status, size_t bytesIn, size_t bytesOut, long long ms)
{
    logLine(LEVEL_INFO, pair[0] ? pair : "-", "%d in=%zu out=%zu %lld ms", status, bytesIn, bytesOut, ms);
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

// Returns the status written.
static int answerTranslation(const TranslateRequest& request, std::string& response)
{
    int row = findPair(request.pairCode);
    if (row < 0) {
        writeErrorPage(400, std::string("There is no language pair \"") + request.pairCode + "\". The pairs are "
            + pairCodeList() + ".", response);
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

void answerClient(Client& client)
{
    std::string reason, response;
    TranslateRequest request;
    request.pairCode[0] = 0;
    int status = parseRequest(client.bytes, client.length, request, reason);
    std::string report;
    if (status == 200 && request.health)
        writeHealthPage(apertiumHealth(report), report, response);
    else if (status == 200)
        status = answerTranslation(request, response);
    else
        writeErrorPage(status, reason, response);
    size_t sent = sendAll(client.socket, response);
    // Closing with unread bytes waiting resets the connection, and the
    // client may lose the answer: so end our side, and the loop reads what
    // is left for a moment.
    shutdown(client.socket, SHUT_WR);
    lingerInLoop(client.socket);
    if (!request.health)
        logRequest(request.pairCode, status, client.length, sent, nowMs() - client.started);
}
