// Hostile files: a few hundred mutations of pictures of every format the run meets (cut short,
// bytes flipped, sizes claimed far beyond the data), made from a fixed seed and put through what a
// run does with each item, with the read-ahead's workers and without. Nothing ends the process,
// every item is saved or fails with a reason, the two ways give the same outcome to the byte,
// and memory stays bounded.
#include "framework/core/exceptions.h"
#include "framework/core/folder_item.h"
#include "framework/core/thread.h"
#include "framework/image/picture.h"
#include "framework/image/private/read_ahead.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/spin.h"
#include "tests/support/peak_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

using namespace fixtures;

namespace {

// A GIF of the picture's red channel in 128 greys, written without compression: 8-bit codes with
// a clear code before the code table would grow past them (Qt writes no GIF).
QByteArray gifOf(const QImage& image)
{
    const int w = image.width(), h = image.height();
    QByteArray gif("GIF89a");
    const auto put16 = [&](int v) { gif.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(w);
    put16(h);
    gif.append(char(0xF6)).append('\0').append('\0'); // a global table of 128 colours
    for (int i = 0; i < 128; ++i)
        gif.append(char(i * 2)).append(char(i * 2)).append(char(i * 2));
    gif.append(',');
    put16(0);
    put16(0);
    put16(w);
    put16(h);
    gif.append('\0').append(char(7)); // no local table; codes of 7-bit values
    QByteArray codes;
    int sinceClear = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (sinceClear == 0)
                codes.append(char(0x80));
            codes.append(char(qRed(image.pixel(x, y)) >> 1));
            sinceClear = (sinceClear + 1) % 126;
        }
    }
    codes.append(char(0x81)); // end of information
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append('\0').append(';');
    return gif;
}

struct Mutant {
    std::string name;
    QByteArray bytes;
};

// The mutations of one well-formed file, from `random`.
void mutate(const std::string& kind, const QByteArray& good, std::mt19937& random, std::vector<Mutant>& out)
{
    const auto below = [&](qsizetype n) { return qsizetype(random() % uint32_t(std::max<qsizetype>(n, 1))); };
    const auto add = [&](const char* how, QByteArray bytes) {
        out.push_back({ kind + "-" + std::to_string(out.size()) + "-" + how, std::move(bytes) });
    };
    for (int i = 0; i < 20; ++i) {
        // Cut anywhere, and often within the header, where a reader decides what it holds.
        const qsizetype length = i % 2 ? below(good.size()) : below(std::min<qsizetype>(good.size(), 200));
        add("cut", good.left(length));
    }
    for (int i = 0; i < 25; ++i) {
        QByteArray bytes = good;
        const int flips = 1 + int(random() % 8);
        for (int f = 0; f < flips; ++f) {
            const qsizetype at = i % 2 ? below(bytes.size()) : below(std::min<qsizetype>(bytes.size(), 512));
            bytes[at] = char(bytes[at] ^ char(1 + random() % 255));
        }
        add("flipped", bytes);
    }
    for (int i = 0; i < 15; ++i) {
        // Sizes and lengths in headers turned to their largest values.
        QByteArray bytes = good;
        const qsizetype at = 4 + below(std::min<qsizetype>(bytes.size(), 64) - 8);
        for (int k = 0; k < 2 + int(random() % 3); ++k)
            bytes[at + k] = char(0xFF);
        add("claiming", i % 3 == 0 ? bytes.left(below(bytes.size())) : bytes);
    }
}

std::vector<Mutant> hostileFiles(const TempFolder& dir)
{
    std::mt19937 random(20261209);
    const QImage picture = Gradient(600, 450);
    std::vector<Mutant> files;
    mutate("jpeg", ReadBytes(WriteJpeg(dir.file("g.jpg"), picture, 85)), random, files);
    mutate("progressive", ReadBytes(WriteJpeg(dir.file("p.jpg"), picture, JpegLayout { .progressive = true }, 85)), random, files);
    mutate("png", QtEncoded(Marked(600, 450, true), "png"), random, files);
    mutate("gif", gifOf(picture), random, files);
    mutate("webp", QtEncoded(picture, "webp"), random, files);
    mutate("tiff", QtEncoded(picture, "tiff"), random, files);
    // Headers that claim sizes far beyond their data, as a whole.
    files.push_back({ "png-claiming-huge", PngClaiming(60000, 60000) });
    files.push_back({ "png-claiming-large", PngClaiming(16000, 16000) });
    return files;
}

