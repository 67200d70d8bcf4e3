// One client's whole exchange: read the request, translate, answer, close.
#pragma once

// Runs on a thread of its own and closes the socket. A client that has not
// sent a whole request within requestTimeoutMs gets status 408.
void serveClient(int socket, int requestTimeoutMs);
// The answer to a client that finds the service at its connection limit.
void refuseClient(int socket);
