// What damaged files cost: a folder of broken pictures takes no more memory than as many whole
// ones, however each decode fails.
#include "framework/core/exceptions.h"
#include "framework/image/picture.h"
#include "framework/image/source.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/peak_memory.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

#include <cstring>
#include <fstream>
#include <malloc.h>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace fixtures;

namespace {

long statusKB(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

// How far the resident memory of a child process rises, in KB, while it does `work`: a process
// of its own, so that nothing an earlier test left behind counts, and the kernel's high-water
// mark is the whole truth.
long peakInChild(const std::function<void()>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        // Large blocks straight from the system and back: the high-water mark then shows what
        // the decoders hold, not how the allocator happened to reuse its heap after a failure
        // (which costs a bounded few megabytes, not a picture's worth a file).
        ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
        const long start = statusKB("VmRSS:");
        work();
        const long peak = statusKB("VmHWM:") - start;
        const ssize_t written = ::write(pipeEnds[1], &peak, sizeof peak);
        ::_exit(written == sizeof peak ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    long peak = -1;
    if (child < 0 || ::read(pipeEnds[0], &peak, sizeof peak) != sizeof peak)
        peak = -1;
    ::close(pipeEnds[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
}

// Draws every file as a run does (colour and mask, to 800 pixels). Failures of single files are
// what a run meets too, and are passed over.
long peakOfDrawing(const std::vector<std::string>& paths)
{
    return peakInChild([&] {
        for (const std::string& path : paths) {
            try {
                const Ref<Picture> source = open(path);
                if (source)
                    resized(source, 800, 800 * source->Height() / source->Width());
            } catch (const RuntimeException&) {
            }
        }
    });
}

} // namespace

// A card transfer broken off leaves progressive photos cut part way; the decoder holds every
// coefficient of such a frame at once, and a failed decode must give all of it back.
TEST(PictureMemory, CutProgressiveJpegsCostNoMoreThanWholeOnes)
{
    // The sanitizer build finds a decoder that is never released as a leak instead.
    if (!kPeakMemoryMeansSomething)
        GTEST_SKIP() << "peak memory says nothing in this build";
    TempFolder dir;
    const std::string whole = WriteJpeg(dir.file("whole.jpg"), Gradient(3000, 2000), JpegLayout { .progressive = true }, 90);
    const QByteArray bytes = ReadBytes(whole);
    const QByteArray head = bytes.left(bytes.size() * 6 / 10);
    // Cut, and cut with an end-of-image marker after it (as some transfer tools and repairers
    // leave it): the second gets as far as the decoder's start, which reads every scan there is.
    const std::string cuts[] = { WriteBytes(dir.file("cut.jpg"), head),
        WriteBytes(dir.file("ended.jpg"), head + QByteArray("\xFF\xD9", 2)) };
    // Each file drawn many times: each draw reads and decodes it anew.
    constexpr int Count = 24;
    std::vector<std::string> clean(Count, whole), damaged;
    for (int i = 0; i < Count; ++i)
        damaged.push_back(cuts[i % 2]);

    const long cleanPeak = peakOfDrawing(clean);
    const long damagedPeak = peakOfDrawing(damaged);
    ASSERT_GT(cleanPeak, 0);
    ASSERT_GT(damagedPeak, 0);
    // A megabyte for pages the two children touch by chance (a leak costs 18 MB a file).
    EXPECT_LE(damagedPeak, cleanPeak + 1024) << "peak resident KB: damaged " << damagedPeak << ", whole " << cleanPeak;
}

struct RenderCase {
    const char* name;
    std::function<QByteArray(const TempFolder&)> bytes;
};

class PictureRenderBytes : public ::testing::TestWithParam<RenderCase> {};

// The read-ahead lets a decode start only when what it announces fits its budget: what rendering
// really takes, full-size decode buffers and all, must not exceed what it announces.
TEST_P(PictureRenderBytes, AnnouncesNoLessThanRenderingTakes)
{
    if (!kPeakMemoryMeansSomething)
        GTEST_SKIP() << "peak memory says nothing in this build";
    TempFolder dir;
    const std::string path = WriteBytes(dir.file("picture"), GetParam().bytes(dir));
    const auto source = ImageSource::Probe(path);
    ASSERT_TRUE(source);
    const int32_t w = 800, h = int32_t(int64_t(800) * source->Height() / source->Width());
    const long announcedKB = long(source->RenderBytes(w, h) / 1024);
    const long peak = peakInChild([&] {
        source->Render({ 0, 0, double(source->Width()), double(source->Height()) }, w, h, { 0, 0, w, h });
    });
    ASSERT_GT(peak, 0);
    // Two megabytes for the code and tables a first decode of the kind brings in.
    EXPECT_LE(peak, announcedKB + 2048) << "KB taken, announced " << announcedKB;
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureRenderBytes,
    ::testing::Values(RenderCase { "ProgressiveJpeg",
                          [](const TempFolder& d) {
                              return ReadBytes(WriteJpeg(d.file("p.jpg"), Gradient(3000, 2000), JpegLayout { .progressive = true }, 90));
                          } },
        RenderCase { "Png", [](const TempFolder& d) { return ReadBytes(WritePng(d.file("p.png"), Gradient(3000, 2000))); } },
        RenderCase { "SixteenBitPng", [](const TempFolder&) { return QtEncoded(Gradient(3000, 2000).convertToFormat(QImage::Format_RGBA64), "png"); } },
        RenderCase { "LosslessWebP",
            [](const TempFolder&) {
                QByteArray bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                QImageWriter writer(&buffer, "webp");
                writer.setQuality(100); // lossless
                writer.write(Gradient(3000, 2000));
                return bytes;
            } }),
    [](const auto& info) { return std::string(info.param.name); });
