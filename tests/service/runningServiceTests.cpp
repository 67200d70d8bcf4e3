// The service as a process: real translations over TCP, and clients that
// are slow, many or too many.
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include "bytes.h"
#include "pageExtraction.h"
#include "serviceProcess.h"

namespace {

const int REQUEST_TIMEOUT_MS = 1500;

// The service started once for these tests on a free port, its log in a
// file of its own, ended at exit.
struct RunningService {
    pid_t process = 0;
    int port = 0;
    char log[32] = "/tmp/quorvel-service-XXXXXX";

    RunningService()
    {
        std::string timeout = std::to_string(REQUEST_TIMEOUT_MS);
        const char* options[] = { "--request-timeout-ms", timeout.c_str(), 0 };
        int logFile = mkstemp(log), standardError = dup(2);
        dup2(logFile, 2);
        process = startServiceProcess(options, false, &port);
        dup2(standardError, 2);
        close(standardError);
        close(logFile);
    }
    ~RunningService()
    {
        if (process > 0) {
            kill(process, SIGTERM);
            waitpid(process, 0, 0);
        }
        unlink(log);
    }
};

RunningService& service()
{
    static RunningService running;
    REQUIRE_MESSAGE(running.port > 0, "the service did not start");
    return running;
}

// port 0: the service started for these tests.
int connectToService(int port = 0)
{
    // The service is started first, so that it inherits no client socket.
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)(port ? port : service().port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval patience = { 20, 0 };
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (connect(client, (sockaddr*)&address, sizeof address) == 0)
        return client;
    close(client);
    return -1;
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
    send(client, request.data(), request.size(), MSG_NOSIGNAL);
    return client < 0 ? "no connection" : readAnswer(client);
}

std::string translateRequest(const std::string& encodedText, const std::string& pair)
{
    return "GET /cgi-bin/translate?doit=done&urltext=" + encodedText + "&lp=" + pair + " HTTP/1.0\n\n";
}

// The status line of a whole answer, one whose body is as long as it says.
std::string status(const std::string& answer)
{
    size_t headerEnd = answer.find("\r\n\r\n"), lengthAt = answer.find("Content-Length: ");
    if (headerEnd == std::string::npos || lengthAt > headerEnd
        || std::stoul(answer.substr(lengthAt + 16)) != answer.size() - headerEnd - 4)
        return "incomplete: " + answer;
    return answer.substr(0, answer.find("\r\n"));
}

}  // namespace

TEST_CASE("every offered pair translates known words through the service, German from the dictionary")
{
    TextLogicBuffers buffers;
    struct {
        const char* pair;
        const char* text;
        Language target;
        const char* translation;
        bool whole = true;
    } cases[] = {
        { "en_es", "The+house.%0D%0AThe+dog.", LANGUAGE_SPANISH, "La casa.\r\nEl perro.\r\n" },
        { "es_en", "El+ni%F1o", LANGUAGE_ENGLISH, "The boy\r\n" },
        { "en_fr", "The+house", LANGUAGE_FRENCH, "La maison\r\n" },
        { "fr_en", "La+maison", LANGUAGE_ENGLISH, "The house\r\n" },
        { "en_it", "The+house", LANGUAGE_ITALIAN, "La casa\r\n" },
        { "it_en", "La+casa", LANGUAGE_ENGLISH, "The house\r\n" },
        { "en_pt", "The+house", LANGUAGE_PORTUGUESE, "A casa\r\n" },
        { "pt_en", "A+casa", LANGUAGE_ENGLISH, "The house\r\n" },
        // German comes from the dictionary, and a single word's senses
        // follow Apertium's translation.
        { "en_de", "house", LANGUAGE_GERMAN, "Haus\r\n", false },
        { "en_de", "Good+morning%21", LANGUAGE_GERMAN, "Guten Morgen", false },
        { "de_en", "Haus", LANGUAGE_ENGLISH, "house\r\n", false },
        { "en_de", "The+house+is+old.+The+dog+sleeps.", LANGUAGE_GERMAN, "Haus", false },
        { "en_fr", "good", LANGUAGE_FRENCH, "\r\nint\xE9r\xEAt\r\n", false },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.pair) + " " + c.text);
        std::string answer = ask(translateRequest(c.text, c.pair));
        CHECK_EQ(status(answer), "HTTP/1.0 200 OK");
        std::string shown = extractFromPage(c.target, answer);
        if (c.whole)
            CHECK_EQ(Bytes(shown), Bytes(c.translation));
        else
            CHECK_MESSAGE(shown.find(c.translation) != std::string::npos, Bytes(shown));
    }
    CHECK_EQ(status(ask(translateRequest(std::string(5000, 'a'), "en_es"))), "HTTP/1.0 413 Request Entity Too Large");
    std::string noPair = ask(translateRequest("a", "%3Cb%3E%26"));
    CHECK_MESSAGE((status(noPair) == "HTTP/1.0 400 Bad Request" && noPair.find("\"&lt;b&gt;&amp;\"") != std::string::npos), noPair);
}

