// Drawing costs of the picture operations the screens lean on.
#include "gfx/Picture.h"

#include <benchmark/benchmark.h>

using gfx::Picture;
using gfx::RasterOp;

namespace {

// The masked drawing of a sprite: XOR the image, AND the mask, XOR again.
void maskedBlit(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    Picture target(640, 480, 0x336699);
    Picture image(w, h, 0xCC8844), mask(w, h, 0xFFFFFF);
    mask.fillRect({w / 4, h / 4, w / 2, h / 2}, 0);
    for (auto _ : state) {
        target.blit(image, {0, 0}, RasterOp::Xor);
        target.blit(mask, {0, 0}, RasterOp::And);
        target.blit(image, {0, 0}, RasterOp::Xor);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(maskedBlit)->Args({70, 70})->Args({640, 480})->Unit(benchmark::kMicrosecond);

// Colouring in a 400 x 400 area bounded by a black outline.
void floodFill400(benchmark::State& state) {
    Picture p(640, 480, 0xFFFFFF);
    p.rectOutline({119, 39, 402, 402}, 0);
    p.line({130, 60}, {500, 420}, 0x808080, 3); // something inside to flow round
    gfx::Color fill = 0xFF0000;
    for (auto _ : state) {
        fill ^= 0x00FF00; // a different colour each time, so every fill does the work
        p.floodFillBorder({320, 100}, 0, fill);
        benchmark::DoNotOptimize(p.data());
    }
    state.SetItemsProcessed(state.iterations() * 400 * 400);
}
BENCHMARK(floodFill400)->Unit(benchmark::kMicrosecond);

} // namespace
