// Benchmarks of the document core over generated ROMs of 1 Mbit and 16 Mbit. Each one also
// reports its time per iteration divided by that of a plain memcpy of the bytes it produces
// (counter "x_memcpy"), measured in the same run, so figures compare across machines. Both
// are timed in the thread's CPU time (system time included), which other work on a shared
// machine disturbs less than the wall clock.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/HexDump.h"

using namespace zandrel;

namespace {

constexpr int32_t kMbit = 1 << 20;

/// Seconds of one memcpy of `bytes` bytes between buffers that are already in use: the best
/// of several runs.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double memcpySeconds(size_t bytes) {
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes, 0);
    double best = 1e9;
    for (int run = 0; run < 30; ++run) {
        const double start = threadSeconds();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        best = std::min(best, threadSeconds() - start);
    }
    benchmark::DoNotOptimize(to.data());
    return best;
}

/// Times the loop body with the benchmark's own clock and adds the memcpy ratio.
template <class Body>
void runTimed(benchmark::State& state, size_t memcpyBytes, Body body) {
    const double baseline = memcpySeconds(memcpyBytes);
    double total = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        body();
        total += threadSeconds() - start;
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    state.counters["x_memcpy"] = perIteration / baseline;
    state.counters["memcpy_us"] = baseline * 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(memcpyBytes));
}

Document randomRom(int32_t bits) {
    Document doc;
    doc.replaceCells(bits);
    std::mt19937 random(1234);
    for (uint8_t& cell : doc.Cells) cell = static_cast<uint8_t>(random() & 0x05);
    return doc;
}

void BM_ExportBin(benchmark::State& state) {
    Document doc = randomRom(static_cast<int32_t>(state.range(0)) * kMbit);
    doc.EndianMode = static_cast<int32_t>(state.range(1));
    const LayoutTexts edits;  // 1024 bits per row, 32 per output
    doc.ExportBin(edits);
    runTimed(state, doc.Cells.size(), [&] { benchmark::DoNotOptimize(doc.ExportBin(edits)); });
}
BENCHMARK(BM_ExportBin)
    ->ArgsProduct({{1, 16}, {0, 1}})
    ->ArgNames({"Mbit", "big"})
    ->Unit(benchmark::kMillisecond);

void BM_ExportBinReversed(benchmark::State& state) {
    Document doc = randomRom(static_cast<int32_t>(state.range(0)) * kMbit);
    doc.ReverseOutputs = 1;
    doc.ReverseWithinOutCol = 1;
    const LayoutTexts edits;
    runTimed(state, doc.Cells.size(), [&] { benchmark::DoNotOptimize(doc.ExportBin(edits)); });
}
BENCHMARK(BM_ExportBinReversed)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

void BM_ExportBin8Outputs(benchmark::State& state) {
    Document doc = randomRom(static_cast<int32_t>(state.range(0)) * kMbit);
    LayoutTexts edits;
    edits.BitsPerOutputEdit = "128";
    runTimed(state, doc.Cells.size(), [&] { benchmark::DoNotOptimize(doc.ExportBin(edits)); });
}
BENCHMARK(BM_ExportBin8Outputs)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

void BM_ExportBinOddLayout(benchmark::State& state) {
    Document doc = randomRom(static_cast<int32_t>(state.range(0)) * kMbit);
    LayoutTexts edits;
    edits.BitsPerRowEdit = "1000";
    edits.BitsPerOutputEdit = "50";
    runTimed(state, doc.Cells.size(), [&] { benchmark::DoNotOptimize(doc.ExportBin(edits)); });
}
BENCHMARK(BM_ExportBinOddLayout)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

void BM_ExportBinChangedCell(benchmark::State& state) {
    Document doc = randomRom(static_cast<int32_t>(state.range(0)) * kMbit);
    const LayoutTexts edits;
    doc.ExportBin(edits);
    ExportChange change;
    int32_t cell = 0;
    runTimed(state, 8, [&] {
        doc.Cells[static_cast<size_t>(cell)] ^= CELL_VALUE;
        const int32_t changed[] = {cell};
        benchmark::DoNotOptimize(doc.ExportBinChanged(edits, changed, change));
        cell = (cell + 4099) % doc.BinDataLen;
    });
}
BENCHMARK(BM_ExportBinChangedCell)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMicrosecond);

