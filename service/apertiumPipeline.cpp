#include "apertiumPipeline.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include "monotonicClock.h"
#include "serviceLog.h"

// MODE_LIMIT: more modes than the routes use. A pool's queue holds
// QUEUE_PER_PIPELINE requests for each of its pipelines. The first answer
// of a pipeline waits for its dictionaries to load, which on a busy machine
// takes much longer than a translation. An idle pipeline is probed every
// PROBE_EVERY_MS; while it answers, a stage is looked for every
// STAGE_CHECK_MS. MEMORY_PER_POOL_MB: the memory that one pipeline of each
// mode and the requests they serve take, with room to spare.
enum {
    MODE_LIMIT = 16, POOL_LIMIT = 16, QUEUE_PER_PIPELINE = 64, START_TIMEOUT_MS = 60000, PROBE_EVERY_MS = 2000,
    PROBE_TIMEOUT_MS = 5000, STAGE_CHECK_MS = 100, MEMORY_PER_POOL_MB = 2048
};

// PIPELINE_TAKEN: a request's or a probe's.
enum PipelineState { PIPELINE_READY, PIPELINE_TAKEN, PIPELINE_RESTARTING };

// One chain of the mode's processes, headed by a shell.
struct Pipeline {
    pid_t process = 0;
    int input = -1;
    int output = -1;
    // The shell's children once the pipeline has answered its first word:
    // a stage that dies leaves fewer.
    int stages = 0;
    PipelineState state = PIPELINE_RESTARTING;
    long long lastAnswered = 0;
    // A pipeline that failed to start is tried again from then on, so that
    // the others are restarted and probed meanwhile.
    long long nextTry = 0;
};

// The pipelines of one mode and what the health page reports of them.
struct ModePool {
    const char* mode;
    std::string script;
    Pipeline pipelines[POOL_LIMIT];
    int waiting;
    long long served;
    long long restarts;
    long memoryKb;
};

static const char ModeFolder[] = "/usr/share/apertium/modes/";

struct ModePackage {
    const char* mode;
    const char* package;
};

// Generated from the list of the service's runtime packages.
static const ModePackage ModePackages[] = {
#include "modePackages.inc"
};

// Every pipeline's state and the pools' counts, under poolsLock; a pipeline
// taken is its taker's alone until it is given back.
static ModePool pools[MODE_LIMIT];
static int poolCount;
static int poolSize;
static int answerTimeoutMs;
static std::mutex poolsLock;
static std::condition_variable poolsChanged;
static std::thread keeper;
static int keeperStopping;

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
static int loadScript(ModePool& pipeline)
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
    FILE* tool = popen(command.c_str(), "re");
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

// The process id changes under poolsLock only: a stop may signal the
// group of a pipeline being restarted, and must never signal one reaped.
static void setProcess(Pipeline& pipeline, pid_t process)
{
    std::lock_guard<std::mutex> hold(poolsLock);
    pipeline.process = process;
    if (process && keeperStopping)
        kill(-process, SIGKILL);
}

static void stopProcess(Pipeline& pipeline)
{
    pid_t process = pipeline.process;
    if (!process)
        return;
    setProcess(pipeline, 0);
    kill(-process, SIGKILL);
    waitpid(process, 0, 0);
    close(pipeline.input);
    close(pipeline.output);
}

static int startProcess(const ModePool& pool, Pipeline& pipeline)
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
        const char* generator = pool.mode[strlen(pool.mode) - 1] == '*' ? "-g" : "-n";
        execl("/bin/bash", "bash", "-c", pool.script.c_str(), pool.mode, generator, "", (char*)0);
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
    setProcess(pipeline, child);
    pipeline.stages = 0;
    pipeline.input = toPipeline[1];
    pipeline.output = fromPipeline[0];
    fcntl(pipeline.input, F_SETFL, O_NONBLOCK);
    fcntl(pipeline.output, F_SETFL, O_NONBLOCK);
    return 1;
}

// The processes a pipeline's shell has started and not yet reaped.
static int childCount(pid_t shell)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task/%d/children", (int)shell, (int)shell);
    FILE* list = fopen(path, "re");
    int count = 0, pid;
    while (list && fscanf(list, "%d", &pid) == 1)
        ++count;
    if (list)
        fclose(list);
    return count;
}