TEST_CASE("German follows the grammar's rules, and a word Apertium does not know is looked up or kept")
{
    TextLogicBuffers buffers;
    struct {
        const char* pair;
        const char* text;
        const char* rendering;  // past the dictionary's note
    } cases[] = {
        { "en_de", "There+is+a+dog+in+the+garden.", "Es gibt einen Hund im Garten." },  // article, case, "es gibt"
        { "en_de", "The+children+play+in+the+garden.", "Die Kinder spielen im Garten." },  // plural subject
        { "en_de", "I+would+like+to+read+a+book.", "Ich m\xF6" "chte ein Buch lesen." },  // infinitive last
        { "en_de", "Today+I+drink+tea.", "Heute trinke ich Tee." },                       // verb second
        { "en_de", "We+have+eaten+the+bread.", "Wir haben das Brot gegessen." },          // irregular participle
        { "en_de", "The+xyzzy+is+old.", "Das xyzzy ist alt." },                           // unknown, kept
        { "de_en", "Ich+m%F6chte+ein+Buch+lesen.", "I would like to read a book." },
        { "de_en", "Der+Zug+f%E4hrt+um+acht+ab.", "The train leaves at eight." },         // irregular, prefix joined
        { "de_en", "Die+N%E4chte+sind+kalt.", "The nights are cold." },                  // plural's lemma
        { "en_es", "The+abscess+is+big.", "El absceso es grande." },                     // unknown, from the dictionary
        { "en_es", "The+xyzzy+is+big.", "El xyzzy es grande." },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.pair) + " " + c.text);
        std::string target = std::string(c.pair).substr(3);
        Language language = target == "de" ? LANGUAGE_GERMAN : target == "en" ? LANGUAGE_ENGLISH : LANGUAGE_SPANISH;
        std::string shown = extractFromPage(language, ask(translateRequest(c.text, c.pair)));
        size_t note = shown.find(":\r\n");
        CHECK_EQ(Bytes(note == std::string::npos ? shown : shown.substr(note + 3)), Bytes(std::string(c.rendering) + "\r\n"));
    }
}

TEST_CASE("idle clients delay no one and are sent away, and those past the limit are refused and logged")
{
    auto started = std::chrono::steady_clock::now();
    std::vector<int> idle;
    // As many as the service takes at once.
    for (int i = 0; i < 1000; ++i) {
        idle.push_back(connectToService());
        if (i % 2)
            send(idle.back(), "GET /cgi-bin/translate?urltext=The", 34, MSG_NOSIGNAL);
    }
    for (int i = 0; i < 10; ++i)
        CHECK_EQ(status(ask(translateRequest("The+house", "en_es"))), "HTTP/1.0 503 Service Unavailable");
    for (; idle.size() > 300; idle.pop_back())
        close(idle.back());
    // The service sees the closes in its next round or two.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    // With 300 clients idle, a request is answered at once, and twenty at a
    // time each get their own answer.
    auto asked = std::chrono::steady_clock::now();
    CHECK_EQ(status(ask(translateRequest("The+house", "en_es"))), "HTTP/1.0 200 OK");
    CHECK(std::chrono::steady_clock::now() - asked < std::chrono::seconds(1));
    std::vector<std::string> answers(20);
    std::vector<std::thread> threads;
    for (int i = 0; i < 20; ++i)
        threads.emplace_back([i, &answers] {
            answers[i] = ask(translateRequest("I+have+" + std::to_string(100 + i) + "+dogs.", i % 2 ? "en_es" : "en_fr"));
        });
    for (auto& thread : threads)
        thread.join();
    for (int i = 0; i < 20; ++i) {
        CHECK_EQ(status(answers[i]), "HTTP/1.0 200 OK");
        CHECK_MESSAGE(answers[i].find(std::to_string(100 + i)) != std::string::npos, Bytes(answers[i]));
    }

    for (int client : idle)
        CHECK_EQ(status(readAnswer(client)), "HTTP/1.0 408 Request Timeout");
    CHECK(std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(REQUEST_TIMEOUT_MS));
    // The first refusal and time-out are logged at once, the others
    // together once a second has passed.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    std::stringstream log;
    log << std::ifstream(service().log).rdbuf();
    for (const char* counted : { "503 refused ", "408 sent to " }) {
        size_t lines = 0;
        for (size_t at = log.str().find(counted); at != std::string::npos; at = log.str().find(counted, at + 1))
            ++lines;
        CHECK_MESSAGE((lines >= 2 && lines <= 4), counted, log.str());
    }
    CHECK_MESSAGE(log.str().find("503 refused 1 connection:") != std::string::npos, log.str());
}

std::string serviceLog()
{
    std::stringstream log;
    log << std::ifstream(service().log).rdbuf();
    return log.str();
}

