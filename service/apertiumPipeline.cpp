#include "apertiumPipeline.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include "monotonicClock.h"
#include "serviceLog.h"

struct ApertiumPipeline {
    const char* mode;
    std::string script;
    std::timed_mutex busy;
    pid_t process;
    int input;
    int output;
};

static const char ModeFolder[] = "/usr/share/apertium/modes/";
// MODE_LIMIT: more modes than the routes use.
enum { MODE_LIMIT = 16 };

// The first answers wait for the dictionaries to load, which on a busy
// machine takes much longer than a translation.
enum { START_TIMEOUT_MS = 60000 };

struct ModePackage {
    const char* mode;
    const char* package;
};

// Generated from the list of the service's runtime packages.
static const ModePackage ModePackages[] = {
#include "modePackages.inc"
};

static ApertiumPipeline pipelines[MODE_LIMIT];
static int pipelineCount;
static int answerTimeoutMs;

// "eng-spa:3" and "spa-eng*" are the modes eng-spa and spa-eng.
static std::string modeFile(const char* mode)
{
    return std::string(mode, strcspn(mode, ":*"));
}

static const char* packageOf(const char* mode)
{
    for (const ModePackage& row : ModePackages)
        if (modeFile(mode) == row.mode)
            return row.package;
    return 0;
}

// The mode's pipeline with every stage in null-flush mode, as Apertium's own
// wrapper builds it. "eng-spa:3" runs only the mode's first three stages.
static int loadScript(ApertiumPipeline& pipeline)
{
    const char* colon = strchr(pipeline.mode, ':');
    int stages = colon ? atoi(colon + 1) : 0;
    std::string path = std::string(ModeFolder) + modeFile(pipeline.mode) + ".mode";
    if (access(path.c_str(), R_OK) != 0) {
        logLine(LEVEL_ERROR, pipeline.mode, "not installed: %s is missing (package %s)", path.c_str(),
            packageOf(pipeline.mode));
        return 0;
    }
    std::string command = "apertium-wblank-mode -z '" + path + "' 2>/dev/null";
    FILE* tool = popen(command.c_str(), "r");
    if (!tool)
        return 0;
    char chunk[4096];
    size_t count;
    pipeline.script.clear();
    while ((count = fread(chunk, 1, sizeof chunk, tool)) > 0)
        pipeline.script.append(chunk, count);
    if (pclose(tool) != 0 || pipeline.script.find('|') == std::string::npos) {
        logLine(LEVEL_ERROR, pipeline.mode, "apertium-wblank-mode gives no null-flush pipeline");
        return 0;
    }
    for (size_t at = 0; stages > 0 && at != std::string::npos; --stages)
        if ((at = pipeline.script.find(" | ", at + 1)) != std::string::npos && stages == 1)
            pipeline.script.resize(at);
    // Stages read UTF-8 whatever the service's own locale is.
    pipeline.script = "export LC_ALL=C.UTF-8; " + pipeline.script;
    return 1;
}

static void stopProcess(ApertiumPipeline& pipeline)
{
    if (!pipeline.process)
        return;
    kill(-pipeline.process, SIGKILL);
    waitpid(pipeline.process, 0, 0);
    close(pipeline.input);
    close(pipeline.output);
    pipeline.process = 0;
}

static int startProcess(ApertiumPipeline& pipeline)
{
    int toPipeline[2], fromPipeline[2];
    if (pipe2(toPipeline, O_CLOEXEC) != 0)
        return 0;
    if (pipe2(fromPipeline, O_CLOEXEC) != 0) {
        close(toPipeline[0]);
        close(toPipeline[1]);
        return 0;
    }
    pid_t child = fork();
    if (child == 0) {
        // Its own process group, so that a restart ends every stage.
        setpgid(0, 0);
        // The service ignores SIGPIPE; the stages must not, or a stage whose
        // reader has died would not end with it.
        signal(SIGPIPE, SIG_DFL);
        int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        dup2(toPipeline[0], 0);
        dup2(fromPipeline[1], 1);
        if (quiet >= 0)
            dup2(quiet, 2);
        // $1 is the generator's option: -n writes unknown words without
        // marks, -g (a mode named "spa-eng*") with them.
        const char* generator = pipeline.mode[strlen(pipeline.mode) - 1] == '*' ? "-g" : "-n";
        execl("/bin/bash", "bash", "-c", pipeline.script.c_str(), pipeline.mode, generator, "", (char*)0);
        _exit(127);
    }
    close(toPipeline[0]);
    close(fromPipeline[1]);
    if (child < 0) {
        close(toPipeline[1]);
        close(fromPipeline[0]);
        return 0;
    }
    setpgid(child, child);
    pipeline.process = child;
    pipeline.input = toPipeline[1];
    pipeline.output = fromPipeline[0];
    fcntl(pipeline.input, F_SETFL, O_NONBLOCK);
    fcntl(pipeline.output, F_SETFL, O_NONBLOCK);
    return 1;
}

// Follows every request's chunks. A stage that dies makes each stage after
// it write a zero byte as its input ends, which looks like answers: only
// the probe coming back whole shows that every chunk went through every
// stage.
static const char Probe[] = "[quorvel-probe]";

enum ExchangeResult { EXCHANGED, BROKEN, STALLED };

