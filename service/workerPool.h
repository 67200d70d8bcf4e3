// A fixed pool of threads that answer whole requests, started with the
// client loop and joined when it ends.
#pragma once
#include <memory>
#include "requestAnswer.h"

// Starts count workers. Returns 0 when not one could be started.
int startWorkers(int count);
// Gives a whole request to a free worker. Returns 0, keeping the client,
// when every worker is taken.
int handToWorker(std::unique_ptr<Client>& client);
// 1 when no worker answers a request.
int workersIdle();
// Lets the workers finish the requests they hold, then joins them.
void stopWorkers();
