// Composing a full 640 x 480 screen of fifty controls onto the desktop.
#include "platform/Headless.h"
#include "ui/Controls.h"
#include "ui/Runtime.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

struct Page : ui::Form {
    explicit Page(ui::Runtime& rt) : Form(rt) {
        move(0, 0, 640, 480);
        ui::Picture bg(640, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                bg.setPixel(x, y, ui::rgb(x / 3, y / 2, 128));
        setPicture(bg);
        for (int i = 0; i < 50; ++i) {
            if (i % 2) {
                auto l = std::make_unique<ui::Label>(*this);
                l->move(20 + (i % 10) * 60, 20 + (i / 10) * 90, 56, 56);
                l->font = {"楷体_GB2312", 28, false};
                l->transparent = true;
                l->foreColor = ui::rgb(255, 255, 255);
                l->setCaption("字");
                labels.push_back(std::move(l));
            } else {
                auto p = std::make_unique<ui::Image>(*this);
                p->move(20 + (i % 10) * 60, 20 + (i / 10) * 90, 56, 56);
                p->setPicture(ui::Picture(56, 56, ui::rgb(200, 100, 50)));
                images.push_back(std::move(p));
            }
        }
    }
    std::vector<std::unique_ptr<ui::Label>> labels;
    std::vector<std::unique_ptr<ui::Image>> images;
};

void composeFullScreen(benchmark::State& state) {
    platform::HeadlessDisplay display({640, 480});
    ui::ManualClock clock;
    auto fonts = platform::createFontEngine();
    auto images = platform::createImageLoader();
    ui::Runtime rt(display, clock, *fonts, *images);
    auto& page = rt.load(std::make_unique<Page>(rt));
    page.show();
    rt.frame(); // text rendered once, as on a real screen
    for (auto _ : state) {
        rt.invalidate();
        benchmark::DoNotOptimize(rt.frame().data());
    }
}
BENCHMARK(composeFullScreen)->Unit(benchmark::kMicrosecond);

} // namespace
