#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace quilldeck::bench {

// The performance counter, read in milliseconds. Google Benchmark does not
// build for Windows here, so the Windows-side programs keep their own timer.
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&start_); }
    double Milliseconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(Frequency());
    }
    static LONGLONG Frequency() {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }

private:
    LARGE_INTEGER start_;
};

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return -1;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// One figure, as tools/bench reads it: a key, a value and its unit.
inline void Report(const std::string& key, double value, const char* unit) {
    std::printf("RESULT %s %.4f %s\n", key.c_str(), value, unit);
    std::fflush(stdout);
}

inline void Note(const std::string& text) {
    std::printf("NOTE %s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace quilldeck::bench
