// The service as a process: real translations over TCP, bad clients, and
// many clients at once.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include "bytes.h"
#include "pageExtraction.h"
#include "serviceProcess.h"

namespace {

const int REQUEST_TIMEOUT_MS = 1500;

// The service started once for these tests on a free port, ended at exit.
struct RunningService {
    pid_t process = 0;
    int port = 0;

    RunningService()
    {
        std::string timeout = std::to_string(REQUEST_TIMEOUT_MS);
        const char* options[] = { "--request-timeout-ms", timeout.c_str(), 0 };
        process = startServiceProcess(options, false, &port);
    }
    ~RunningService()
    {
        if (process > 0) {
            kill(process, SIGTERM);
            waitpid(process, 0, 0);
        }
    }
};

RunningService& service()
{
    static RunningService running;
    REQUIRE_MESSAGE(running.port > 0, "the service did not start");
    return running;
}

int connectToService()
{
    // The service is started first, so that it inherits no client socket.
    int port = service().port;
    int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval patience = { 20, 0 };
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (connect(client, (sockaddr*)&address, sizeof address) != 0) {
        close(client);
        return -1;
    }
    return client;
}

// Everything the service sends until it closes the connection.
std::string readAnswer(int client)
{
    std::string answer;
    char chunk[4096];
    ssize_t count;
    while ((count = recv(client, chunk, sizeof chunk, 0)) > 0)
        answer.append(chunk, (size_t)count);
    close(client);
    return answer;
}

std::string ask(const std::string& request)
{
    int client = connectToService();
    if (client < 0)
        return "no connection";
    send(client, request.data(), request.size(), MSG_NOSIGNAL);
    return readAnswer(client);
}

std::string translateRequest(const std::string& encodedText, const std::string& pair)
{
    return "GET /cgi-bin/translate?doit=done&urltext=" + encodedText + "&lp=" + pair + " HTTP/1.0\n\n";
}

std::string statusLine(const std::string& answer)
{
    return answer.substr(0, answer.find("\r\n"));
}

// The body is as long as the answer says.
bool complete(const std::string& answer)
{
    size_t headerEnd = answer.find("\r\n\r\n");
    size_t lengthAt = answer.find("Content-Length: ");
    if (headerEnd == std::string::npos || lengthAt == std::string::npos)
        return false;
    return std::stoul(answer.substr(lengthAt + 16)) == answer.size() - headerEnd - 4;
}

}  // namespace

TEST_CASE("every offered pair translates known words through the service")
{
    EngineBuffers buffers;
    struct {
        const char* pair;
        const char* text;
        const char* translation;
    } cases[] = {
        { "en_es", "The+house", "La casa\r\n" },
        { "es_en", "La+casa", "The house\r\n" },
        { "en_fr", "The+house", "La maison\r\n" },
        { "fr_en", "La+maison", "The house\r\n" },
        { "en_it", "The+house", "La casa\r\n" },
        { "it_en", "La+casa", "The house\r\n" },
        { "en_pt", "The+house", "A casa\r\n" },
        { "pt_en", "A+casa", "The house\r\n" },
        { "en_es", "The+house.%0D%0AThe+dog.", "La casa.\r\nEl perro.\r\n" },
        { "es_en", "El+ni%F1o", "The boy\r\n" },
        { "en_es", "", "" },
    };
    for (auto& c : cases) {
        CAPTURE(c.pair);
        CAPTURE(c.text);
        std::string answer = ask(translateRequest(c.text, c.pair));
        CHECK_EQ(statusLine(answer), "HTTP/1.0 200 OK");
        CHECK(complete(answer));
        Language target = LanguagePairs[0].target;
        for (const LanguagePair& row : LanguagePairs)
            if (std::string(row.code) == c.pair)
                target = row.target;
        CHECK_EQ(Bytes(extractFromPage(target, answer)), Bytes(c.translation));
    }
}

TEST_CASE("German comes from the installed dictionaries, and a word's senses follow Apertium's")
{
    EngineBuffers buffers;
    struct {
        const char* pair;
        const char* text;
        Language target;
        const char* part;
    } cases[] = {
        { "en_de", "house", LANGUAGE_GERMAN, "Haus\r\n" },
        { "en_de", "Good+morning%21", LANGUAGE_GERMAN, "Guten Morgen" },
        { "de_en", "Haus", LANGUAGE_ENGLISH, "house\r\n" },
        { "en_de", "The+house+is+old.+The+dog+sleeps.", LANGUAGE_GERMAN, "Haus" },
        { "en_fr", "good", LANGUAGE_FRENCH, "\r\n\r\nint\xE9r\xEAt\r\n" },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.text));
        std::string shown = extractFromPage(c.target, ask(translateRequest(c.text, c.pair)));
        CHECK_MESSAGE(shown.find(c.part) != std::string::npos, Bytes(shown));
    }
}

