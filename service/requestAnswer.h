// Answering one whole request: reading it, translating, sending the page.
#pragma once
#include <cstddef>
#include "httpRequest.h"

// A client of the service, from its connection to its answer.
struct Client {
    int socket;
    long long started;
    long long deadline;
    int lingering;
    size_t length;
    char bytes[REQUEST_LIMIT];
};

// Answers the client's whole request, logs it and gives the connection back
// to the loop, or answers a health check without a log line. Runs on a
// worker thread: a translation may take seconds.
void answerClient(Client& client);
// One log line for an answered request; pair is empty when the request
// named none.
void logRequest(const char* pair, int status, size_t bytesIn, size_t bytesOut, long long ms);
