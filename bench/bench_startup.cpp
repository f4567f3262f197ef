// bench_startup.cpp - how long dialvane.exe takes from process start to the
// settings loaded on screen, and to its exit after Cancel.
//
// Run inside tools/wine-session.sh with DIALVANE_EXE naming the program:
//   tools/wine-session.sh build/x64 env DIALVANE_EXE=$PWD/build/x64/dialvane.exe
//       tools/wine-exec.sh build/x64/bench/bench_startup.exe
#include "support/dialvane_process.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int RUNS = 10;
const DWORD TIMEOUT_MS = 30000;

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to, const LARGE_INTEGER &frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    printf("%-32s min %7.1f ms  median %7.1f ms  mean %7.1f ms  max %7.1f ms\n", what, times.front(),
           times[times.size() / 2], sum / times.size(), times.back());
}
} // namespace

int main()
{
    if (DialvaneProgramPath().empty()) {
        fprintf(stderr, "bench_startup: set DIALVANE_EXE to the program's path\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> toLoaded, toExit;
    for (int run = 0; run < RUNS; ++run) {
        DialvaneProcess program;
        LARGE_INTEGER start, loaded, ended;
        QueryPerformanceCounter(&start);
        if (!program.Start() || !program.WaitUntilLoaded(TIMEOUT_MS)) {
            fprintf(stderr, "bench_startup: run %d did not load\n", run);
            return 1;
        }
        QueryPerformanceCounter(&loaded);
        program.Click(program.Control(program.main, IDCANCEL));
        if (!program.Exited(TIMEOUT_MS)) {
            fprintf(stderr, "bench_startup: run %d did not exit\n", run);
            return 1;
        }
        QueryPerformanceCounter(&ended);
        toLoaded.push_back(Milliseconds(start, loaded, frequency));
        toExit.push_back(Milliseconds(loaded, ended, frequency));
    }
    printf("dialvane.exe, %d runs under Wine\n", RUNS);
    Report("process start -> settings loaded", toLoaded);
    Report("Cancel -> process exit", toExit);
    return 0;
}
