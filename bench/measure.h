#pragma once

// Runs a command (a null-terminated argument list, its input from the file
// descriptor input when not -1, its output dropped) and prints
// "<seconds> <peak resident kB> <processor seconds>" of its process, from its
// start until it has ended; 0, or 1 when it failed, 2 when it could not run.
// The benchmarks start the program, the tool and the sqlite3 shell through
// the two small programs built on this, so that a peak is the measured
// process's own and not the large benchmark process's.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pel::bench {

inline int measureProcess(char *const command[], int input)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        if (input >= 0)
            dup2(input, 0);
        dup2(nothing, 1);
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("wait4");
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", command[0], WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return 1;
    }
    const double processor = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                             + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, processor);
    return 0;
}

} // namespace pel::bench
