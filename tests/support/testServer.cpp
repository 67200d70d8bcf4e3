#include <winsock2.h>
#include <windows.h>
#include "testServer.h"

static SOCKET listener = INVALID_SOCKET;
static HANDLE serverThread, requestHandled, stopEvent;
static ServerScript currentScript;
static std::string lastRequest;
// Guards the script and the request, which the server thread and the test share.
static CRITICAL_SECTION lock;

// Waits a while for the connection to have bytes or to be closed.
static int readable(SOCKET connection, long microseconds)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(connection, &set);
    timeval wait = { 0, microseconds };
    return select(0, &set, 0, 0, &wait) > 0;
}

static void serve(SOCKET connection)
{
    EnterCriticalSection(&lock);
    ServerScript script = currentScript;
    LeaveCriticalSection(&lock);
    std::string request;
    char chunk[4096];
    for (DWORD start = GetTickCount(); request.find("\n\n") == std::string::npos
         && request.find("\r\n\r\n") == std::string::npos && GetTickCount() - start < 5000;) {
        if (!readable(connection, 100000))
            continue;
        int count = recv(connection, chunk, sizeof chunk, 0);
        if (count <= 0)
            break;
        request.append(chunk, count);
    }
    WaitForSingleObject(stopEvent, script.delayMilliseconds);
    linger abortive = { 1, 0 };
    int count = 1;
    for (size_t sent = 0; script.action == SERVER_REPLY && sent < script.reply.size() && count > 0; sent += count)
        count = send(connection, script.reply.data() + sent, (int)(script.reply.size() - sent), 0);
    if (script.action == SERVER_REPLY)
        shutdown(connection, SD_SEND);
    else if (script.action == SERVER_RESET)
        setsockopt(connection, SOL_SOCKET, SO_LINGER, (const char*)&abortive, sizeof abortive);
    // A silent server waits until the client gives up or the test ends.
    while (script.action == SERVER_STAY_SILENT && WaitForSingleObject(stopEvent, 0) == WAIT_TIMEOUT)
        if (readable(connection, 50000) && recv(connection, chunk, 1, 0) <= 0)
            break;
    closesocket(connection);
    EnterCriticalSection(&lock);
    lastRequest = request;
    LeaveCriticalSection(&lock);
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
    BOOL reuse = TRUE;
    sockaddr_in address = { AF_INET, htons(80), { { { 127, 0, 0, 1 } } }, {} };
    if (WSAStartup(MAKEWORD(2, 2), &data))
        return 0;
    InitializeCriticalSection(&lock);
    requestHandled = CreateEventA(0, FALSE, FALSE, 0);
    stopEvent = CreateEventA(0, TRUE, FALSE, 0);
    listener = socket(AF_INET, SOCK_STREAM, 0);
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, (const char*)&reuse, sizeof reuse);
    if (bind(listener, (sockaddr*)&address, sizeof address) || listen(listener, 8))
        return 0;
    return (serverThread = CreateThread(0, 0, serverLoop, 0, 0, 0)) != 0;
}

void scriptTestServer(const ServerScript& script)
{
    EnterCriticalSection(&lock);
    currentScript = script;
    lastRequest.clear();
    LeaveCriticalSection(&lock);
    ResetEvent(requestHandled);
    ResetEvent(stopEvent);
}

std::string receivedRequest()
{
    WaitForSingleObject(requestHandled, 5000);
    EnterCriticalSection(&lock);
    std::string request = lastRequest;
    LeaveCriticalSection(&lock);
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