TEST_CASE("bad requests get an error page with a reason")
{
    struct {
        const char* name;
        std::string request;
        const char* status;
        const char* reasonPart;
    } cases[] = {
        { "unknown path", "GET /index.html HTTP/1.0\n\n", "HTTP/1.0 404 Not Found", "no page" },
        { "unknown pair", translateRequest("a", "fr_de"), "HTTP/1.0 400 Bad Request", "no language pair" },
        { "oversized", "GET /cgi-bin/translate?urltext=" + std::string(5000, 'a') + "&lp=en_es HTTP/1.0\n\n",
          "HTTP/1.0 413 Request Entity Too Large", "longer than" },
        { "junk", std::string("\x16\x03\x01\x00\xA5\x01\x00\x00\xA1\x03\x03\n\n", 13), "HTTP/1.0 400 Bad Request", "control bytes" },
        { "closed before a line", "GET /cgi", "HTTP/1.0 400 Bad Request", "ended before" },
    };
    for (auto& c : cases) {
        CAPTURE(c.name);
        int client = connectToService();
        REQUIRE(client >= 0);
        send(client, c.request.data(), c.request.size(), MSG_NOSIGNAL);
        shutdown(client, SHUT_WR);
        std::string answer = readAnswer(client);
        CHECK_EQ(statusLine(answer), c.status);
        CHECK(complete(answer));
        CHECK_MESSAGE(answer.find(c.reasonPart) != std::string::npos, Bytes(answer));
    }
}

TEST_CASE("silent and endless clients time out without stalling the others")
{
    EngineBuffers buffers;
    auto started = std::chrono::steady_clock::now();
    int silent = connectToService();
    int endless = connectToService();
    int hangsUp = connectToService();
    REQUIRE(silent >= 0);
    REQUIRE(endless >= 0);
    REQUIRE(hangsUp >= 0);
    close(hangsUp);
    std::string partLine = "GET /cgi-bin/translate?urltext=The+house+and+the+garden";
    send(endless, partLine.data(), partLine.size(), MSG_NOSIGNAL);

    for (int i = 0; i < 5; ++i) {
        std::string answer = ask(translateRequest("The+house", "en_es"));
        CHECK_EQ(Bytes(extractFromPage(LANGUAGE_SPANISH, answer)), Bytes("La casa\r\n"));
    }
    auto others = std::chrono::steady_clock::now() - started;
    CHECK(others < std::chrono::milliseconds(REQUEST_TIMEOUT_MS));

    for (int client : { silent, endless }) {
        std::string answer = readAnswer(client);
        CHECK_EQ(statusLine(answer), "HTTP/1.0 408 Request Timeout");
        CHECK(answer.find("No whole request") != std::string::npos);
    }
    auto waited = std::chrono::steady_clock::now() - started;
    CHECK(waited >= std::chrono::milliseconds(REQUEST_TIMEOUT_MS));
    CHECK(waited < std::chrono::milliseconds(REQUEST_TIMEOUT_MS + 3000));
}

TEST_CASE("twenty clients at once all get their whole translation")
{
    EngineBuffers buffers;
    const int clients = 20;
    std::vector<std::string> answers(clients);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([i, &answers] {
            answers[i] = ask(translateRequest("I+have+" + std::to_string(100 + i) + "+dogs.", i % 2 ? "en_es" : "en_fr"));
        });
    for (auto& thread : threads)
        thread.join();
    for (int i = 0; i < clients; ++i) {
        CAPTURE(i);
        CHECK_EQ(statusLine(answers[i]), "HTTP/1.0 200 OK");
        CHECK(complete(answers[i]));
        std::string translation = extractFromPage(i % 2 ? LANGUAGE_SPANISH : LANGUAGE_FRENCH, answers[i]);
        CHECK_MESSAGE(translation.find(std::to_string(100 + i)) != std::string::npos, Bytes(translation));
    }
}

TEST_CASE("a client past the connection limit gets the whole refusal page")
{
    EngineBuffers buffers;
    const int SERVICE_CLIENT_LIMIT = 256;
    std::vector<int> silent;
    for (int i = 0; i < SERVICE_CLIENT_LIMIT; ++i)
        silent.push_back(connectToService());
    CHECK_EQ(std::count(silent.begin(), silent.end(), -1), 0);

    int refused = connectToService();
    REQUIRE(refused >= 0);
    std::string request = translateRequest("The+house", "en_es"), answer;
    send(refused, request.data(), request.size(), MSG_NOSIGNAL);
    char chunk[4096];
    ssize_t count;
    while ((count = recv(refused, chunk, sizeof chunk, 0)) > 0)
        answer.append(chunk, (size_t)count);
    // A reset instead of an orderly end can cost the client the page.
    CHECK_EQ(std::string(count == 0 ? "orderly end" : strerror(errno)), "orderly end");
    close(refused);
    CHECK_EQ(statusLine(answer), "HTTP/1.0 503 Service Unavailable");
    CHECK(complete(answer));
    CHECK_MESSAGE(answer.find("too many clients") != std::string::npos, Bytes(answer));
    for (int client : silent)
        if (client >= 0)
            close(client);

    // The silent clients' places come free at once.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::string again;
    do
        again = ask(translateRequest("The+house", "en_es"));
    while (statusLine(again) != "HTTP/1.0 200 OK" && std::chrono::steady_clock::now() < deadline);
    CHECK_EQ(Bytes(extractFromPage(LANGUAGE_SPANISH, again)), Bytes("La casa\r\n"));
}
