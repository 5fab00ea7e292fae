#include "BenchMain.h"

#include <cstdio>
#include <cstdlib>

void BenchFailed(const std::string& what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

int RepetitionsArgument(int argc, char** argv, int index, int fallback, const std::string& usage)
{
    const int repetitions = argc > index ? std::atoi(argv[index]) : fallback;
    if (repetitions < 1)
        BenchFailed("usage: " + usage);
    return repetitions;
}
