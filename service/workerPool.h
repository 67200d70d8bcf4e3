// A fixed pool of threads that answer whole requests, started with the
// client loop and joined when it ends.
#pragma once
#include <memory>
#include "requestAnswer.h"

// Starts count workers, which hold queueLimit requests at the most, those
// they answer included. Returns 0 when not one could be started.
int startWorkers(int count, int queueLimit);
// Gives a whole request to the workers; it waits for one when all are
// busy. Returns 0, keeping the client, when the queue is full.
int handToWorker(std::unique_ptr<Client>& client);
// 1 when the workers hold no request.
int workersIdle();
// Lets the workers finish the requests they hold, then joins them.
void stopWorkers();
