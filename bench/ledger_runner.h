#pragma once
// ledger (the command-line accounting program) as a yardstick: whether it is
// installed, running it with its output thrown away, timing its runs, and
// amounts in its journal form.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/money.h"

extern char** environ;

namespace tallowmere::bench {

inline bool LedgerInstalled() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/ledger").c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// Runs ledger with its output thrown away; the exit status, or -1.
inline int RunLedger(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "ledger", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Runs ledger once per iteration as the iteration's manual time; the mean
// seconds of a run (0 without iterations), or -1 after a failed run, which
// skips the benchmark.
inline double TimeLedgerRuns(benchmark::State& state, const std::vector<std::string>& args) {
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int rc = RunLedger(args);
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
        if (rc != 0) {
            state.SkipWithError("ledger failed");
            return -1;
        }
        state.SetIterationTime(d.count());
        total += d.count();
    }
    return state.iterations() > 0 ? total / static_cast<double>(state.iterations()) : 0;
}

inline std::string LedgerAmount(Cents cents) {
    char text[48];
    const bool negative = cents < 0;
    const long long m = negative ? -static_cast<long long>(cents) : static_cast<long long>(cents);
    std::snprintf(text, sizeof text, "%s$%lld.%02lld", negative ? "-" : "", m / 100, m % 100);
    return text;
}

}  // namespace tallowmere::bench
