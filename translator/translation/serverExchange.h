// Windows Sockets 1.1 and the one exchange with the translation service.
#pragma once

// Starts Windows Sockets 1.1 for the program's lifetime; started is 0 when
// it could not (message 4 has then been shown).
struct WinsockScope {
    int started;
    WinsockScope();
    ~WinsockScope();
};

// Sends the request for sourceText and pairCode and reads the reply page into
// netBuffer until the server closes the connection. Returns 1 when a page
// was received.
int exchangeWithServer();
// Closes the running exchange's socket, so that a blocked connect or
// receive returns; the exchange then sees abortRequested and gives up.
void abortExchange();
