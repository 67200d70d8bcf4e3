// Apertium pipelines whose stages die, stall or answer out of step.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <sys/ioctl.h>
#include "bytes.h"
#include "runningPipelines.h"

// Bytes that wait in the pipe of a process's standard input.
static int waitingInput(int pid)
{
    int input = open(("/proc/" + std::to_string(pid) + "/fd/0").c_str(), O_RDONLY | O_NONBLOCK), count = 0;
    ioctl(input, FIONREAD, &count);
    close(input);
    return count;
}

TEST_CASE("an answer out of step is never taken for the next request's")
{
    REQUIRE(pipelinesReady());
    // A zero byte inside a chunk makes the pipeline answer twice for it.
    std::vector<std::string> chunk(1, std::string("The dog[]\0The cat[]", 19)), answer;
    runApertiumMode("eng-spa*", chunk, answer);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CHECK_EQ(Bytes(translated("en_es", "The house")), Bytes("La casa"));
}

TEST_CASE("a stage that dies amid a request is replaced and the text sent again, one that stalls is not")
{
    REQUIRE(pipelinesReady());
    // A late stage's death ends no output: the shell keeps it open. A
    // request takes the first free pipeline, and is sent to the second.
    for (const char* selection : { "-x lrx-proc", "-n" }) {
        CAPTURE(selection);
        int stage = stageProcess("eng-spa*", 0, selection);
        REQUIRE(stage > 0);
        REQUIRE_EQ(kill(stage, SIGSTOP), 0);
        std::string translation;
        std::thread request([&] { translation = translated("en_es", "The house is big."); });
        for (int wait = 0; wait < 300 && !waitingInput(stage); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        CHECK(waitingInput(stage));
        kill(stage, SIGKILL);
        request.join();
        CHECK_EQ(Bytes(translation), Bytes("La casa es grande."));
    }

    // A stalled text is not sent again: it might stall the new pipeline too.
    int stuck[2] = { apertiumPipelineProcess("eng-cat", 0), apertiumPipelineProcess("eng-cat", 1) };
    for (int group : stuck)
        REQUIRE_EQ(kill(-group, SIGSTOP), 0);
    auto started = std::chrono::steady_clock::now();
    translated("en_it", "The house", TRANSLATION_FAILED);
    CHECK(std::chrono::steady_clock::now() - started < std::chrono::milliseconds(ANSWER_TIMEOUT_MS * 3 / 2));
    for (int group : stuck)
        kill(-group, SIGKILL);
    CHECK_EQ(Bytes(translated("en_it", "The house")), Bytes("La casa"));
}

TEST_CASE("the pipeline's stages get no ignored SIGPIPE and no stray descriptor")
{
    REQUIRE(pipelinesReady());
    std::string shell = "/proc/" + std::to_string(apertiumPipelineProcess("pt-es")), line;
    std::error_code error;
    std::ifstream status(shell + "/status");
    while (std::getline(status, line))
        if (line.compare(0, 7, "SigIgn:") == 0)
            CHECK_EQ(std::stoull(line.substr(7), 0, 16) >> (SIGPIPE - 1) & 1, 0u);
    // Past the pipes on 0 and 1 and /dev/null on 2, only what the tests
    // themselves inherited.
    std::string stray;
    for (auto& entry : std::filesystem::directory_iterator(shell + "/fd", error))
        if (atoi(entry.path().filename().c_str()) > 2 && read_symlink(entry, error)
            != read_symlink("/proc/self/fd" / entry.path().filename(), error))
            stray += read_symlink(entry, error).string() + " ";
    CHECK_EQ(stray, "");
}

TEST_CASE("past its queue's bound a request is turned away at once")
{
    REQUIRE(pipelinesReady());
    int stuck[2] = { apertiumPipelineProcess("pt-es", 0), apertiumPipelineProcess("pt-es", 1) };
    for (int group : stuck)
        REQUIRE_EQ(kill(-group, SIGSTOP), 0);
    // Two take the stalled pipelines and 128 wait for them.
    std::atomic<int> turnedAway(0);
    std::vector<std::thread> requests;
    for (int i = 0; i < 140; ++i)
        requests.emplace_back([&turnedAway] {
            std::vector<std::string> answers;
            auto asked = std::chrono::steady_clock::now();
            if (runApertiumMode("pt-es", std::vector<std::string>(1, "a[]"), answers) == PIPELINE_BUSY
                && std::chrono::steady_clock::now() - asked < std::chrono::seconds(1))
                ++turnedAway;
        });
    for (std::thread& request : requests)
        request.join();
    CHECK_GE(turnedAway.load(), 10);
    for (int group : stuck)
        kill(-group, SIGKILL);
}
