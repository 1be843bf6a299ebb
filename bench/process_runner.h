#pragma once
// Outside programs timed as whole processes: our bench driver and its peers
// (ledger, hledger, ofxdump) each run fresh, from spawn to exit, with their
// output thrown away, so that a ratio compares like with like.
#include <functional>
#include <string>
#include <vector>

namespace tallowmere::bench {

// The path of a program on PATH, or "" when it is not installed.
std::string FindProgram(const std::string& name);

// A program built beside this one (tallowmere_cli, scaling_driver), or "".
std::string BenchProgram(const std::string& name);

struct ProcessRun {
    // The exit status; -1 when it did not start or did not exit normally.
    int status = -1;
    // Wall time from spawn to exit.
    double seconds = 0;
    // The child's peak resident set.
    long peakKiB = 0;
    // What it wrote to stderr, when asked for.
    std::string errors;
};

// Runs argv (argv[0] a path, or a name found on PATH) through process_meter
// (built beside this program) with stdin and stdout on /dev/null and stderr
// captured or thrown away. The child gets this process's environment
// without the variables that tune the loader or malloc (LD_PRELOAD,
// GLIBC_TUNABLES, MALLOC_*): what any user would run.
ProcessRun RunProcess(const std::vector<std::string>& argv, bool captureErrors = false);

struct TimedRuns {
    // 0 when every run exited with 0, else the first other status.
    int status = -1;
    double medianSeconds = 0;
    long medianPeakKiB = 0;
    // The measured runs, in order.
    std::vector<ProcessRun> runs;
};

inline constexpr int kMeasuredRuns = 5;

// One unmeasured run (the page cache is then warm for every program alike),
// then `runs` measured ones. beforeEach, when given, runs untimed before each
// run, the unmeasured one included.
TimedRuns TimeRuns(const std::vector<std::string>& argv, int runs = kMeasuredRuns,
                   bool captureErrors = false, const std::function<void()>& beforeEach = {});

struct Command {
    std::vector<std::string> argv;
    bool captureErrors = false;
    std::function<void()> beforeEach;
};

// TimeRuns for several programs at once, run in turns (a, b, c, a, b, c,
// ...), so that a change in the machine's load weighs on each alike. One
// result per command, in order.
std::vector<TimedRuns> TimeInTurns(const std::vector<Command>& commands, int runs = kMeasuredRuns);

double Median(std::vector<double> values);

// The number after "key=" in text (the driver's figures); -1 when missing.
double FigureIn(const std::string& text, const std::string& key);

// The median of one figure over the runs' stderr texts; -1 when a run lacks
// it.
double MedianFigure(const TimedRuns& timed, const std::string& key);

}  // namespace tallowmere::bench
