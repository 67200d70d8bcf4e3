// The same exchange as Quorv.exe's Translate, from a plain native socket
// client against a native server that answers at once: the floor that the
// program's time is measured against.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

static const std::string request = "GET /cgi-bin/translate?doit=done&urltext=The+quick+brown+fox+jumps+over+the+lazy+dog%2E"
                                   "&lp=en_fr HTTP/1.0\n\n";
static const std::string page = "HTTP/1.0 200 OK\r\n\r\n<p><b>En Fran\xE7" "ais:</b><br>\nLe renard brun saute.<br>\n"
                                 "Use the above text to search the Web</p>";

static void serve(int listener, int count)
{
    for (int i = 0; i < count; ++i) {
        int connection = accept(listener, 0, 0);
        std::string got;
        char chunk[4096];
        while (got.find("\n\n") == std::string::npos) {
            ssize_t n = recv(connection, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            got.append(chunk, n);
        }
        send(connection, page.data(), page.size(), 0);
        close(connection);
    }
}

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 35;
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, (sockaddr*)&address, sizeof address) || listen(listener, 8)
        || getsockname(listener, (sockaddr*)&address, &length))
        return 1;
    std::thread server(serve, listener, runs);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        int connection = socket(AF_INET, SOCK_STREAM, 0);
        connect(connection, (sockaddr*)&address, sizeof address);
        send(connection, request.data(), request.size(), 0);
        char buffer[65535];
        size_t received = 0;
        ssize_t n;
        while ((n = recv(connection, buffer + received, sizeof buffer - 1 - received, 0)) > 0)
            received += n;
        close(connection);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    server.join();
    std::sort(times.begin(), times.end());
    printf("%.3f\n", times[times.size() / 2]);
    return 0;
}
