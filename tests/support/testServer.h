// A scriptable HTTP peer on 127.0.0.1 port 80 for the exchange tests. It
// takes one connection per script, records the exact request bytes and
// then does what the script says.
#pragma once
#include <string>

enum ServerAction {
    SERVER_REPLY,          // send the reply (which may be empty), then close
    SERVER_RESET,          // abort the connection (the client sees a reset)
    SERVER_STAY_SILENT     // keep the connection open, send nothing, until stopped
};

struct ServerScript {
    ServerAction action;
    std::string reply;
    unsigned delayMilliseconds;  // wait after the request, before acting
};

int startTestServer();  // 1 when listening
void scriptTestServer(const ServerScript& script);
// The request of the last connection, once it has been handled; waits up to
// a few seconds for it.
std::string receivedRequest();
void stopTestServer();
