// bench_startup.cpp - how long dialvane.exe takes from process start to the
// settings loaded on screen, and to its exit after Cancel; and the same start
// for startup_floor.exe, the least any program must do to look like Dialvane
// at start-up (its templates shown with empty procedures, painted, and the
// Loading box shown and closed). The two are started in turn in the same run
// and prefix, and Dialvane's time is printed as a ratio to the floor's.
//
// Run inside tools/wine-session.sh with DIALVANE_EXE naming the program:
//   tools/wine-session.sh build/x64 env DIALVANE_EXE=$PWD/build/x64/dialvane.exe
//       tools/wine-exec.sh build/x64/bench/bench_startup.exe
#include "support/dialvane_process.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const int RUNS = 30;
const DWORD TIMEOUT_MS = 30000;
const char FLOOR_PROGRAM[] = "startup_floor.exe";

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to, const LARGE_INTEGER &frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    printf("%-40s min %7.1f ms  median %7.1f ms  mean %7.1f ms  max %7.1f ms\n", what, times.front(),
           Median(times), sum / times.size(), times.back());
}

// The floor program sits next to this benchmark.
std::string FloorProgramPath()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    return path.substr(0, path.rfind('\\') + 1) + FLOOR_PROGRAM;
}

// Starts `path` the way DialvaneProcess starts dialvane.exe, so that both
// programs are started and watched alike.
bool StartProgram(DialvaneProcess &program, const std::string &path)
{
    std::string command = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &program.process) != FALSE;
}

// Milliseconds from process start until the main dialog has loaded, or a
// negative number when it does not load.
double TimeToLoaded(DialvaneProcess &program, const std::string &path, const LARGE_INTEGER &frequency)
{
    LARGE_INTEGER start, loaded;
    QueryPerformanceCounter(&start);
    if (!StartProgram(program, path) || !program.WaitUntilLoaded(TIMEOUT_MS))
        return -1;
    QueryPerformanceCounter(&loaded);
    return Milliseconds(start, loaded, frequency);
}
} // namespace

int main()
{
    if (DialvaneProgramPath().empty()) {
        fprintf(stderr, "bench_startup: set DIALVANE_EXE to the program's path\n");
        return 2;
    }
    const std::string floorPath = FloorProgramPath();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> toLoaded, toExit, floorToLoaded;
    for (int run = 0; run < RUNS; ++run) {
        {
            DialvaneProcess program;
            const double loaded = TimeToLoaded(program, DialvaneProgramPath(), frequency);
            if (loaded < 0) {
                fprintf(stderr, "bench_startup: run %d of dialvane.exe did not load\n", run);
                return 1;
            }
            LARGE_INTEGER cancelled, ended;
            QueryPerformanceCounter(&cancelled);
            program.Click(program.Control(program.main, IDCANCEL));
            if (!program.Exited(TIMEOUT_MS)) {
                fprintf(stderr, "bench_startup: run %d of dialvane.exe did not exit\n", run);
                return 1;
            }
            QueryPerformanceCounter(&ended);
            toLoaded.push_back(loaded);
            toExit.push_back(Milliseconds(cancelled, ended, frequency));
        }
        {
            DialvaneProcess floor;
            const double loaded = TimeToLoaded(floor, floorPath, frequency);
            if (loaded < 0) {
                fprintf(stderr, "bench_startup: run %d of %s did not load\n", run, FLOOR_PROGRAM);
                return 1;
            }
            PostMessageA(floor.main, WM_COMMAND, IDCANCEL, 0);
            if (!floor.Exited(TIMEOUT_MS)) {
                fprintf(stderr, "bench_startup: run %d of %s did not exit\n", run, FLOOR_PROGRAM);
                return 1;
            }
            floorToLoaded.push_back(loaded);
        }
    }
    printf("dialvane.exe and %s, %d runs each in turn under Wine\n", FLOOR_PROGRAM, RUNS);
    Report("dialvane: process start -> settings loaded", toLoaded);
    Report("dialvane: Cancel -> process exit", toExit);
    Report("floor: process start -> loaded", floorToLoaded);
    printf("start-up against the floor (medians): %.2fx\n", Median(toLoaded) / Median(floorToLoaded));
    return 0;
}
