// Throughput and latency of the translation service with one and with two
// pipelines per mode, side by side: 1, 8 and 32 clients sending a short
// sentence or 1,023 characters, English to Spanish (one Apertium mode) and
// to French (two). Also each pool's start time and the memory of one
// pipeline of each mode. Usage: pool_bench [SECONDS-PER-CELL]
//
// pool_bench --check PORT DIRECT-PORT SECONDS CLIENTS sends the program's
// exact requests to PORT (a balancer) from CLIENTS clients for SECONDS and
// compares every answer's body with the one DIRECT-PORT gave at the start;
// it exits 1 when an answer was lost, empty or different.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <sys/wait.h>
#include "serviceClient.h"
#include "serviceProcess.h"

static const char ShortSentence[] = "The old house at the end of the street has a large garden.";

static std::string longText()
{
    std::string text;
    while (text.size() < 1023)
        text += "Every morning my neighbour walks her two dogs along the river before work. ";
    text.resize(1023);
    return text;
}

static std::string bodyOf(const std::string& page)
{
    size_t end = page.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : page.substr(end + 4);
}

struct Load {
    std::vector<double> ms;
    int failed = 0;
    double seconds = 0;
};

// Closed-loop clients, each sending the request again as soon as it has
// its answer, for the given time.
static Load runClients(int port, const std::string& request, int clients, double seconds)
{
    Load load;
    std::mutex merge;
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&] {
            std::vector<double> ms;
            int failed = 0;
            std::string page;
            sockaddr_in address = loopbackPort(port);
            while (msSince(start) < seconds * 1000) {
                auto sent = std::chrono::steady_clock::now();
                if (exchangeOnce(address, request, page) && page.compare(0, 12, "HTTP/1.0 200") == 0)
                    ms.push_back(msSince(sent));
                else
                    ++failed;
            }
            std::lock_guard<std::mutex> hold(merge);
            load.ms.insert(load.ms.end(), ms.begin(), ms.end());
            load.failed += failed;
        });
    for (std::thread& thread : threads)
        thread.join();
    load.seconds = msSince(start) / 1000;
    return load;
}

static int check(int port, int directPort, double seconds, int clients)
{
    std::vector<std::string> requests, bodies;
    for (const std::string& text : { std::string(ShortSentence), std::string("The house is big."), longText() }) {
        std::string page;
        requests.push_back(desktopRequest("en_es", LANGUAGE_SPANISH, text));
        if (!exchangeOnce(loopbackPort(directPort), requests.back(), page) || page.compare(0, 12, "HTTP/1.0 200")) {
            fprintf(stderr, "pool_bench: no direct answer from port %d\n", directPort);
            return 1;
        }
        bodies.push_back(bodyOf(page));
    }
    std::atomic<int> identical(0), empty(0), different(0), unconnected(0);
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&, i] {
            std::string page;
            for (size_t round = i; msSince(start) < seconds * 1000; ++round) {
                size_t which = round % requests.size();
                if (!exchangeOnce(loopbackPort(port), requests[which], page))
                    ++unconnected;
                else if (page.empty())
                    ++empty;
                else if (bodyOf(page) != bodies[which] || page.compare(0, 12, "HTTP/1.0 200"))
                    ++different;
                else
                    ++identical;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    printf("%d answers identical to the direct ones, %d empty, %d different, %d without a connection\n",
        identical.load(), empty.load(), different.load(), unconnected.load());
    return identical && !empty && !different && !unconnected ? 0 : 1;
}

struct Pool {
    int size;
    pid_t process;
    int port;
    double startMs;
};

static Pool startPool(int size)
{
    std::string count = std::to_string(size);
    const char* options[] = { "--pipelines", count.c_str(), 0 };
    Pool pool = { size, 0, 0, 0 };
    auto start = std::chrono::steady_clock::now();
    pool.process = startServiceProcess(options, true, &pool.port);
    pool.startMs = msSince(start);
    return pool;
}

int main(int argc, char** argv)
{
    if (argc == 6 && strcmp(argv[1], "--check") == 0)
        return check(atoi(argv[2]), atoi(argv[3]), atof(argv[4]), atoi(argv[5]));
    double seconds = argc == 2 ? atof(argv[1]) : 3;
    if (argc > 2 || seconds <= 0) {
        fprintf(stderr, "usage: pool_bench [SECONDS-PER-CELL] | pool_bench --check PORT DIRECT-PORT SECONDS CLIENTS\n");
        return 2;
    }
    // One after the other, so that each start has the machine to itself.
    Pool pools[2] = { startPool(1), startPool(2) };
    for (const Pool& pool : pools) {
        if (pool.port <= 0) {
            fprintf(stderr, "pool_bench: the service with %d pipelines per mode did not start\n", pool.size);
            return 1;
        }
    }
    std::string health;
    exchangeOnce(loopbackPort(pools[1].port), "GET /health HTTP/1.0\n\n", health);
    printf("Start: %.0f ms with 1 pipeline per mode, %.0f ms with 2.\n\nMemory per pipeline (PSS):\n\n", pools[0].startMs,
        pools[1].startMs);
    std::string report = bodyOf(health);
    for (size_t at = report.find('\n') + 1, end; (end = report.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = report.substr(at, end - at);
        printf("    %-8s %s\n", line.substr(0, line.find(' ')).c_str(), line.substr(line.rfind('=') + 1).c_str());
    }

    printf("\n| pair  | text      | clients | pool 1 req/s | median ms | p95 ms | pool 2 req/s | median ms | p95 ms "
           "| pool 2 / pool 1 |\n");
    printf("|-------|-----------|---------|--------------|-----------|--------|--------------|-----------|--------"
           "|-----------------|\n");
    struct {
        const char* pair;
        Language target;
    } pairs[] = { { "en_es", LANGUAGE_SPANISH }, { "en_fr", LANGUAGE_FRENCH } };
    int failed = 0;
    double goalRatio = 0;
    for (auto& pair : pairs) {
        for (const std::string& text : { std::string(ShortSentence), longText() }) {
            std::string request = desktopRequest(pair.pair, pair.target, text);
            for (int clients : { 1, 8, 32 }) {
                Load loads[2];
                for (int i = 0; i < 2; ++i)
                    loads[i] = runClients(pools[i].port, request, clients, seconds);
                double rates[2] = { loads[0].ms.size() / loads[0].seconds, loads[1].ms.size() / loads[1].seconds };
                printf("| %s | %-9s | %7d | %12.1f | %9.1f | %6.1f | %12.1f | %9.1f | %6.1f | %15.2f |\n", pair.pair,
                    text.size() < 100 ? "sentence" : "1,023 ch", clients, rates[0], percentile(loads[0].ms, 0.5),
                    percentile(loads[0].ms, 0.95), rates[1], percentile(loads[1].ms, 0.5),
                    percentile(loads[1].ms, 0.95), rates[1] / rates[0]);
                failed += loads[0].failed + loads[1].failed;
                if (clients == 8 && text.size() < 100 && !strcmp(pair.pair, "en_es"))
                    goalRatio = rates[1] / rates[0];
            }
        }
    }
    for (const Pool& pool : pools) {
        kill(pool.process, SIGTERM);
        waitpid(pool.process, 0, 0);
    }
    printf("\n%d requests failed. 8 clients, short sentences, en_es: pool 2 = %.2f x pool 1 (goal: 1.6 or more)\n",
        failed, goalRatio);
    return failed || goalRatio < 1.6;
}
