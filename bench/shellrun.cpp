// Runs the sqlite3 shell on a database with a script as its input and prints
// "<seconds> <peak resident kB> <processor seconds>" of the shell's process
// (see measure.h).
//   pelitaksa-bench-shell DATABASE SCRIPT
#include "measure.h"

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
    char shell[] = "sqlite3", batch[] = "-batch", bail[] = "-bail";
    char *const command[] = {shell, batch, bail, argv[1], nullptr};
    return pel::bench::measureProcess(command, input);
}
