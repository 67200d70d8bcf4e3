// The service's event loop: accepts connections, reads requests and hands
// each whole one to a worker.
#pragma once

// Serves the listening socket's clients for as long as the service runs.
// A client that has not sent a whole request within requestTimeoutMs, or
// not a byte within a shorter time, gets status 408; clients past the
// connection limit get 503. Returns once stopSignal is readable and the
// requests held then are answered; the listener is closed by then. Returns
// 0 when no worker thread could start.
int serveClients(int listener, int requestTimeoutMs, int stopSignal);
// Takes an answered client's socket, whose sending side is shut down, to
// read away what the client still sends for a moment and then close it.
void lingerInLoop(int socket);
