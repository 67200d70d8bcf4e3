// Milliseconds on a clock that no change of the system time moves, for
// deadlines.
#pragma once
#include <chrono>

inline long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
