// The byte view under the load of a drag: every edit brings a new export to ShowBytes, and the
// view repaints. Both must cost the same for a small ROM and for megabytes of export.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ui/Hexfrm.h"

using zandrel::THexForm;

namespace {

std::vector<uint8_t> exportBytes(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed;
    for (uint8_t& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

/// Time of one plain memcpy of `count` bytes, measured now, for comparison across machines.
double memcpySeconds(const std::vector<uint8_t>& source) {
    std::vector<uint8_t> target(source.size());
    constexpr int kRounds = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRounds;
}

struct ShownByteView {
    THexForm form;
    ShownByteView() {
        form.show();
        QApplication::processEvents();
    }
};

void reportAgainstMemcpy(benchmark::State& state, const std::vector<uint8_t>& bytes, double seconds) {
    const double perCall = seconds / static_cast<double>(state.iterations());
    const double copy = memcpySeconds(bytes);
    state.counters["memcpy_us"] = copy * 1e6;
    state.counters["x_memcpy"] = perCall / copy;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

/// A new export arrives (alternating between two, as during a drag) and the view repaints its
/// visible lines, selection and caret included.
void BM_ShowBytesAndRepaint(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> exports[2] = {exportBytes(count, 1), exportBytes(count, 2)};
    ShownByteView view;
    zandrel::DumpView& memo = *view.form.HexMemo;
    view.form.ShowBytes(exports[0].data(), static_cast<int32_t>(count));
    memo.setSelStart(memo.textLength() / 2);  // the user looks at the middle of the dump
    memo.setSelLength(300);
    int which = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        which ^= 1;
        view.form.ShowBytes(exports[which].data(), static_cast<int32_t>(count));
        QPixmap picture = memo.viewport()->grab();
        benchmark::DoNotOptimize(picture);
    }
    reportAgainstMemcpy(state, exports[0],
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}
BENCHMARK(BM_ShowBytesAndRepaint)->Arg(64 << 10)->Arg(2 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

/// ShowBytes alone: the copy of the bytes and the bookkeeping of the view.
void BM_ShowBytes(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> exports[2] = {exportBytes(count, 3), exportBytes(count, 4)};
    ShownByteView view;
    int which = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        which ^= 1;
        view.form.ShowBytes(exports[which].data(), static_cast<int32_t>(count));
    }
    reportAgainstMemcpy(state, exports[0],
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}
BENCHMARK(BM_ShowBytes)->Arg(64 << 10)->Arg(2 << 20)->Unit(benchmark::kMicrosecond);

/// Scrolling through the dump: one repaint per position, anywhere in the dump.
void BM_ScrollAndRepaint(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> bytes = exportBytes(count, 5);
    ShownByteView view;
    view.form.ShowBytes(bytes.data(), static_cast<int32_t>(count));
    QScrollBar* bar = view.form.HexMemo->verticalScrollBar();
    int position = 0;
    for (auto _ : state) {
        position = (position + 7919) % (bar->maximum() + 1);
        bar->setValue(position);
        QPixmap picture = view.form.HexMemo->viewport()->grab();
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_ScrollAndRepaint)->Arg(2 << 20)->Unit(benchmark::kMicrosecond);

/// Copying a selection builds text in proportion to it: the whole 2 MiB dump here.
void BM_CopyWholeDump(benchmark::State& state) {
    const size_t count = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> bytes = exportBytes(count, 6);
    ShownByteView view;
    view.form.ShowBytes(bytes.data(), static_cast<int32_t>(count));
    view.form.HexMemo->selectAll();
    for (auto _ : state) view.form.Copy1Click();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count));
}
BENCHMARK(BM_CopyWholeDump)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform remarks on every window shown; keep the figures readable.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg && !text.contains("propagateSizeHints"))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
