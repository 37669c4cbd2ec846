// Benchmark of the whole engine: a run through the main window on the offscreen platform over the
// benchmark corpus (every picture to at most 800 pixels on its biggest side, JPEG quality 80),
// then runs over folders of many small pictures, with names of their own and with one base name,
// to show that the time per item stays flat.
//
//   engine_bench WORK_DIR CORPUS_DIR...
//
// The CORPUS_DIRs hold the pictures (bench/run-engine-bench makes them with picture_corpus when
// missing); WORK_DIR is where the source folders and the output folders are made. The item counts
// of the small-picture runs come from ENGINE_BENCH_MANY (default "100 1000 10000").

#include "engine/threadrun.h"
#include "framework/core/folder_item.h"
#include "framework/gui/runtime.h"
#include "main_window/main.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct RunTimes {
    double wall = 0;
    double cpu = 0;
};

// One run, started with the Go button as a user starts it, timed from the press to the finish.
RunTimes runOnce(Main& window, const QString& source, int& beeps)
{
    window.f = FolderItem::FromPath(source.toStdString());
    window.enablego();
    const int before = beeps;
    QElapsedTimer clock;
    const double cpu = cpuSeconds();
    clock.start();
    window.PBGo()->Push();
    while (beeps == before || window.threadrun1()->IsRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return { clock.elapsed() / 1000.0, cpuSeconds() - cpu };
}

// A folder of `count` small pictures: hard links to one PNG, each its own item to the run, named
// after `pattern` with the item's number.
QString manySmall(const QString& work, int count, const QString& pattern)
{
    const QString folder = work + "/many" + QString::number(count);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
    const QString first = folder + "/" + pattern.arg(0, 5, 10, QChar('0'));
    image.save(first, "PNG");
    for (int i = 1; i < count; ++i) {
        const QString name = folder + "/" + pattern.arg(i, 5, 10, QChar('0'));
        if (::link(first.toLocal8Bit().constData(), name.toLocal8Bit().constData()) != 0)
            QFile::copy(first, name);
    }
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WORK_DIR CORPUS_DIR...\n", argv[0]);
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    QStringList corpora;
    for (int i = 2; i < argc; ++i)
        corpora << QString::fromLocal8Bit(argv[i]);
    std::vector<int> many;
    const QString manyText = qEnvironmentVariable("ENGINE_BENCH_MANY", "100 1000 10000");
    for (const QString& n : manyText.split(' ', Qt::SkipEmptyParts))
        many.push_back(n.toInt());

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Preferences, Desktop and trash of a home of the benchmark's own.
    const QString home = work + "/home";
    QDir().mkpath(home + "/Desktop");
    setenv("HOME", home.toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").toLocal8Bit().constData(), 1);
    setenv("XDG_DESKTOP_DIR", (home + "/Desktop").toLocal8Bit().constData(), 1);
    RuntimeInit(argc, argv);

    int beeps = 0;
    Seams::SetBeep([&] { ++beeps; });
    Seams::SetMsgBox([](const String& message) { std::fprintf(stderr, "run reported: %s\n", message.c_str()); });

    const Ref<Main> window = Main::instance();
    window->RBType(0)->Value(true);
    window->PMPType()->ListIndex(0);
    window->EFPSize()->Text("800");
    window->PMExportFormat()->ListIndex(0);
    window->PMQuality()->ListIndex(1); // 80
    window->CBIncrease()->Value(false);
    window->CBName()->Value(false);

    // The corpus through symbolic links, so that the output folder lands in WORK_DIR.
    const QString source = work + "/corpus";
    QDir(source).removeRecursively();
    QDir().mkpath(source);
    int pictures = 0;
    for (const QString& corpus : corpora) {
        for (const QString& name : QDir(corpus).entryList({ "*.jpg", "*.png" }, QDir::Files)) {
            QFile::link(corpus + "/" + name, source + "/" + name);
            ++pictures;
        }
    }
    if (pictures == 0) {
        std::fprintf(stderr, "no pictures in the corpus folders\n");
        return 1;
    }

    const RunTimes corpusRun = runOnce(*window, source, beeps);
    std::printf("engine corpus: %d pictures, %.2f s wall, %.2f pictures/s, %.3f s CPU per picture, peak RSS %.0f MB\n",
        pictures, corpusRun.wall, pictures / corpusRun.wall, corpusRun.cpu / pictures, peakKilobytes() / 1024.0);
    std::printf("RESULT engine_wall %.3f\nRESULT engine_cpu %.3f\nRESULT engine_pictures %d\n", corpusRun.wall,
        corpusRun.cpu, pictures);

    // Each count twice: names of their own, then a camera's names that all give one base name as
    // web-ready DOS names ("Holiday 2007 - 00001.png" and so on give "holiday_"), so that the
    // second run's extra time is what naming costs: the free-name probe passes over every name
    // the run has taken so far.
    for (const int count : many) {
        RunTimes times[2];
        for (const bool oneBase : { false, true }) {
            window->CBName()->Value(oneBase);
            window->CBDos()->Value(oneBase);
            const QString folder = manySmall(work, count, oneBase ? "Holiday 2007 - %1.png" : "p%1.png");
            times[oneBase] = runOnce(*window, folder, beeps);
            std::printf("engine small pictures, %s: %d items, %.2f s wall, %.3f ms per item (CPU %.3f ms per item)\n",
                oneBase ? "one base name " : "names of their own", count, times[oneBase].wall,
                times[oneBase].wall * 1000.0 / count, times[oneBase].cpu * 1000.0 / count);
            QDir(folder).removeRecursively();
            QDir(folder + " (B800)").removeRecursively();
        }
        std::printf("engine naming of %d items with one base name: %.2f s more than with names of their own\n", count,
            times[1].wall - times[0].wall);
    }
    window->CBName()->Value(false);
    window->CBDos()->Value(false);
    QDir(source + " (B800)").removeRecursively();
    return 0;
}
