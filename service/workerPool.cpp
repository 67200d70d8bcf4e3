#include "workerPool.h"
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

static std::mutex poolLock;
static std::condition_variable poolChanged;
static std::deque<std::unique_ptr<Client>> handedOver;
static std::vector<std::thread> workers;
// Requests waiting or being answered.
static int heldRequests;
static int heldLimit;
static int workersStopping;

static void work()
{
    std::unique_lock<std::mutex> hold(poolLock);
    for (;;) {
        poolChanged.wait(hold, [] { return workersStopping || !handedOver.empty(); });
        if (handedOver.empty())
            return;
        std::unique_ptr<Client> client = std::move(handedOver.front());
        handedOver.pop_front();
        hold.unlock();
        answerClient(*client);
        client.reset();
        hold.lock();
        --heldRequests;
    }
}

int startWorkers(int count, int queueLimit)
{
    workersStopping = 0;
    heldLimit = queueLimit;
    try {
        while ((int)workers.size() < count)
            workers.emplace_back(work);
    } catch (const std::system_error&) {
    }
    return !workers.empty();
}

int handToWorker(std::unique_ptr<Client>& client)
{
    std::lock_guard<std::mutex> hold(poolLock);
    if (heldRequests >= heldLimit)
        return 0;
    ++heldRequests;
    handedOver.push_back(std::move(client));
    poolChanged.notify_one();
    return 1;
}

int workersIdle()
{
    std::lock_guard<std::mutex> hold(poolLock);
    return !heldRequests;
}

void stopWorkers()
{
    {
        std::lock_guard<std::mutex> hold(poolLock);
        workersStopping = 1;
        poolChanged.notify_all();
    }
    for (std::thread& worker : workers)
        worker.join();
    workers.clear();
}