// Memory of the shell and its stages in KiB, each process's private pages
// and its share of those it shares with others (PSS).
static long pipelineMemoryKb(pid_t shell)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task/%d/children", (int)shell, (int)shell);
    FILE* list = fopen(path, "re");
    long total = 0;
    for (int pid = shell; pid > 0;) {
        snprintf(path, sizeof path, "/proc/%d/smaps_rollup", pid);
        FILE* usage = fopen(path, "re");
        char line[128];
        long kb;
        while (usage && fgets(line, sizeof line, usage))
            if (sscanf(line, "Pss: %ld", &kb) == 1)
                total += kb;
        if (usage)
            fclose(usage);
        if (!list || fscanf(list, "%d", &pid) != 1)
            pid = 0;
    }
    if (list)
        fclose(list);
    return total;
}

// Follows every request's chunks. A stage that dies makes each stage after
// it write a zero byte as its input ends, which looks like answers: only
// the probe coming back whole shows that every chunk went through every
// stage.
static const char Probe[] = "[quorvel-probe]";

enum ExchangeResult { EXCHANGED, BROKEN, STALLED };

// Writes every chunk with its zero byte, then the probe, while reading the
// answers, each ended by a zero byte, as they come.
static ExchangeResult exchange(Pipeline& pipeline, const std::vector<std::string>& chunks,
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
        int ready = left > 0 ? poll(entries, watched, (int)std::min(left, (long long)STAGE_CHECK_MS)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        // A late stage that dies ends no output: the shell holds it open
        // while it waits for the stages before.
        if (ready == 0 && pipeline.stages && childCount(pipeline.process) < pipeline.stages)
            return BROKEN;
        if (ready == 0 && left > STAGE_CHECK_MS)
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
// an ended output or a missing stage means the pipeline has died.
static int soundBeforeUse(Pipeline& pipeline)
{
    char byte;
    ssize_t count;
    do
        count = read(pipeline.output, &byte, 1);
    while (count < 0 && errno == EINTR);
    return count < 0 && errno == EAGAIN && childCount(pipeline.process) >= pipeline.stages;
}

static const std::vector<std::string> ProbeWord(1, "a[]");

// Starts the pipeline afresh and runs a word through it, so that it answers
// requests with its dictionaries loaded. Leaves it ready, or still to
// restart. Returns 1 when it answered.
static int restart(ModePool& pool, Pipeline& pipeline, int timeoutMs)
{
    stopProcess(pipeline);
    std::vector<std::string> answer;
    if (!startProcess(pool, pipeline) || exchange(pipeline, ProbeWord, answer, nowMs() + timeoutMs) != EXCHANGED) {
        std::lock_guard<std::mutex> hold(poolsLock);
        pipeline.nextTry = nowMs() + PROBE_EVERY_MS;
        return 0;
    }
    long memoryKb = pipelineMemoryKb(pipeline.process);
    std::lock_guard<std::mutex> hold(poolsLock);
    pipeline.stages = childCount(pipeline.process);
    pipeline.state = PIPELINE_READY;
    pipeline.lastAnswered = nowMs();
    pool.memoryKb = memoryKb;
    poolsChanged.notify_all();
    return 1;
}

// A pipeline that did not answer whole is restarted in the background.
static void giveBack(ModePool& pool, Pipeline& pipeline, int answered)
{
    std::lock_guard<std::mutex> hold(poolsLock);
    if (answered) {
        pipeline.state = PIPELINE_READY;
        pipeline.lastAnswered = nowMs();
    } else {
        pipeline.state = PIPELINE_RESTARTING;
        pipeline.nextTry = 0;
        ++pool.restarts;
        logLine(LEVEL_WARNING, pool.mode, "a pipeline died, stalled or fell out of step: restarting it");
    }
    poolsChanged.notify_all();
}

// The first pipeline of any pool in the state, with its pool; 0 when none
// is. A ready one counts only once it has been idle for a probe's period,
// one to restart only once its next try is due.
static Pipeline* findPipeline(PipelineState state, ModePool*& pool)
{
    for (int i = 0; i < poolCount; ++i) {
        for (int j = 0; j < poolSize; ++j) {
            Pipeline& pipeline = pools[i].pipelines[j];
            long long now = nowMs();
            int due = state == PIPELINE_READY ? now - pipeline.lastAnswered >= PROBE_EVERY_MS : now >= pipeline.nextTry;
            if (pipeline.state == state && due) {
                pool = &pools[i];
                return &pipeline;
            }
        }
    }
    return 0;
}

// Restarts, one at a time, the pipelines that died or stalled, and probes
// each that has been idle for a while, so that the health page tells the
// truth. Logs the service's health when it changes.
static void keepPipelines()
{
    int wasHealthy = 1;
    std::string report;
    std::unique_lock<std::mutex> hold(poolsLock);
    while (!keeperStopping) {
        ModePool* pool = 0;
        Pipeline* pipeline = findPipeline(PIPELINE_RESTARTING, pool);
        int probing = !pipeline;
        if (probing && (pipeline = findPipeline(PIPELINE_READY, pool)) != 0)
            pipeline->state = PIPELINE_TAKEN;
        if (!pipeline) {
            poolsChanged.wait_for(hold, std::chrono::milliseconds(PROBE_EVERY_MS / 4));
            continue;
        }
        hold.unlock();
        std::vector<std::string> answer;
        if (probing)
            giveBack(*pool, *pipeline, soundBeforeUse(*pipeline)
                && exchange(*pipeline, ProbeWord, answer, nowMs() + PROBE_TIMEOUT_MS) == EXCHANGED);
        else
            restart(*pool, *pipeline, START_TIMEOUT_MS);
        int healthy = apertiumHealth(report);
        if (healthy != wasHealthy)
            logLine(healthy ? LEVEL_INFO : LEVEL_WARNING, "service", "%s",
                healthy ? "healthy again" : "unhealthy: a mode has no pipeline that answers");
        wasHealthy = healthy;
        hold.lock();
    }
}

static ModePool* findPool(const char* mode)
{
    for (int i = 0; i < poolCount; ++i)
        if (strcmp(pools[i].mode, mode) == 0)
            return &pools[i];
    return 0;
}

// Takes a ready pipeline of the pool, waiting in the pool's queue until the
// deadline at the most. 0 when none came free, or at once when the queue is
// full.
static Pipeline* takePipeline(ModePool& pool, long long deadline, int& queueFull)
{
    std::unique_lock<std::mutex> hold(poolsLock);
    queueFull = pool.waiting >= QUEUE_PER_PIPELINE * poolSize;
    if (queueFull)
        return 0;
    ++pool.waiting;
    Pipeline* taken = 0;
    auto until = std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline));
    do {
        for (int i = 0; i < poolSize && !taken; ++i)
            if (pool.pipelines[i].state == PIPELINE_READY)
                taken = &pool.pipelines[i];
    } while (!taken && poolsChanged.wait_until(hold, until) == std::cv_status::no_timeout);
    --pool.waiting;
    if (taken) {
        taken->state = PIPELINE_TAKEN;
        ++pool.served;
    }
    return taken;
}

