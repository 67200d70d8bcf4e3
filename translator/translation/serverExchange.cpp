#include <winsock.h>
#include "serverExchange.h"
#include "requestComposer.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "translationJob.h"
#include "translationState.h"

enum {
    SERVICE_PORT = 80,
    WINSOCK_VERSION_1_1 = 0x0101,
    // String ids are 16-bit: a larger code has no text of its own.
    LARGEST_STRING_ID = 0xFFFF
};

static const char* const serviceHost = QUORV_SERVICE_HOST;

WinsockScope::WinsockScope() : started(0)
{
    WSADATA data;
    // WSAStartup returns its error itself: WSAGetLastError needs a started
    // Winsock.
    int error = WSAStartup(WINSOCK_VERSION_1_1, &data);
    if (error) {
        reportError(IDS_WINSOCK_MISSING, systemErrorText(error));
        return;
    }
    if (data.wVersion != WINSOCK_VERSION_1_1) {
        reportError(IDS_WINSOCK_MISSING, "Version 1.1 requiert.");
        WSACleanup();
        return;
    }
    started = 1;
}

WinsockScope::~WinsockScope()
{
    if (started && WSACleanup() == SOCKET_ERROR)
        reportError(IDS_WSACLEANUP_FAILED, systemErrorText(WSAGetLastError()));
}

// The text of a Winsock error from the string table; -1 stands for
// WSAGetLastError(). Returns errorTextBuffer.
static char* winsockErrorText(int code)
{
    if (code == -1)
        code = WSAGetLastError();
    if (code <= 0 || code > LARGEST_STRING_ID || !loadText((UINT)code, errorTextBuffer, sizeof errorTextBuffer))
        return errorCodeText(code);
    return errorTextBuffer;
}

// The socket of the running exchange, so that an abort can close it under a
// blocked call. Whoever takes it out first closes it.
static void* volatile jobSocket = (void*)INVALID_SOCKET;

static void holdJobSocket(SOCKET connection)
{
    InterlockedExchangePointer(&jobSocket, (void*)connection);
}

// Closes the exchange's socket unless an abort has closed it already.
// Returns 0 when closing it failed.
static int closeJobSocket()
{
    SOCKET connection = (SOCKET)InterlockedExchangePointer(&jobSocket, (void*)INVALID_SOCKET);
    return connection == INVALID_SOCKET || closesocket(connection) != SOCKET_ERROR;
}

void abortExchange()
{
    closeJobSocket();
}

// Each step returns 1 to go on. A failure is reported with message id
// unless the user has asked for the abort, which explains it already.
static int failStep(UINT id)
{
    if (!abortRequested)
        reportError(id, winsockErrorText(-1));
    return 0;
}

static int connectToService(SOCKET* connection)
{
    hostent* host = gethostbyname(serviceHost);
    if (!host || abortRequested)
        return failStep(IDS_CONNECT_FAILED);

    sockaddr_in address;
    ZeroMemory(&address, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(SERVICE_PORT);
    CopyMemory(&address.sin_addr, host->h_addr_list[0], sizeof address.sin_addr);

    *connection = socket(AF_INET, SOCK_STREAM, 0);
    if (*connection == INVALID_SOCKET)
        return failStep(IDS_CONNECT_FAILED);
    holdJobSocket(*connection);
    if (abortRequested || connect(*connection, (sockaddr*)&address, sizeof address) == SOCKET_ERROR)
        return failStep(IDS_CONNECT_FAILED);
    return !abortRequested;
}

static int sendRequest(SOCKET connection)
{
    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    expandRequestTemplate(netBuffer, RequestTemplate);
    showStatusText(IDS_TRANSFERRING);
    if (send(connection, netBuffer, lstrlenA(netBuffer), 0) == SOCKET_ERROR)
        return failStep(IDS_SEND_FAILED);
    return !abortRequested;
}

// Reads until the server closes the connection or netBuffer is full. A
// receive error also raises abortRequested, so that the next Abort command
// is the one that may end the worker by force.
static int receivePage(SOCKET connection)
{
    showStatusText(IDS_RECEIVING);
    ZeroMemory(netBuffer, NET_BUFFER_SIZE);
    int received = 0;
    // One byte always stays zero behind the page.
    while (received < NET_BUFFER_SIZE - 1) {
        int count = recv(connection, netBuffer + received, NET_BUFFER_SIZE - 1 - received, 0);
        if (count == 0 || abortRequested)
            break;
        if (count == SOCKET_ERROR) {
            failStep(IDS_RECEIVE_FAILED);
            abortRequested = 1;
            break;
        }
        received += count;
    }
    return !abortRequested;
}

int exchangeWithServer()
{
    SOCKET connection = INVALID_SOCKET;
    int received = connectToService(&connection) && sendRequest(connection) && receivePage(connection);
    int closed = closeJobSocket();
    if (!received || abortRequested)
        return 0;
    if (!closed)
        MessageBeep(MB_ICONEXCLAMATION);
    return 1;
}