// Each item's outcome: the saved file's bytes, or the reason it failed ("" for no picture).
using Outcomes = std::map<std::string, std::string>;

// What a run does with each item of the folder, in its order, on a cooperative thread (so that
// draws go through the read-ahead's workers when it is on).
Outcomes runOver(const std::string& folder, const std::string& output, bool readAhead)
{
    if (readAhead)
        unsetenv("QUOBLY_READ_AHEAD");
    else
        setenv("QUOBLY_READ_AHEAD", "0", 1);
    Outcomes outcomes;
    Thread thread;
    thread.OnRun = [&] {
        const Ref<FolderItem> source = FolderItem::FromPath(folder);
        for (int32_t i = 1; i <= source->Count(); ++i) {
            const Ref<FolderItem> item = source->TrueItem(i);
            std::string& outcome = outcomes[item->Name()];
            try {
                const Ref<Picture> picture = Picture::Open(item);
                if (!picture)
                    continue;
                const int32_t w = std::max(1, std::min(picture->Width(), 200));
                const int32_t h = std::max(1, int32_t(int64_t(w) * picture->Height() / picture->Width()));
                const Ref<Picture> target = NewPicture(w, h, 32);
                if (!target)
                    throw OutOfBoundsException("too large to make");
                target->Graphics()->DrawPicture(picture, 0, 0, w, h, 0, 0, picture->Width(), picture->Height());
                target->Mask(true)->Graphics()->DrawPicture(picture->Mask(true), 0, 0, w, h, 0, 0, picture->Width(),
                    picture->Height());
                const std::string saved = output + "/" + item->Name() + (i % 2 ? ".jpg" : ".png");
                target->Save(FolderItem::FromPath(saved), i % 2 ? Picture::SaveAsJPEG : Picture::SaveAsPNG, 80);
                outcome = "saved " + ReadBytes(saved).toHex().toStdString();
            } catch (const RuntimeException& e) {
                outcome = std::string("failed: ") + e.what();
            }
            RuntimeBackgroundTask();
        }
    };
    thread.Run();
    EXPECT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }, std::chrono::seconds(120)));
    unsetenv("QUOBLY_READ_AHEAD");
    return outcomes;
}

} // namespace

TEST(PictureHostileFiles, EachIsSavedOrFailsWithAReasonTheSameWithAndWithoutReadAhead)
{
    TempFolder dir;
    const std::string folder = dir.file("hostile"), sequential = dir.file("sequential"), ahead = dir.file("ahead");
    for (const std::string& f : { folder, sequential, ahead })
        ASSERT_EQ(::mkdir(f.c_str(), 0700), 0);
    const std::vector<Mutant> files = hostileFiles(dir);
    ASSERT_GT(files.size(), 300u);
    for (const Mutant& m : files)
        WriteBytes(folder + "/" + m.name, m.bytes);

    const Outcomes without = runOver(folder, sequential, false);
    const int64_t taken = ReadAhead::Taken();
    const Outcomes with = runOver(folder, ahead, true);
    EXPECT_GT(ReadAhead::Taken(), taken) << "no draw took a rendering made on a worker";
    ASSERT_EQ(without.size(), files.size()) << "the run did not reach every item";
    int saved = 0, failed = 0;
    for (const auto& [name, outcome] : without) {
        if (outcome.rfind("saved ", 0) == 0)
            ++saved;
        if (outcome.rfind("failed: ", 0) == 0) {
            ++failed;
            EXPECT_GT(outcome.size(), std::string("failed: ").size() + 10) << name << " failed without a reason";
        }
        EXPECT_EQ(with.count(name) ? with.at(name) : "(not reached)", outcome) << name;
    }
    // Mutations that keep the picture readable and ones that do not are both there.
    EXPECT_GT(saved, 50);
    EXPECT_GT(failed, 50);
    rusage usage {};
    ASSERT_EQ(::getrusage(RUSAGE_SELF, &usage), 0);
    if (kPeakMemoryMeansSomething)
        EXPECT_LT(usage.ru_maxrss, 768 * 1024) << "peak memory in KiB";
}