PipelineResult runApertiumMode(const char* mode, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers)
{
    ModePool* pool = findPool(mode);
    if (!pool)
        return PIPELINE_FAILED;
    // One deadline for the wait and both attempts; a pipeline found dead
    // before it was sent anything costs no attempt.
    long long deadline = nowMs() + answerTimeoutMs;
    for (int attempt = 0; attempt < 2;) {
        int queueFull;
        Pipeline* pipeline = takePipeline(*pool, deadline, queueFull);
        if (!pipeline)
            return queueFull || !attempt ? PIPELINE_BUSY : PIPELINE_FAILED;
        if (!soundBeforeUse(*pipeline)) {
            giveBack(*pool, *pipeline, 0);
            continue;
        }
        ExchangeResult result = exchange(*pipeline, chunks, answers, deadline);
        ++attempt;
        giveBack(*pool, *pipeline, result == EXCHANGED);
        if (result == EXCHANGED)
            return PIPELINE_ANSWERED;
        // A text that stalled a pipeline would most likely stall the next.
        if (result == STALLED)
            break;
    }
    return PIPELINE_FAILED;
}

void stopApertiumPipelines()
{
    {
        std::lock_guard<std::mutex> hold(poolsLock);
        keeperStopping = 1;
        poolsChanged.notify_all();
        // A pipeline being restarted ends its probe at once.
        for (int i = 0; i < poolCount; ++i)
            for (Pipeline& pipeline : pools[i].pipelines)
                if (pipeline.process && pipeline.state == PIPELINE_RESTARTING)
                    kill(-pipeline.process, SIGKILL);
    }
    if (keeper.joinable())
        keeper.join();
    for (int i = 0; i < poolCount; ++i)
        for (Pipeline& pipeline : pools[i].pipelines)
            stopProcess(pipeline);
}

