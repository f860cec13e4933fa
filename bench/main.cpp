// One entry point for every benchmark file in this folder.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
