// Times what a user waits for: Quorv.exe's start until its window shows,
// next to Wine's notepad, and Translate until the result box is filled,
// against a test server that answers at once, next to the least that the
// same exchange costs under Wine: a plain Winsock client that connects,
// sends the same request and reads to the end, and a thread start. Runs
// under Wine, in a network namespace of its own (port 80).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include <winsock2.h>
#include "testServer.h"

namespace {

double now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findShownWindow(HWND window, LPARAM parameter)
{
    Search* search = (Search*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Starts a program and returns the milliseconds until its window shows.
double timeToWindow(const std::string& path, HWND* window, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    double start = now();
    if (!CreateProcessA(path.c_str(), 0, 0, 0, FALSE, 0, 0, 0, &startup, process))
        return -1;
    Search search = { process->dwProcessId, 0 };
    while (!search.found) {
        EnumWindows(findShownWindow, (LPARAM)&search);
        if (!search.found)
            Sleep(0);
    }
    *window = search.found;
    return now() - start;
}

void closeProgram(HWND window, PROCESS_INFORMATION* process)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process->hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process->hProcess, 0);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}

double medianStart(const std::string& path, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        HWND window;
        PROCESS_INFORMATION process;
        times.push_back(timeToWindow(path, &window, &process));
        closeProgram(window, &process);
    }
    return median(times);
}

std::string besideThis(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    lstrcpyA(strrchr(path, '\\') + 1, name);
    return path;
}

const char request[] = "GET /cgi-bin/translate?doit=done&urltext=The+quick+brown+fox+jumps+over+the+lazy+dog%2E"
                       "&lp=en_fr HTTP/1.0\n\n";
const std::string page = "HTTP/1.0 200 OK\r\n\r\n<p><b>En Fran\xE7" "ais:</b><br>\nLe renard brun saute.<br>\n"
                         "Use the above text to search the Web</p>";

// The exchange alone: connect, send, read until the server closes.
double timePlainExchange()
{
    static char reply[65535];
    scriptTestServer({ SERVER_REPLY, page, 0 });
    double start = now();
    SOCKET connection = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(80);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(connection, (sockaddr*)&address, sizeof address);
    send(connection, request, sizeof request - 1, 0);
    int received = 0;
    int count;
    while ((count = recv(connection, reply + received, sizeof reply - 1 - received, 0)) > 0)
        received += count;
    closesocket(connection);
    double time = now() - start;
    receivedRequest();
    return time;
}

DWORD WINAPI doNothing(void*)
{
    return 0;
}

// A thread started and seen to its end.
double timeThreadStart()
{
    double start = now();
    HANDLE thread = CreateThread(0, 0, doNothing, 0, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return now() - start;
}

std::string resultText(HWND window)
{
    char text[256] = "";
    SendMessageA(GetDlgItem(window, 1002), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 7;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    // Warm both up once: the first start of any program loads Wine itself.
    medianStart(besideThis("Quorv.exe"), 1);
    medianStart(std::string(windows) + "\\notepad.exe", 1);
    double quorvStart = medianStart(besideThis("Quorv.exe"), runs);
    double notepadStart = medianStart(std::string(windows) + "\\notepad.exe", runs);
    printf("| start to window shown | Quorv.exe %7.1f ms | notepad.exe %7.1f ms | ratio %.2f |\n", quorvStart,
           notepadStart, quorvStart / notepadStart);

    if (!startTestServer()) {
        fprintf(stderr, "cannot listen on 127.0.0.1 port 80\n");
        return 1;
    }
    HWND window;
    PROCESS_INFORMATION process;
    timeToWindow(besideThis("Quorv.exe"), &window, &process);
    HWND input = GetDlgItem(window, 1006);
    SendMessageA(input, EM_REPLACESEL, TRUE, (LPARAM) "The quick brown fox jumps over the lazy dog.");
    std::vector<double> times, exchanges, threads;
    for (int i = 0; i < runs * 5; ++i) {
        exchanges.push_back(timePlainExchange());
        threads.push_back(timeThreadStart());
        scriptTestServer({ SERVER_REPLY, page, 0 });
        SetDlgItemTextA(window, 1002, "");
        double start = now();
        PostMessageA(GetDlgItem(window, 1005), BM_CLICK, 0, 0);
        while (resultText(window).empty())
            Sleep(0);
        times.push_back(now() - start);
        receivedRequest();
    }
    closeProgram(window, &process);
    stopTestServer();
    double floor = median(exchanges) + median(threads);
    printf("| Translate to result  | Quorv.exe %7.2f ms | Winsock client %.2f ms + thread start %.2f ms = %.2f ms "
           "| ratio %.1f |\n",
           median(times), median(exchanges), median(threads), floor, median(times) / floor);
    // On a busy machine the best runs show the cost without waiting for a processor.
    double bestFloor = best(exchanges) + best(threads);
    printf("| best of %d runs       | Quorv.exe %7.2f ms | Winsock client %.2f ms + thread start %.2f ms = %.2f ms "
           "| ratio %.1f |\n",
           (int)times.size(), best(times), best(exchanges), best(threads), bestFloor, best(times) / bestFloor);
    fflush(stdout);
    return 0;
}
