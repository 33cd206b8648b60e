#pragma once
// The clock of benchmarks that compare two pieces of work timed one after the other on the same
// thread: the thread's CPU time, so that what a shared machine's scheduler gives others is not
// counted, and the median of the repetitions, which one slow round does not move.

#include <algorithm>
#include <ctime>
#include <vector>

namespace bench {
inline double ThreadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e6 * double(t.tv_sec) + 1e-3 * double(t.tv_nsec);
}

inline double Median(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace bench
