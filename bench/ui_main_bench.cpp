// The main window driven offscreen as a user drives it: opening a large ROM, and a drag with
// "Set Bit" across fresh cells, each move hitting a cell and running the refresh.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ui/BitView.h"
#include "ui/Dialogs.h"
#include "ui/Exportfrm.h"
#include "ui/Hexfrm.h"
#include "ui/Mainfrm.h"
#include "ui/ProgramWindows.h"

using namespace zandrel;
using Clock = std::chrono::steady_clock;

namespace {

/// Answers every open dialog with one path; every box is a failure of the benchmark.
class BenchDialogs : public Dialogs {
public:
    std::string openPath;
    void message(std::string_view text, std::string_view) override {
        std::fprintf(stderr, "box: %.*s\n", int(text.size()), text.data());
    }
    bool askYesNo(std::string_view, std::string_view) override { return true; }
    void showError(std::string_view text, std::string_view) override {
        std::fprintf(stderr, "error: %.*s\n", int(text.size()), text.data());
    }
    std::optional<std::string> openFile(const FileDialogSettings&, const DialogStart&) override {
        return openPath;
    }
    std::optional<std::string> saveFile(const FileDialogSettings&, const DialogStart&) override {
        return std::nullopt;
    }
};

struct RomShape {
    int32_t bitsPerRow;
    int32_t bitsPerOutput;
    int32_t rows;
};

/// A raw ROM file of zero bits, so that every "Set Bit" changes a cell and the export.
std::string writeRom(const RomShape& shape) {
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("zandrel-bench-" + std::to_string(shape.bitsPerRow) + "x" + std::to_string(shape.rows) + ".bin"))
            .string();
    std::ofstream(path, std::ios::binary)
        << std::string(static_cast<size_t>(shape.bitsPerRow) / 8 * static_cast<size_t>(shape.rows), '\0');
    return path;
}

/// The program's windows, without a settings file.
struct Windows {
    BenchDialogs dialogs;
    ProgramWindows program{dialogs, TMainForm::SettingsOpener{}};
    TMainForm* main = &program.main();
    THexForm* hexForm = &program.hexForm();

    Windows() { QApplication::processEvents(); }

    void open(const std::string& path, const RomShape& shape) {
        main->BitsPerRowEdit->setText(QString::number(shape.bitsPerRow));
        main->BitsPerOutputEdit->setText(QString::number(shape.bitsPerOutput));
        dialogs.openPath = path;
        main->OpenBinFileButtonClick();
        QApplication::processEvents();
    }
};

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_StartToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        Windows windows;
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenRawFile(benchmark::State& state) {
    const RomShape shape{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(0)) / 32,
                         static_cast<int32_t>(state.range(1))};
    const std::string path = writeRom(shape);
    Windows windows;
    for (auto _ : state) {
        const auto start = Clock::now();
        windows.open(path, shape);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["bits"] = static_cast<double>(windows.main->document().BinDataLen);
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenRawFile)
    ->Args({1024, 1024})
    ->Args({8192, 2048})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

/// A press with "Set Bit" on cell 0 of a row, then moves over the next cells of that row and
/// the following rows; each move lands in the middle of a fresh cell. Reports the median time
/// of a move event with its refresh and repaint.
void BM_SetBitDrag(benchmark::State& state) {
    const RomShape shape{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(0)) / 32,
                         static_cast<int32_t>(state.range(1))};
    const std::string path = writeRom(shape);
    Windows windows;
    windows.open(path, shape);
    TMainForm& main = *windows.main;
    main.ActionRadioGroup->setItemIndex(3);
    BitView* view = main.BitImageEnView;
    QWidget* viewport = view->viewport();
    const Document& doc = main.document();
    // Cell c of the first visible row: its middle pixel, in client coordinates at 100 %.
    auto clientOf = [&](int32_t column, int32_t row) {
        const int32_t group = column / doc.BitsPerOutput;
        const int x = group * doc.ColGap + column * (doc.BitSizeX + doc.BitGap) + 5 + doc.BitSizeX / 2;
        const int y = row * (doc.BitSizeY + doc.BitGap) + 5 + doc.BitSizeY / 2;
        return QPoint(x + view->ImageOriginX() - view->ViewX(), y + view->ImageOriginY() - view->ViewY());
    };
    const int columnsShown = 150;
    auto send = [&](QEvent::Type type, QPoint p) {
        QMouseEvent event(type, QPointF(p), viewport->mapToGlobal(QPointF(p)), Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    send(QEvent::MouseButtonPress, clientOf(0, 0));
    QApplication::processEvents();
    std::vector<double> times;
    int32_t step = 1;
    for (auto _ : state) {
        const QPoint p = clientOf(step % columnsShown, (step / columnsShown) % 30);
        ++step;
        const auto start = Clock::now();
        send(QEvent::MouseMove, p);
        QApplication::processEvents();
        const auto took = Clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        times.push_back(milliseconds(took));
    }
    send(QEvent::MouseButtonRelease, clientOf(0, 0));
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["bits"] = static_cast<double>(doc.BinDataLen);
    state.counters["cells_set"] =
        static_cast<double>(std::count(doc.Cells.begin(), doc.Cells.end(), CELL_VALUE));
    state.counters["byte_view_len"] = windows.hexForm->ByteCopyLen();
    std::filesystem::remove(path);
}
BENCHMARK(BM_SetBitDrag)
    ->Args({1024, 1024})
    ->Args({8192, 2048})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);

/// A repaint of the whole bit view, at 100 % and zoomed out to 10 %.
void BM_RepaintBitView(benchmark::State& state) {
    const RomShape shape{8192, 256, 2048};
    const std::string path = writeRom(shape);
    Windows windows;
    windows.open(path, shape);
    BitView* view = windows.main->BitImageEnView;
    view->setZoom(static_cast<double>(state.range(0)), QPoint(0, 0));
    for (auto _ : state) view->viewport()->repaint();
    state.counters["pixels"] = view->viewport()->width() * view->viewport()->height();
    std::filesystem::remove(path);
}
BENCHMARK(BM_RepaintBitView)->Arg(100)->Arg(10)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
