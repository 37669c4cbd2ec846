// Times the batch run's work per picture: Open, draw scaled to at most 800 pixels on the biggest
// side (colour, then mask), Save as JPEG quality 80.
//   picture_bench <output folder> <picture>...
// Prints wall and CPU milliseconds per picture tried, the peak resident memory, and how many
// pictures failed (damaged files fail as in a run).
#include "framework/core/exceptions.h"
#include "framework/image/picture.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long residentKB()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    long kb = 0;
    char line[256];
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            break;
    if (f)
        std::fclose(f);
    return kb;
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <picture>...\n", argv[0]);
        return 2;
    }
    // The application's own setting: a GUI application on some platform, though nothing here
    // needs a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string out = argv[1];
    const long baseline = residentKB();
    int done = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        // A damaged file fails as it does in a run, and the next one goes on.
        try {
            Ref<Picture> source = Picture::Open(FolderItem::FromPath(argv[i]));
            if (!source) {
                std::fprintf(stderr, "not a picture: %s\n", argv[i]);
                continue;
            }
            const int32_t sw = source->Width(), sh = source->Height();
            const double k = 800.0 / std::max(sw, sh);
            const int32_t nw = std::max(1, int32_t(sw * k + 0.5)), nh = std::max(1, int32_t(sh * k + 0.5));
            Ref<Picture> target = NewPicture(nw, nh, 32);
            target->Graphics()->DrawPicture(source, 0, 0, nw, nh, 0, 0, sw, sh);
            target->Mask(true)->Graphics()->DrawPicture(source->Mask(true), 0, 0, nw, nh, 0, 0, sw, sh);
            target->Save(FolderItem::FromPath(out + "/" + baseName(argv[i]) + ".jpg"), Picture::SaveAsJPEG, 80);
            ++done;
        } catch (const RuntimeException&) {
            ++failed;
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = cpuSeconds() - cpuStart;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    if (done + failed == 0)
        return 1;
    const int tried = done + failed;
    std::printf("pictures %d wall_ms %.1f cpu_ms %.1f peak_rss_mb %.1f baseline_rss_mb %.1f failed %d\n", done,
        1000 * wall / tried, 1000 * cpu / tried, usage.ru_maxrss / 1024.0, baseline / 1024.0, failed);
    return 0;
}