int startApertiumPipelines(const std::vector<const char*>& modes, int count, int timeoutMs)
{
    if (modes.size() > MODE_LIMIT || count < 1 || count > POOL_LIMIT)
        return 0;
    // Writing to a pipeline that has died must fail with EPIPE, so that it
    // can be restarted, rather than end the process.
    signal(SIGPIPE, SIG_IGN);
    long long started = nowMs();
    poolSize = count;
    answerTimeoutMs = timeoutMs;
    keeperStopping = 0;
    for (poolCount = 0; poolCount < (int)modes.size(); ++poolCount) {
        ModePool& pool = pools[poolCount];
        pool.mode = modes[poolCount];
        if (!packageOf(pool.mode)) {
            logLine(LEVEL_ERROR, pool.mode, "no runtime package is listed as providing this mode");
            return 0;
        }
        if (!loadScript(pool))
            return 0;
    }
    // Every pipeline loads its dictionaries at once, so that the start
    // takes as long as the slowest mode's, whatever the pool's size.
    std::vector<std::thread> starters;
    std::vector<int> answered(poolCount * count);
    for (int i = 0; i < poolCount; ++i)
        for (int j = 0; j < count; ++j)
            starters.emplace_back([i, j, count, &answered] {
                answered[i * count + j] = restart(pools[i], pools[i].pipelines[j], START_TIMEOUT_MS);
            });
    for (std::thread& starter : starters)
        starter.join();
    for (int i = 0; i < poolCount; ++i) {
        for (int j = 0; j < count; ++j) {
            if (!answered[i * count + j]) {
                logLine(LEVEL_ERROR, pools[i].mode, "a pipeline does not answer");
                return 0;
            }
        }
        logLine(LEVEL_INFO, pools[i].mode, "%d pipeline%s, %ld MB each", count, count == 1 ? "" : "s",
            pools[i].memoryKb / 1024);
    }
    logLine(LEVEL_INFO, "service", "%d pipelines started in %lld ms", poolCount * count, nowMs() - started);
    keeper = std::thread(keepPipelines);
    return 1;
}

int apertiumHealth(std::string& report)
{
    std::lock_guard<std::mutex> hold(poolsLock);
    int healthy = 1;
    report.clear();
    for (int i = 0; i < poolCount; ++i) {
        const ModePool& pool = pools[i];
        int counts[3] = { 0, 0, 0 };
        for (int j = 0; j < poolSize; ++j)
            ++counts[pool.pipelines[j].state];
        healthy &= counts[PIPELINE_READY] + counts[PIPELINE_TAKEN] > 0;
        char line[200];
        snprintf(line, sizeof line, "%s ready=%d busy=%d restarting=%d served=%lld restarts=%lld memory=%ldMB\n",
            pool.mode, counts[PIPELINE_READY], counts[PIPELINE_TAKEN], counts[PIPELINE_RESTARTING], pool.served,
            pool.restarts, pool.memoryKb / 1024);
        report += line;
    }
    return healthy;
}

int apertiumPipelineProcess(const char* mode, int index)
{
    ModePool* pool = findPool(mode);
    if (!pool || index >= poolSize)
        return 0;
    Pipeline& pipeline = pool->pipelines[index];
    std::unique_lock<std::mutex> hold(poolsLock);
    poolsChanged.wait_for(hold, std::chrono::milliseconds(START_TIMEOUT_MS),
        [&pipeline] { return pipeline.state == PIPELINE_READY; });
    return pipeline.process;
}

int defaultPipelineCount()
{
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    long long memoryMb = (long long)sysconf(_SC_PHYS_PAGES) * sysconf(_SC_PAGESIZE) / (1024 * 1024);
    long long count = std::min<long long>(cores, memoryMb / MEMORY_PER_POOL_MB);
    return (int)std::max(1LL, std::min<long long>(count, POOL_LIMIT));
}
