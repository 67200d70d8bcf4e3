// Sends a fixed 1,023-character English text to the translation service 100
// times for Spanish, and compares its latency with starting `apertium
// eng-spa` as a process for the same text. Usage: service_bench [host:port]
// (without it the bench starts the built service on a free port itself).
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include "languagePairs.h"
#include "replyExtractor.h"
#include "requestComposer.h"
#include "serviceProcess.h"
#include "translationState.h"

enum { SERVICE_ROUNDS = 100, PROCESS_ROUNDS = 10 };

static std::string benchText()
{
    const char* sentences[] = {
        "The old house at the end of the street has a large garden with many trees. ",
        "Every morning my neighbour walks her two dogs along the river before work. ",
        "We would like to book a table for four people on Friday evening, please. ",
        "The train to the city leaves at half past eight and arrives an hour later. ",
    };
    std::string text;
    for (int i = 0; text.size() < 1023; ++i)
        text += sentences[i % 4];
    text.resize(1023);
    return text;
}

static double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One exchange as the program makes it: connect, send, read to the close.
static int exchange(const sockaddr_in& address, const char* request, std::string& page)
{
    int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client < 0 || connect(client, (const sockaddr*)&address, sizeof address) != 0) {
        if (client >= 0)
            close(client);
        return 0;
    }
    send(client, request, strlen(request), MSG_NOSIGNAL);
    page.clear();
    char chunk[8192];
    ssize_t count;
    while ((count = recv(client, chunk, sizeof chunk, 0)) > 0)
        page.append(chunk, (size_t)count);
    close(client);
    return !page.empty();
}

static double runApertiumProcess(const char* inputPath)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        int input = open(inputPath, O_RDONLY);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(input, 0);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("apertium", "apertium", "eng-spa", (char*)0);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? msSince(start) : -1;
}

static double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    size_t index = (size_t)(share * (double)(values.size() - 1) + 0.5);
    return values[index];
}

int main(int argc, char** argv)
{
    sourceText = (char*)malloc(SOURCE_TEXT_SIZE);
    workText = (char*)malloc(WORK_TEXT_SIZE);
    netBuffer = (char*)malloc(NET_BUFFER_SIZE);
    std::string text = benchText();

    sockaddr_in address = {};
    address.sin_family = AF_INET;
    pid_t service = 0;
    int port = 0;
    if (argc > 1) {
        std::string target = argv[1];
        size_t colon = target.rfind(':');
        if (colon == std::string::npos || inet_pton(AF_INET, target.substr(0, colon).c_str(), &address.sin_addr) != 1) {
            fprintf(stderr, "usage: service_bench [ipv4:port]\n");
            return 2;
        }
        port = atoi(target.c_str() + colon + 1);
    } else {
        service = startServiceProcess(0, true, &port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    if (port <= 0) {
        fprintf(stderr, "service_bench: no service to ask\n");
        return 1;
    }
    address.sin_port = htons((unsigned short)port);

    // The request exactly as the program composes it.
    strcpy(sourceText, text.c_str());
    strcpy(pairCode, "en_es");
    targetLanguage = LANGUAGE_SPANISH;
    urlEncode(workText, WORK_TEXT_SIZE, sourceText);
    expandRequestTemplate(netBuffer, RequestTemplate);
    std::string request = netBuffer;

    std::vector<double> serviceMs;
    std::string page;
    size_t translated = 0;
    for (int i = 0; i < SERVICE_ROUNDS; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!exchange(address, request.c_str(), page)) {
            fprintf(stderr, "service_bench: the service did not answer\n");
            return 1;
        }
        serviceMs.push_back(msSince(start));
        memcpy(netBuffer, page.c_str(), std::min(page.size() + 1, (size_t)NET_BUFFER_SIZE - 1));
        netBuffer[NET_BUFFER_SIZE - 1] = 0;
        if (!cleanPage() || !extractTranslation() || !(translated = strlen(workText))) {
            fprintf(stderr, "service_bench: the page holds no translation\n");
            return 1;
        }
    }
    if (service > 0) {
        kill(service, SIGTERM);
        waitpid(service, 0, 0);
    }

    char inputPath[] = "/tmp/service-bench-XXXXXX";
    int input = mkstemp(inputPath);
    if (input < 0 || write(input, text.data(), text.size()) != (ssize_t)text.size()) {
        fprintf(stderr, "service_bench: cannot write the text for apertium\n");
        return 1;
    }
    close(input);
    std::vector<double> processMs;
    for (int i = 0; i < PROCESS_ROUNDS; ++i) {
        double ms = runApertiumProcess(inputPath);
        if (ms < 0) {
            fprintf(stderr, "service_bench: apertium eng-spa failed\n");
            unlink(inputPath);
            return 1;
        }
        processMs.push_back(ms);
    }
    unlink(inputPath);

    double serviceMedian = percentile(serviceMs, 0.5);
    double processMedian = percentile(processMs, 0.5);
    printf("%zu characters English to Spanish, %zu bytes of translation\n\n", text.size(), translated);
    printf("| %-28s | %5s | %10s | %10s |\n", "way", "runs", "median ms", "95th pct ms");
    printf("|------------------------------|-------|------------|-------------|\n");
    printf("| %-28s | %5d | %10.1f | %11.1f |\n", "service request", SERVICE_ROUNDS, serviceMedian,
        percentile(serviceMs, 0.95));
    printf("| %-28s | %5d | %10.1f | %11.1f |\n", "apertium eng-spa process", PROCESS_ROUNDS, processMedian,
        percentile(processMs, 0.95));
    printf("\nservice median / process median = %.3f (goal: under 0.1)\n", serviceMedian / processMedian);
    return serviceMedian < processMedian / 10 ? 0 : 1;
}
