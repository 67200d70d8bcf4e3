// The desktop program's side of an exchange with the translation service,
// for the benchmarks and the load checks.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include "languagePairs.h"
#include "requestComposer.h"
#include "translationState.h"

// The request exactly as the program composes it.
inline std::string desktopRequest(const char* pair, Language target, const std::string& text)
{
    if (!sourceText) {
        sourceText = (char*)malloc(SOURCE_TEXT_SIZE);
        workText = (char*)malloc(WORK_TEXT_SIZE);
        netBuffer = (char*)malloc(NET_BUFFER_SIZE);
    }
    strcpy(sourceText, text.c_str());
    strcpy(pairCode, pair);
    targetLanguage = target;
    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    expandRequestTemplate(netBuffer, RequestTemplate);
    return netBuffer;
}

inline sockaddr_in loopbackPort(int port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// One exchange as the program makes it: connect, send, read to the close.
// Returns 0 when no connection was made.
inline int exchangeOnce(const sockaddr_in& address, const std::string& request, std::string& page)
{
    page.clear();
    int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client < 0 || connect(client, (const sockaddr*)&address, sizeof address) != 0) {
        if (client >= 0)
            close(client);
        return 0;
    }
    send(client, request.data(), request.size(), MSG_NOSIGNAL);
    char chunk[8192];
    ssize_t count;
    while ((count = recv(client, chunk, sizeof chunk, 0)) > 0)
        page.append(chunk, (size_t)count);
    close(client);
    return 1;
}

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[(size_t)(share * (double)(values.size() - 1) + 0.5)];
}
