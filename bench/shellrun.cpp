// Runs the sqlite3 shell on a database with a script as its input and prints
// "<seconds> <peak resident kB> <processor seconds>" of the shell's process. The benchmarks start
// the shell through this small program: a process started straight from the
// large benchmark process would count that process's memory as its own peak.
//   pelitaksa-bench-shell DATABASE SCRIPT
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelitaksa-bench-shell DATABASE SCRIPT\n");
        return 2;
    }
    const int input = open(argv[2], O_RDONLY);
    if (input < 0) {
        std::perror(argv[2]);
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
        dup2(input, 0);
        dup2(nothing, 1);
        execlp("sqlite3", "sqlite3", "-batch", "-bail", argv[1], static_cast<char *>(nullptr));
        std::perror("sqlite3");
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
        std::fprintf(stderr, "sqlite3 ended with status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return 1;
    }
    const double processor = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                             + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, processor);
    return 0;
}
