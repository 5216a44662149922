// Speed of the bit map: whole drawing against a memset of the same raster, rectangles of large
// ROMs, the hit test, incremental redraws and saving a PNG.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "core/CellOps.h"
#include "core/Document.h"
#include "render/BitmapDrawing.h"
#include "render/HitTest.h"
#include "render/SaveImage.h"

using namespace zandrel;

namespace {

constexpr int32_t kMegabit = 1 << 20;

// A ROM of `bits` random cells at the default geometry, some of them selected.
const Document& RandomRom(int32_t bits) {
    static std::map<int32_t, Document> roms;
    auto found = roms.find(bits);
    if (found != roms.end()) return found->second;
    Document doc;
    doc.replaceCells(bits);
    std::mt19937 rng(bits);
    for (uint8_t& cell : doc.Cells) cell = static_cast<uint8_t>(rng() % 8 == 0 ? 5 : rng() % 2);
    doc.ReadLayoutParams(LayoutTexts{});
    return roms.emplace(bits, std::move(doc)).first->second;
}

// CPU time of this thread: on a machine shared with other work it varies less than wall time.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Each iteration times a memset of the same raster and then the drawing, both in CPU time, so the
// ratio compares them under the same conditions.
void BM_WholeBitmap(benchmark::State& state) {
    const Document& doc = RandomRom(static_cast<int32_t>(state.range(0)));
    Raster raster;
    DrawWholeBitmap(doc, raster);
    double memset = 0, drawing = 0;
    int fill = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        std::memset(raster.row(0), ++fill, raster.byteSize());
        benchmark::ClobberMemory();
        memset += ThreadSeconds() - start;
        start = ThreadSeconds();
        DrawWholeBitmap(doc, raster);
        benchmark::ClobberMemory();
        drawing += ThreadSeconds() - start;
    }
    const double iterations = double(state.iterations());
    state.counters["vs_memset"] = drawing / memset;
    state.counters["memset_ms"] = memset / iterations * 1e3;
    state.counters["draw_ms"] = drawing / iterations * 1e3;
    state.counters["MB"] = double(raster.byteSize()) / 1e6;
}
BENCHMARK(BM_WholeBitmap)->Arg(kMegabit)->Unit(benchmark::kMillisecond);

void BM_ViewRectangle(benchmark::State& state) {
    const Document& doc = RandomRom(static_cast<int32_t>(state.range(0)));
    const BitmapSize size = ImageSize(doc);
    std::mt19937 rng(1);
    Raster out;
    for (auto _ : state) {
        const int32_t x0 = static_cast<int32_t>(rng() % static_cast<uint32_t>(size.width - 1240));
        const int32_t y0 = static_cast<int32_t>(rng() % static_cast<uint32_t>(size.height - 255));
        DrawBitmapRect(doc, out, x0, y0, 1240, 255);
        benchmark::DoNotOptimize(out.row(0));
    }
}
BENCHMARK(BM_ViewRectangle)->Arg(kMegabit)->Arg(16 * kMegabit)->Unit(benchmark::kMicrosecond);

void BM_HitTest(benchmark::State& state) {
    const Document& doc = RandomRom(static_cast<int32_t>(state.range(0)));
    const auto action = static_cast<PointerAction>(state.range(1));
    const BitmapSize size = ImageSize(doc);
    std::mt19937 rng(2);
    int hits = 0;
    for (auto _ : state) {
        const int32_t px = static_cast<int32_t>(rng() % static_cast<uint32_t>(size.width));
        const int32_t py = static_cast<int32_t>(rng() % static_cast<uint32_t>(size.height));
        const auto hit = HitTest(doc, action, px, py, 133.3, 133.3);
        hits += hit.has_value();
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_HitTest)
    ->ArgsProduct({{kMegabit, 16 * kMegabit},
                   {int(PointerAction::SelectBit), int(PointerAction::SelectRow),
                    int(PointerAction::SelectColumn)}});

// One pointer event of a drag: the change of one cell, or one row, redrawn into the full picture.
void BM_RedrawAfterPointerAction(benchmark::State& state) {
    Document doc = RandomRom(kMegabit);
    const auto action = static_cast<PointerAction>(state.range(0));
    Raster raster;
    DrawWholeBitmap(doc, raster);
    std::mt19937 rng(3);
    for (auto _ : state) {
        const int32_t cell = static_cast<int32_t>(rng() % kMegabit);
        const CellChange change = ApplyPointerAction(doc, action, cell, 1 + int32_t(rng() % 2));
        RedrawCells(doc, raster, {change});
        benchmark::DoNotOptimize(raster.row(0));
    }
}
BENCHMARK(BM_RedrawAfterPointerAction)
    ->Arg(int(PointerAction::SelectBit))
    ->Arg(int(PointerAction::SelectRow))
    ->Arg(int(PointerAction::SelectColumn))
    ->Unit(benchmark::kMicrosecond);

// Resident memory in kB from /proc/self/status for a field such as "VmHWM:".
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

void BM_SavePng(benchmark::State& state) {
    const Document& doc = RandomRom(kMegabit);
    const BitmapSize size = ImageSize(doc);
    const std::string path = "/tmp/zandrel-render-bench-" + std::to_string(::getpid()) + ".png";
    long peakKb = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak at the current size
        const long baseKb = StatusKb("VmRSS:");
        SaveBitmapImage(doc, path);
        peakKb = std::max(peakKb, StatusKb("VmHWM:") - baseKb);
    }
    const double rasterBytes = 3.0 * size.width * size.height;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    state.counters["file_MB"] = double(file.tellg()) / 1e6;
    state.counters["peak_MB"] = double(peakKb) * 1024 / 1e6;
    state.counters["peak_vs_raster"] = double(peakKb) * 1024 / rasterBytes;
    std::remove(path.c_str());
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
