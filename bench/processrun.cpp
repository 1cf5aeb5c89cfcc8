// Runs a program and prints "<seconds> <peak resident kB> <processor seconds>"
// of its process, from the start until it has ended (see measure.h).
//   pelitaksa-bench-process PROGRAM [ARGUMENT...]
#include "measure.h"

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelitaksa-bench-process PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    return pel::bench::measureProcess(argv + 1, -1);
}