void BM_DumpText(benchmark::State& state) {
    const int32_t length = static_cast<int32_t>(state.range(0)) * 1024;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    std::mt19937 random(5);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    const size_t textSize = DumpText(bytes.data(), length).size();
    std::string text;
    runTimed(state, textSize, [&] {
        text.clear();
        AppendDumpLines(text, bytes.data(), length, 0, DumpLineCount(length), DumpAddressWidth(length));
        benchmark::DoNotOptimize(text.data());
    });
}
BENCHMARK(BM_DumpText)->Arg(128)->Arg(2048)->ArgName("KiB")->Unit(benchmark::kMillisecond);

void BM_DumpLineByLine(benchmark::State& state) {
    const int32_t length = static_cast<int32_t>(state.range(0)) * 1024;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    std::mt19937 random(5);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    const size_t textSize = DumpText(bytes.data(), length).size();
    std::string line;
    runTimed(state, textSize, [&] {
        const int width = DumpAddressWidth(length);
        for (int32_t i = 0; i < DumpLineCount(length); ++i) {
            line.clear();
            AppendDumpLine(line, bytes.data(), length, i, width);
            benchmark::DoNotOptimize(line.data());
        }
    });
}
BENCHMARK(BM_DumpLineByLine)->Arg(2048)->ArgName("KiB")->Unit(benchmark::kMillisecond);

class NoFeedback : public UserFeedback {
public:
    void message(std::string_view, std::string_view) override {}
    bool askYesNo(std::string_view, std::string_view) override { return true; }
    void setCaption(std::string_view) override {}
};

/// A file of `bytes` in the temporary directory, removed when this goes away.
class BenchFile {
public:
    explicit BenchFile(const std::string& bytes) {
        path_ = "/tmp/zandrel-bench-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++);
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    ~BenchFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::string path_;
};

void BM_LoadBinFile(benchmark::State& state) {
    const int32_t bits = static_cast<int32_t>(state.range(0)) * kMbit;
    std::string bytes(static_cast<size_t>(bits / 8), '\0');
    std::mt19937 random(9);
    for (char& byte : bytes) byte = static_cast<char>(random());
    const BenchFile file(bytes);
    Document doc;
    NoFeedback feedback;
    doc.LoadBinFile(file.path(), feedback);
    runTimed(state, static_cast<size_t>(bits),
             [&] { benchmark::DoNotOptimize(doc.LoadBinFile(file.path(), feedback)); });
}
BENCHMARK(BM_LoadBinFile)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

/// Rows of 1024 bits in groups of 32 separated by spaces, CR LF line ends.
std::string bitText(int32_t bits) {
    std::string text;
    text.reserve(static_cast<size_t>(bits) * 34 / 32 + 16);
    std::mt19937 random(11);
    for (int32_t i = 0; i < bits; ++i) {
        text.push_back((random() & 1) ? '1' : '0');
        if (i % 1024 == 1023)
            text += "\r\n";
        else if (i % 32 == 31)
            text.push_back(' ');
    }
    return text;
}

void BM_LoadTextFile(benchmark::State& state) {
    const int32_t bits = static_cast<int32_t>(state.range(0)) * kMbit;
    const BenchFile file(bitText(bits));
    Document doc;
    NoFeedback feedback;
    LayoutTexts edits;
    doc.LoadTextFile(file.path(), edits, feedback);
    runTimed(state, static_cast<size_t>(bits),
             [&] { benchmark::DoNotOptimize(doc.LoadTextFile(file.path(), edits, feedback)); });
}
BENCHMARK(BM_LoadTextFile)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

void BM_LoadBinFileFresh(benchmark::State& state) {
    // A document that held no cells before: the cells come in fresh memory.
    const int32_t bits = static_cast<int32_t>(state.range(0)) * kMbit;
    const BenchFile file(std::string(static_cast<size_t>(bits / 8), '\x5A'));
    NoFeedback feedback;
    runTimed(state, static_cast<size_t>(bits), [&] {
        Document doc;
        benchmark::DoNotOptimize(doc.LoadBinFile(file.path(), feedback));
    });
}
BENCHMARK(BM_LoadBinFileFresh)->Arg(1)->Arg(16)->ArgName("Mbit")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
