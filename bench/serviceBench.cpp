// Sends a fixed 1,023-character English text to the translation service 100
// times for Spanish, French and German (German comes from the dictionary),
// and a single word for German, and compares the latency with starting
// `apertium eng-spa` as a process for the same text. Usage: service_bench
// [host:port]. Without it the bench starts the built service on a free port
// itself, with and without the dictionaries, and also reports how long each
// start took and the service's resident memory.
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
#include "serviceClient.h"
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

// The service's own resident memory (its Apertium pipelines are processes
// of their own), in MB.
static double residentMb(pid_t process)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)process);
    FILE* status = fopen(path, "r");
    long kb = -1;
    while (status && fgets(line, sizeof line, status))
        sscanf(line, "VmRSS: %ld", &kb);
    if (status)
        fclose(status);
    return kb / 1024.0;
}

struct StartedService {
    pid_t process;
    int port;
    double startMs;
    double residentMb;
};

static StartedService startService(const char* const* options)
{
    StartedService started;
    auto start = std::chrono::steady_clock::now();
    started.process = startServiceProcess(options, true, &started.port);
    started.startMs = msSince(start);
    started.residentMb = started.port > 0 ? residentMb(started.process) : -1;
    return started;
}

static void stopService(const StartedService& started)
{
    if (started.process > 0) {
        kill(started.process, SIGTERM);
        waitpid(started.process, 0, 0);
    }
}

// Sends text for the pair exactly as the program composes the request,
// rounds times, and checks that each page holds a translation.
static int measure(const sockaddr_in& address, const char* pair, Language target, const std::string& text,
    std::vector<double>& ms, size_t& translated)
{
    std::string request = desktopRequest(pair, target, text), page;
    for (int i = 0; i < SERVICE_ROUNDS; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!exchangeOnce(address, request, page) || page.empty()) {
            fprintf(stderr, "service_bench: the service did not answer %s\n", pair);
            return 0;
        }
        ms.push_back(msSince(start));
        memcpy(netBuffer, page.c_str(), std::min(page.size() + 1, (size_t)NET_BUFFER_SIZE - 1));
        netBuffer[NET_BUFFER_SIZE - 1] = 0;
        if (!cleanPage() || !extractTranslation() || !(translated = strlen(workText))) {
            fprintf(stderr, "service_bench: the page for %s holds no translation\n", pair);
            return 0;
        }
    }
    return 1;
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

int main(int argc, char** argv)
{
    std::string text = benchText();

    sockaddr_in address = {};
    address.sin_family = AF_INET;
    int port = 0;
    StartedService withDictionaries = {}, withoutDictionaries = {};
    if (argc > 1) {
        std::string target = argv[1];
        size_t colon = target.rfind(':');
        if (colon == std::string::npos || inet_pton(AF_INET, target.substr(0, colon).c_str(), &address.sin_addr) != 1) {
            fprintf(stderr, "usage: service_bench [ipv4:port]\n");
            return 2;
        }
        port = atoi(target.c_str() + colon + 1);
    } else {
        const char* noDictionaries[] = { "--dictionaries", "/nonexistent", 0 };
        withoutDictionaries = startService(noDictionaries);
        stopService(withoutDictionaries);
        withDictionaries = startService(0);
        port = withDictionaries.port;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    if (port <= 0) {
        fprintf(stderr, "service_bench: no service to ask\n");
        return 1;
    }
    address.sin_port = htons((unsigned short)port);

    struct {
        const char* name;
        const char* pair;
        Language target;
        std::string text;
        std::vector<double> ms;
        size_t translated;
    } rows[] = {
        { "service en_es, 1,023 chars", "en_es", LANGUAGE_SPANISH, text, {}, 0 },
        { "service en_fr, 1,023 chars", "en_fr", LANGUAGE_FRENCH, text, {}, 0 },
        { "service en_de, 1,023 chars", "en_de", LANGUAGE_GERMAN, text, {}, 0 },
        { "service en_de, one word", "en_de", LANGUAGE_GERMAN, "house", {}, 0 },
    };
    for (auto& row : rows)
        if (!measure(address, row.pair, row.target, row.text, row.ms, row.translated))
            return 1;
    double servedMb = withDictionaries.process > 0 ? residentMb(withDictionaries.process) : -1;
    stopService(withDictionaries);

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

    printf("%zu characters of English; translations of %zu (es), %zu (fr), %zu (de) bytes\n\n", text.size(),
        rows[0].translated, rows[1].translated, rows[2].translated);
    // The first request of a row meets the dictionary's chunk cache cold.
    printf("| %-28s | %5s | %8s | %10s | %11s |\n", "way", "runs", "first ms", "median ms", "95th pct ms");
    printf("|------------------------------|-------|----------|------------|-------------|\n");
    for (auto& row : rows)
        printf("| %-28s | %5d | %8.1f | %10.1f | %11.1f |\n", row.name, SERVICE_ROUNDS, row.ms[0],
            percentile(row.ms, 0.5), percentile(row.ms, 0.95));
    double processMedian = percentile(processMs, 0.5);
    printf("| %-28s | %5d | %8.1f | %10.1f | %11.1f |\n", "apertium eng-spa process", PROCESS_ROUNDS, processMs[0],
        processMedian, percentile(processMs, 0.95));
    if (withDictionaries.process > 0) {
        printf("\n| %-28s | %8s | %14s | %16s |\n", "service start", "start ms", "resident MB", "after the runs MB");
        printf("|------------------------------|----------|----------------|------------------|\n");
        printf("| %-28s | %8.0f | %14.1f | %16s |\n", "without dictionaries", withoutDictionaries.startMs,
            withoutDictionaries.residentMb, "");
        printf("| %-28s | %8.0f | %14.1f | %16.1f |\n", "with dictionaries", withDictionaries.startMs,
            withDictionaries.residentMb, servedMb);
    }
    double serviceMedian = percentile(rows[0].ms, 0.5);
    printf("\nservice median / process median (en_es) = %.3f (goal: under 0.1)\n", serviceMedian / processMedian);
    return serviceMedian < processMedian / 10 ? 0 : 1;
}