// Writes every chunk with its zero byte, then the probe, while reading the
// answers, each ended by a zero byte, as they come.
static ExchangeResult exchange(ApertiumPipeline& pipeline, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers, long long deadline)
{
    std::string input;
    for (const std::string& chunk : chunks)
        input.append(chunk.c_str(), chunk.size() + 1);
    input.append(Probe, sizeof Probe);
    size_t written = 0;
    answers.assign(1, std::string());
    while (answers.size() <= chunks.size() + 1) {
        long long left = deadline - nowMs();
        pollfd entries[2] = { { pipeline.output, POLLIN, 0 }, { pipeline.input, POLLOUT, 0 } };
        int watched = written < input.size() ? 2 : 1;
        int ready = left > 0 ? poll(entries, watched, (int)left) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return STALLED;
        if (ready < 0)
            return BROKEN;
        if (watched == 2 && entries[1].revents) {
            ssize_t count = write(pipeline.input, input.data() + written, input.size() - written);
            if (count < 0 && errno != EAGAIN && errno != EINTR)
                return BROKEN;
            if (count > 0)
                written += (size_t)count;
        }
        if (!entries[0].revents)
            continue;
        char bytes[4096];
        ssize_t count = read(pipeline.output, bytes, sizeof bytes);
        if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR))
            return BROKEN;
        for (ssize_t i = 0; i < count; ++i) {
            if (bytes[i])
                answers.back() += bytes[i];
            else
                answers.emplace_back();
        }
    }
    // One answer per chunk, the probe's, and nothing after its zero, or the
    // pipeline is out of step.
    int inStep = answers.size() == chunks.size() + 2 && answers[chunks.size()] == Probe && answers.back().empty();
    answers.resize(chunks.size());
    return inStep ? EXCHANGED : BROKEN;
}

// Output waiting before anything was sent belongs to no request of ours, and
// an ended output means the pipeline has died.
static int outputQuiet(ApertiumPipeline& pipeline)
{
    char byte;
    ssize_t count;
    do
        count = read(pipeline.output, &byte, 1);
    while (count < 0 && errno == EINTR);
    return count < 0 && errno == EAGAIN;
}

// One deadline for both attempts, so that no request holds the pipeline
// longer than timeoutMs and a restart.
static PipelineResult runWithin(ApertiumPipeline* pipeline, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers, int timeoutMs)
{
    std::unique_lock<std::timed_mutex> hold(pipeline->busy, std::chrono::milliseconds(timeoutMs));
    if (!hold.owns_lock())
        return PIPELINE_BUSY;
    long long deadline = nowMs() + timeoutMs;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (pipeline->process && !outputQuiet(*pipeline))
            stopProcess(*pipeline);
        if (!pipeline->process && !startProcess(*pipeline))
            return PIPELINE_FAILED;
        ExchangeResult result = exchange(*pipeline, chunks, answers, deadline);
        if (result == EXCHANGED)
            return PIPELINE_ANSWERED;
        // Dead, stuck or out of step: a fresh process is the only safe state.
        stopProcess(*pipeline);
        // A text that stalled a pipeline would most likely stall the next.
        if (result == STALLED)
            break;
    }
    return PIPELINE_FAILED;
}

void stopApertiumPipelines()
{
    for (ApertiumPipeline& pipeline : pipelines)
        stopProcess(pipeline);
}

int startApertiumPipelines(const std::vector<const char*>& modes, int timeoutMs)
{
    if (modes.size() > MODE_LIMIT)
        return 0;
    for (const char* mode : modes) {
        if (!packageOf(mode)) {
            logLine(LEVEL_ERROR, mode, "no runtime package is listed as providing this mode");
            return 0;
        }
    }
    // Writing to a pipeline that has died must fail with EPIPE, so that it
    // can be restarted, rather than end the process.
    signal(SIGPIPE, SIG_IGN);
    for (pipelineCount = 0; pipelineCount < (int)modes.size(); ++pipelineCount) {
        ApertiumPipeline& pipeline = pipelines[pipelineCount];
        pipeline.mode = modes[pipelineCount];
        if (!loadScript(pipeline) || !startProcess(pipeline))
            return 0;
    }
    std::vector<std::string> word(1, "a[]"), answer;
    for (int i = 0; i < pipelineCount; ++i) {
        if (runWithin(&pipelines[i], word, answer, START_TIMEOUT_MS) != PIPELINE_ANSWERED) {
            logLine(LEVEL_ERROR, pipelines[i].mode, "the pipeline does not answer");
            return 0;
        }
    }
    answerTimeoutMs = timeoutMs;
    return 1;
}

ApertiumPipeline* apertiumPipeline(const char* mode)
{
    for (int i = 0; i < pipelineCount; ++i)
        if (strcmp(pipelines[i].mode, mode) == 0)
            return &pipelines[i];
    return 0;
}

PipelineResult runApertiumPipeline(ApertiumPipeline* pipeline, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers)
{
    return runWithin(pipeline, chunks, answers, answerTimeoutMs);
}

int apertiumPipelineProcess(const char* mode)
{
    ApertiumPipeline* pipeline = apertiumPipeline(mode);
    if (!pipeline)
        return 0;
    std::lock_guard<std::timed_mutex> hold(pipeline->busy);
    return pipeline->process;
}
