#include <winsock.h>
#include "serverExchange.h"
#include "appState.h"
#include "requestComposer.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "translationState.h"

enum {
    SERVICE_PORT = 80,
    WINSOCK_VERSION_1_1 = 0x0101,
    // String ids are 16-bit: a larger code has no text of its own.
    LARGEST_STRING_ID = 0xFFFF,
    // The request's length is sent as a 16-bit count; netBuffer is shorter
    // than 64 KiB, so the mask never cuts a request.
    SEND_LENGTH_MASK = 0xFFFF
};

const char* serviceHost = QUORV_SERVICE_HOST;

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

char* winsockErrorText(int code)
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

static int releaseJobSocket()
{
    SOCKET connection = (SOCKET)InterlockedExchangePointer(&jobSocket, (void*)INVALID_SOCKET);
    return connection == INVALID_SOCKET || closesocket(connection) != SOCKET_ERROR;
}

void abortExchange()
{
    releaseJobSocket();
}

// Ends the exchange without a message: the user asked for it or has been
// told already.
static int giveUp()
{
    releaseJobSocket();
    return 0;
}

static int receivePage(SOCKET connection)
{
    int received = 0;
    // One byte always stays zero behind the page.
    while (received < NET_BUFFER_SIZE - 1) {
        int count = recv(connection, netBuffer + received, NET_BUFFER_SIZE - 1 - received, 0);
        if (count == 0 || abortRequested)
            break;
        if (count == SOCKET_ERROR) {
            reportError(IDS_RECEIVE_FAILED, winsockErrorText(-1));
            abortRequested = 1;
            break;
        }
        received += count;
    }
    return received;
}

int exchangeWithServer()
{
    hostent* host = gethostbyname(serviceHost);
    if (abortRequested)
        return giveUp();
    if (!host) {
        reportError(IDS_CONNECT_FAILED, winsockErrorText(-1));
        return 0;
    }

    sockaddr_in address;
    ZeroMemory(&address, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(SERVICE_PORT);
    CopyMemory(&address.sin_addr, host->h_addr_list[0], sizeof address.sin_addr);

    SOCKET connection = socket(AF_INET, SOCK_STREAM, 0);
    if (connection != INVALID_SOCKET)
        holdJobSocket(connection);
    if (abortRequested)
        return giveUp();
    if (connection == INVALID_SOCKET) {
        reportError(IDS_CONNECT_FAILED, winsockErrorText(-1));
        return 0;
    }
    if (connect(connection, (sockaddr*)&address, sizeof address) == SOCKET_ERROR) {
        if (abortRequested)
            return giveUp();
        reportError(IDS_CONNECT_FAILED, winsockErrorText(-1));
        releaseJobSocket();
        return 0;
    }
    if (abortRequested)
        return giveUp();

    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    expandRequestTemplate(netBuffer, RequestTemplate);
    showStatusText(IDS_TRANSFERRING);
    int length = lstrlenA(netBuffer) & SEND_LENGTH_MASK;
    int sent = send(connection, netBuffer, length, 0);
    if (abortRequested)
        return giveUp();
    if (sent == SOCKET_ERROR) {
        reportError(IDS_SEND_FAILED, winsockErrorText(-1));
        releaseJobSocket();
        return 0;
    }

    showStatusText(IDS_RECEIVING);
    ZeroMemory(netBuffer, NET_BUFFER_SIZE);
    if (abortRequested)
        return giveUp();
    receivePage(connection);
    if (abortRequested)
        return giveUp();

    if (!releaseJobSocket())
        MessageBeep(MB_ICONEXCLAMATION);
    return !abortRequested;
}
