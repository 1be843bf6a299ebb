// Runs one program and says how long it ran and its peak resident set:
//
//   process_meter PROGRAM [ARGS...]
//
// The program keeps stdin, stdout and stderr; the figures go to fd 3 as
// "status=S seconds=T peak_kib=K". A bench cannot ask the kernel for a
// child's peak directly: a process that execs takes over the peak of the
// memory it replaces, which for a child spawned by a bench is the bench's own
// (hundreds of MB once it has loaded a data set). Spawned from this small
// program, the child starts from this program's few MB instead.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2 || fcntl(3, F_SETFD, FD_CLOEXEC) != 0) {
        std::fprintf(stderr, "usage: process_meter PROGRAM [ARGS...] 3>FIGURES\n");
        return 127;
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        dprintf(3, "status=-1\n");
        return 127;
    }
    int status = 0;
    rusage usage{};
    pid_t waited = 0;
    do {
        waited = wait4(pid, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                           static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
    const int code = waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    dprintf(3, "status=%d seconds=%.6f peak_kib=%ld\n", code, seconds, usage.ru_maxrss);
    return code < 0 ? 126 : code;
}
