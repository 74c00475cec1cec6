// The table view's drawing costs on the sample table, with the resource
// pack beside the program.

#include "controls/YuClock.h"
#include "platform/Raster.h"
#include "table/SampleTable.h"

#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <utility>

namespace {

using namespace kelpo;

struct SampleTable {
    ClientState state;
    TablePainter painter{state};
    YuClock clock;

    SampleTable(int width, int height)
    {
        const QString app = QCoreApplication::applicationDirPath();
        state.globals.AppPath = app + u'/';
        state.globals.ParentPath = QDir(app + QStringLiteral("/..")).absolutePath() + u'/';
        painter.YuClockControl = &clock;
        SetUpSampleTable(painter, width, height, false);
    }
};

void BM_FullRepaint(benchmark::State& st, int width, int height)
{
    SampleTable t(width, height);
    for (auto _ : st) {
        t.painter.RepaintTable();
        benchmark::DoNotOptimize(std::as_const(t.painter.picGameBack).image().constBits());
    }
}

void BM_PlainCopy(benchmark::State& st, int width, int height)
{
    SampleTable t(width, height);
    QImage& dst = t.painter.picGameBack.image();
    const QImage& src = t.painter.picSaveGameBack.image();
    for (auto _ : st) {
        BlockTransfer(dst, 0, 0, width, height, src, 0, 0, RasterOp::Copy);
        benchmark::DoNotOptimize(dst.constBits());
    }
}

void BM_DrawHand(benchmark::State& st)
{
    SampleTable t(1024, 768);
    for (auto _ : st)
        t.painter.DrawHand();
}

void BM_RedrawHandCard(benchmark::State& st)
{
    SampleTable t(1024, 768);
    t.painter.DrawHand();
    CardList& flags = t.state.cards.SelectedFlags;
    int i = 0;
    for (auto _ : st) {
        i = i % flags.count() + 1;
        flags.set(i, flags.at(i) ? 0 : 1);
        t.painter.RedrawHandCard(i);
    }
}

BENCHMARK_CAPTURE(BM_FullRepaint, 1024x768, 1024, 768)->Name("BM_FullRepaint/1024x768");
BENCHMARK_CAPTURE(BM_FullRepaint, 1920x1080, 1920, 1080)->Name("BM_FullRepaint/1920x1080");
BENCHMARK_CAPTURE(BM_PlainCopy, 1024x768, 1024, 768)->Name("BM_PlainCopy/1024x768");
BENCHMARK_CAPTURE(BM_PlainCopy, 1920x1080, 1920, 1080)->Name("BM_PlainCopy/1920x1080");
BENCHMARK(BM_DrawHand);
BENCHMARK(BM_RedrawHandCard);

} // namespace
