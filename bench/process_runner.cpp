#include "process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

extern char** environ;

namespace tallowmere::bench {
namespace {

bool TunesLoaderOrMalloc(std::string_view entry) {
    return entry.starts_with("LD_PRELOAD=") || entry.starts_with("GLIBC_TUNABLES=") ||
           entry.starts_with("MALLOC_");
}

std::vector<char*> ChildEnvironment() {
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!TunesLoaderOrMalloc(*e))
            env.push_back(*e);
    }
    env.push_back(nullptr);
    return env;
}

// Reads fd to its end.
std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return {};
}

std::string BenchProgram(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path program = self.parent_path() / name;
    return access(program.c_str(), X_OK) == 0 ? program.string() : std::string();
}

ProcessRun RunProcess(const std::vector<std::string>& argv, bool captureErrors) {
    ProcessRun run;
    // The meter runs the program and measures it: see process_meter.cpp.
    const std::string meter = BenchProgram("process_meter");
    if (meter.empty() || argv.empty()) {
        run.errors = "process_meter is not built";
        return run;
    }
    std::vector<char*> args = {const_cast<char*>(meter.c_str())};
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env = ChildEnvironment();

    int figures[2] = {-1, -1};
    int errors[2] = {-1, -1};
    if (pipe2(figures, O_CLOEXEC) != 0)
        return run;
    if (captureErrors && pipe2(errors, O_CLOEXEC) != 0) {
        close(figures[0]);
        close(figures[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (captureErrors)
        posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, figures[1], 3);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(figures[1]);
    if (captureErrors) {
        close(errors[1]);
        if (rc == 0)
            run.errors = ReadAll(errors[0]);
        close(errors[0]);
    }
    const std::string measured = rc == 0 ? ReadAll(figures[0]) : std::string();
    close(figures[0]);
    if (rc != 0)
        return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const double code = FigureIn(measured, "status");
    run.seconds = FigureIn(measured, "seconds");
    run.peakKiB = static_cast<long>(FigureIn(measured, "peak_kib"));
    run.status = measured.empty() || code < 0 ? -1 : static_cast<int>(code);
    return run;
}

std::vector<TimedRuns> TimeInTurns(const std::vector<Command>& commands, int runs) {
    std::vector<TimedRuns> timed(commands.size());
    std::vector<std::vector<double>> seconds(commands.size());
    std::vector<std::vector<double>> peaks(commands.size());
    for (TimedRuns& t : timed)
        t.status = 0;
    for (int i = 0; i <= runs; ++i) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            // A program that failed once runs no more.
            if (timed[c].status != 0)
                continue;
            if (commands[c].beforeEach)
                commands[c].beforeEach();
            ProcessRun run = RunProcess(commands[c].argv, commands[c].captureErrors);
            if (run.status != 0) {
                timed[c].status = run.status;
                continue;
            }
            // The first turn only warms the cache.
            if (i == 0)
                continue;
            seconds[c].push_back(run.seconds);
            peaks[c].push_back(static_cast<double>(run.peakKiB));
            timed[c].runs.push_back(std::move(run));
        }
    }
    for (std::size_t c = 0; c < commands.size(); ++c) {
        timed[c].medianSeconds = Median(seconds[c]);
        timed[c].medianPeakKiB = static_cast<long>(Median(peaks[c]));
    }
    return timed;
}

TimedRuns TimeRuns(const std::vector<std::string>& argv, int runs, bool captureErrors,
                   const std::function<void()>& beforeEach) {
    return TimeInTurns({Command{argv, captureErrors, beforeEach}}, runs).front();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double FigureIn(const std::string& text, const std::string& key) {
    const std::string token = key + "=";
    std::size_t at = 0;
    while ((at = text.find(token, at)) != std::string::npos) {
        // Whole keys only: "ms=" must not match "load_ms=".
        if (at == 0 || text[at - 1] == ' ' || text[at - 1] == '\n')
            return std::strtod(text.c_str() + at + token.size(), nullptr);
        at += token.size();
    }
    return -1;
}

double MedianFigure(const TimedRuns& timed, const std::string& key) {
    std::vector<double> values;
    for (const ProcessRun& run : timed.runs) {
        const double v = FigureIn(run.errors, key);
        if (v < 0)
            return -1;
        values.push_back(v);
    }
    return values.empty() ? -1 : Median(values);
}

}  // namespace tallowmere::bench
