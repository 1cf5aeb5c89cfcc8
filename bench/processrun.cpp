// Runs a program and prints "<seconds> <peak resident kB> <processor seconds>" of its process,
// from the start until it has ended. The benchmarks start the program through
// this small one, as they start the sqlite3 shell (see shellrun.cpp), so that
// the peak is the program's own.
//   pelitaksa-bench-process PROGRAM [ARGUMENT...]
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelitaksa-bench-process PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, 1);
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
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
        std::fprintf(stderr, "%s ended with status %d\n", argv[1], WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return 1;
    }
    const double processor = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                             + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, processor);
    return 0;
}