TEST_CASE("a health check reports each mode's pipelines and is not logged")
{
    std::string before = serviceLog(), health = ask("GET /health HTTP/1.0\n\n");
    CHECK_EQ(status(health), "HTTP/1.0 200 OK");
    CHECK_MESSAGE((health.find("\r\n\r\nhealthy\n") != std::string::npos && health.find("\ncat-fra* ready=") != std::string::npos), health);
    CHECK_EQ(serviceLog(), before);
}

TEST_CASE("answered clients that stay connected hold no worker, and requests past the workers wait for one")
{
    std::vector<int> holders;
    for (int i = 0; i < 64; ++i) {
        holders.push_back(connectToService());
        send(holders.back(), "GET /nothing HTTP/1.0\n\n", 23, MSG_NOSIGNAL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::vector<std::string> answers(80);
    std::vector<std::thread> threads;
    for (int i = 0; i < 80; ++i)
        threads.emplace_back([i, &answers] { answers[i] = ask(translateRequest("The+house", i % 2 ? "en_es" : "es_en")); });
    for (auto& thread : threads)
        thread.join();
    for (const std::string& answer : answers)
        CHECK_EQ(status(answer), "HTTP/1.0 200 OK");
    for (int holder : holders)
        close(holder);
}

// The live processes pgrep selects, as a list for another selection; an
// ended one waiting to be reaped does not count.
std::string livePids(const std::string& selection)
{
    std::string pids;
    FILE* found = popen(("pgrep -d, -r R,S,D,T " + selection).c_str(), "r");
    for (int c; (c = fgetc(found)) != EOF && c != '\n';)
        pids += (char)c;
    pclose(found);
    return pids;
}

TEST_CASE("a stop signal answers the requests held, refuses new ones and leaves no Apertium process")
{
    int port;
    const char* options[] = { "--pipelines", "1", 0 };
    pid_t stopping = startServiceProcess(options, true, &port);
    REQUIRE(port > 0);
    std::string groups = livePids("-P " + std::to_string(stopping));
    REQUIRE(!groups.empty());
    // English to French stalls in its first mode and gets a page saying so,
    // or its translation once the stalled pipeline has been replaced.
    int stalled = std::stoi(livePids("-P " + std::to_string(stopping) + " -f 'eng-cat -n'"));
    REQUIRE_EQ(kill(-stalled, SIGSTOP), 0);
    std::string text;
    while (text.size() < 990)
        text += "The+house+is+big.+";
    // Queued behind each other in one pipeline, they are in flight when the
    // signal comes.
    std::vector<int> clients;
    for (int i = 0; i < 6; ++i) {
        clients.push_back(connectToService(port));
        std::string request = translateRequest(text, i % 2 ? "en_fr" : "en_es");
        send(clients.back(), request.data(), request.size(), MSG_NOSIGNAL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(stopping, SIGTERM);
    for (size_t i = 0; i < clients.size(); ++i) {
        std::string answer = readAnswer(clients[i]);
        CHECK_MESSAGE((answer.find(i % 2 ? "Please try again" : "casa") != std::string::npos
            || (i % 2 && answer.find("maison") != std::string::npos)), answer);
        CHECK_NE(status(answer).substr(0, 10), "incomplete");
    }
    int exitStatus = -1;
    REQUIRE_EQ(waitpid(stopping, &exitStatus, 0), stopping);
    CHECK_EQ(exitStatus, 0);
    CHECK_EQ(connectToService(port), -1);
    // Killed stages may take a moment to end.
    std::string left;
    for (int wait = 0; wait < 100 && !(left = livePids("-g " + groups)).empty(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    CHECK_EQ(left, "");
}

TEST_CASE("a bad option is named on standard error with exit status 2; --help and --version exit 0")
{
    struct {
        const char* arguments;
        int status;
        const char* output;
    } cases[] = {
        { "--colour", 2, "unknown option --colour\nTry" },
        { "--port 80x", 2, "--port takes a number from 0 to 65535, not \"80x\"" },
        { "--port=65536", 2, "not \"65536\"" },
        { "--request-timeout-ms 0", 2, "--request-timeout-ms takes" },
        { "--address localhost", 2, "--address takes an IPv4 address" },
        { "--dictionaries", 2, "--dictionaries needs a value" },
        { "--port 0 stray", 2, "unexpected argument \"stray\"" },
        { "--help", 0, "usage: quorvel-service" },
        { "--version", 0, "quorvel-service 1." },
    };
    for (auto& c : cases) {
        CAPTURE(c.arguments);
        std::string output;
        FILE* run = popen((std::string(SERVICE_BINARY " ") + c.arguments + " 2>&1").c_str(), "r");
        for (int ch; (ch = fgetc(run)) != EOF;)
            output += (char)ch;
        CHECK_EQ(WEXITSTATUS(pclose(run)), c.status);
        CHECK_MESSAGE(output.find(c.output) != std::string::npos, output);
    }
}
