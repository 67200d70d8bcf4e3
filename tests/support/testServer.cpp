#include <winsock2.h>
#include <windows.h>
#include "testServer.h"

static SOCKET listener = INVALID_SOCKET;
static HANDLE serverThread;
static HANDLE requestHandled;
static HANDLE stopEvent;
static CRITICAL_SECTION scriptLock;
static ServerScript currentScript;
static std::string lastRequest;

// Waits a while for the connection to have bytes or to be closed.
static int readable(SOCKET connection, long microseconds)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(connection, &set);
    timeval wait = { 0, microseconds };
    return select(0, &set, 0, 0, &wait) > 0;
}

static std::string readRequest(SOCKET connection)
{
    std::string request;
    char chunk[4096];
    DWORD deadline = GetTickCount() + 5000;
    while (request.find("\n\n") == std::string::npos && request.find("\r\n\r\n") == std::string::npos
           && GetTickCount() < deadline) {
        if (!readable(connection, 100000))
            continue;
        int count = recv(connection, chunk, sizeof chunk, 0);
        if (count <= 0)
            break;
        request.append(chunk, count);
    }
    return request;
}

static void serve(SOCKET connection)
{
    EnterCriticalSection(&scriptLock);
    ServerScript script = currentScript;
    LeaveCriticalSection(&scriptLock);
    std::string request = readRequest(connection);
    if (script.delayMilliseconds)
        WaitForSingleObject(stopEvent, script.delayMilliseconds);
    linger abortive = { 1, 0 };
    char byte;
    switch (script.action) {
    case SERVER_REPLY:
        for (size_t sent = 0; sent < script.reply.size();) {
            int count = send(connection, script.reply.data() + sent, (int)(script.reply.size() - sent), 0);
            if (count <= 0)
                break;
            sent += count;
        }
        shutdown(connection, SD_SEND);
        break;
    case SERVER_CLOSE_SILENTLY:
        shutdown(connection, SD_SEND);
        break;
    case SERVER_RESET:
        setsockopt(connection, SOL_SOCKET, SO_LINGER, (const char*)&abortive, sizeof abortive);
        break;
    case SERVER_STAY_SILENT:
        // Until the client gives up or the test ends.
        while (WaitForSingleObject(stopEvent, 0) == WAIT_TIMEOUT)
            if (readable(connection, 50000) && recv(connection, &byte, 1, 0) <= 0)
                break;
        break;
    }
    closesocket(connection);
    EnterCriticalSection(&scriptLock);
    lastRequest = request;
    LeaveCriticalSection(&scriptLock);
    SetEvent(requestHandled);
}

static DWORD WINAPI serverLoop(void*)
{
    for (SOCKET connection; (connection = accept(listener, 0, 0)) != INVALID_SOCKET;)
        serve(connection);
    return 0;
}

int startTestServer()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data))
        return 0;
    InitializeCriticalSection(&scriptLock);
    requestHandled = CreateEventA(0, FALSE, FALSE, 0);
    stopEvent = CreateEventA(0, TRUE, FALSE, 0);
    listener = socket(AF_INET, SOCK_STREAM, 0);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, (const char*)&reuse, sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(80);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, (sockaddr*)&address, sizeof address) || listen(listener, 8))
        return 0;
    serverThread = CreateThread(0, 0, serverLoop, 0, 0, 0);
    return serverThread != 0;
}

void scriptTestServer(const ServerScript& script)
{
    EnterCriticalSection(&scriptLock);
    currentScript = script;
    lastRequest.clear();
    LeaveCriticalSection(&scriptLock);
    ResetEvent(requestHandled);
    ResetEvent(stopEvent);
}

std::string receivedRequest()
{
    WaitForSingleObject(requestHandled, 5000);
    EnterCriticalSection(&scriptLock);
    std::string request = lastRequest;
    LeaveCriticalSection(&scriptLock);
    return request;
}

void stopTestServer()
{
    SetEvent(stopEvent);
    closesocket(listener);
    listener = INVALID_SOCKET;
    WaitForSingleObject(serverThread, 5000);
    CloseHandle(serverThread);
    WSACleanup();
}
