// Bad input and failing saves: a clear outcome every time, never a crash, never a stray file.
#include "framework/image/jpeg.h"
#include "framework/image/picture.h"
#include "framework/image/source.h"

#include "tests/framework/image/picture_helpers.h"
#include "tests/support/picture_fixtures.h"
#include "tests/support/read_permissions.h"
#include "tests/support/peak_memory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixtures;

namespace {

Ref<Picture> smallPicture()
{
    Ref<Picture> p = NewPicture(20, 10, 32);
    return p;
}

} // namespace

struct BadInputCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make;
};

class PictureBadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(PictureBadInput, IsNotAPicture)
{
    TempFolder dir;
    const std::string path = GetParam().make(dir);
    EXPECT_FALSE(open(path));
}

INSTANTIATE_TEST_SUITE_P(Files, PictureBadInput,
    ::testing::Values(BadInputCase { "Folder", [](const TempFolder& d) {
                          std::filesystem::create_directory(d.file("sub.jpg"));
                          return d.file("sub.jpg");
                      } },
        BadInputCase { "TextNamedJpeg", [](const TempFolder& d) { return WriteBytes(d.file("x.jpg"), "Hello, this is no picture.\n"); } },
        BadInputCase { "EmptyFile", [](const TempFolder& d) { return WriteBytes(d.file("e.png"), QByteArray()); } },
        BadInputCase { "MissingFile", [](const TempFolder& d) { return d.file("missing.jpg"); } },
        BadInputCase { "TextStartingLikeABitmap", [](const TempFolder& d) { return WriteBytes(d.file("b.bmp"), "BMW 320i, 1983, blue.\n"); } },
        BadInputCase { "Garbage",
            [](const TempFolder& d) {
                QByteArray bytes;
                uint32_t x = 12345;
                for (int i = 0; i < 5000; ++i) {
                    x = x * 1664525u + 1013904223u;
                    bytes.append(char(x >> 24));
                }
                return WriteBytes(d.file("g.gif"), bytes);
            } },
        BadInputCase { "Fifo", [](const TempFolder& d) {
                          ::mkfifo(d.file("pipe.jpg").c_str(), 0600);
                          return d.file("pipe.jpg");
                      } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureBadInput, NilItemGivesNil)
{
    EXPECT_FALSE(Picture::Open(nullptr));
}

// Open reads only the header, so a file cut after it still opens; drawing it then fails clearly.
TEST(PictureBadInput, TruncatedJpegFailsClearlyWhenDrawn)
{
    TempFolder dir;
    const QByteArray full = ReadBytes(WriteJpeg(dir.file("full.jpg"), Gradient(800, 600), 90));
    Ref<Picture> source = open(WriteBytes(dir.file("cut.jpg"), full.left(full.size() / 2)));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Width(), 800);
    Ref<Picture> target = NewPicture(200, 150, 32);
    EXPECT_THROW(target->Graphics()->DrawPicture(source, 0, 0, 200, 150, 0, 0, 800, 600), IOException);
}

// What may not be read could be a picture: a file says so, a folder is still no picture.
TEST(PictureBadInput, UnreadableFileRaisesAndUnreadableFolderIsNoPicture)
{
    TempFolder dir;
    const std::string file = WritePng(dir.file("locked.png"), Gradient(40, 30));
    const std::string folder = dir.file("locked folder");
    std::filesystem::create_directory(folder);
    UnreadableFile lockedFolder(folder);
    UnreadableFile lockedFile(file);
    if (!lockedFile.ok() || !lockedFolder.ok())
        GTEST_SKIP() << "read permissions cannot be enforced here";
    try {
        open(file);
        ADD_FAILURE() << "an unreadable file opened";
    } catch (const IOException& e) {
        EXPECT_EQ(e.ErrorNumber(), EACCES);
        EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(open(folder));
}

TEST(PictureBadInput, FileGoneAfterOpenFailsClearlyWhenDrawn)
{
    TempFolder dir;
    Ref<Picture> source = open(WritePng(dir.file("gone.png"), Gradient(80, 60)));
    ASSERT_TRUE(source);
    std::filesystem::remove(dir.file("gone.png"));
    Ref<Picture> target = NewPicture(40, 30, 32);
    EXPECT_THROW(target->Graphics()->DrawPicture(source, 0, 0, 40, 30, 0, 0, 80, 60), IOException);
}

// Work done ahead for a run that stops is dropped at once: whatever the file's kind, a decoding
// told to stop gives up at its next read or band of rows instead of finishing the picture.
TEST(PictureBadInput, DecodingToldToStopGivesUp)
{
    TempFolder dir;
    const std::atomic<bool> stop { true };
    for (const std::string& path : { WriteJpeg(dir.file("a.jpg"), Gradient(640, 480)), WritePng(dir.file("a.png"), Gradient(640, 480)) }) {
        const auto source = ImageSource::Probe(path);
        ASSERT_TRUE(source) << path;
        EXPECT_THROW(source->Render({ 0, 0, 640, 480 }, 320, 240, { 0, 0, 320, 240 }, &stop), ImageCodecError) << path;
    }
}

namespace {

// The peak of resident memory since the last call, in MB: the kernel's high-water mark, reset
// each time. -1 where it cannot be reset.
long peakResidentSinceLastCallMB()
{
    long peak = -1;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            peak = std::stol(line.substr(6)) / 1024;
    }
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    reset.flush();
    return reset ? peak : -1;
}

// The JPEG with its frame header claiming another size.
QByteArray claimingSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width);
            break;
        }
    }
    return jpeg;
}

} // namespace

// What a header claims must be backed by the data, and what follows a picture in its file is no
// part of it: a file of a few hundred bytes, or a small picture with a gigabyte after it, costs
// little memory either way.
struct FileDataCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make;
    int32_t width;
    bool draws;
};

class PictureFileData : public ::testing::TestWithParam<FileDataCase> {};

TEST_P(PictureFileData, DrawsOnlyWhatTheFileHoldsAndTakesLittleMemory)
{
    TempFolder dir;
    const std::string path = GetParam().make(dir);
    peakResidentSinceLastCallMB();
    Ref<Picture> source = open(path);
    ASSERT_TRUE(source);
    ASSERT_EQ(source->Width(), GetParam().width);
    // Drawn at its full size: the most its header can ask for.
    Ref<Picture> target = NewPicture(source->Width(), source->Height(), 32);
    const auto draw = [&] {
        target->Graphics()->DrawPicture(source, 0, 0, target->Width(), target->Height(), 0, 0, source->Width(), source->Height());
    };
    if (GetParam().draws) {
        EXPECT_NO_THROW(draw());
    } else {
        EXPECT_THROW(draw(), IOException);
    }
    const long peak = peakResidentSinceLastCallMB();
    if (peak >= 0 && kPeakMemoryMeansSomething) {
        EXPECT_LT(peak, 300) << "peak resident memory in MB";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PictureFileData,
    ::testing::Values(FileDataCase { "JpegClaimingFarMoreThanItHolds",
                          [](const TempFolder& d) {
                              const QByteArray small = ReadBytes(WriteJpeg(d.file("small.jpg"), Gradient(64, 64)));
                              return WriteBytes(d.file("claims.jpg"), claimingSize(small, 16000, 16000));
                          },
                          16000, false },
        FileDataCase { "JpegCutAndGivenAnEnd",
            [](const TempFolder& d) {
                const QByteArray full = ReadBytes(WriteJpeg(d.file("full.jpg"), Gradient(640, 480)));
                return WriteBytes(d.file("cut.jpg"), full.left(full.size() * 2 / 3) + QByteArray("\xFF\xD9", 2));
            },
            640, false },
        FileDataCase { "JpegWithStrayBytesBeforeItsEnd",
            [](const TempFolder& d) {
                QByteArray bytes = ReadBytes(WriteJpeg(d.file("full.jpg"), Gradient(640, 480)));
                bytes.insert(bytes.size() - 2, QByteArray("\x12\x34\x56", 3));
                return WriteBytes(d.file("stray.jpg"), bytes);
            },
            640, true },
        FileDataCase { "JpegWithAGigabyteAfterIt",
            [](const TempFolder& d) {
                const std::string path = WriteJpeg(d.file("tail.jpg"), Gradient(640, 480));
                std::filesystem::resize_file(path, std::uintmax_t(1) << 30);
                return path;
            },
            640, true },
        FileDataCase { "PngWithAGigabyteAfterIt",
            [](const TempFolder& d) {
                const std::string path = WritePng(d.file("tail.png"), Gradient(640, 480));
                std::filesystem::resize_file(path, std::uintmax_t(1) << 30);
                return path;
            },
            640, true }),
    [](const auto& info) { return std::string(info.param.name); });

struct QualityCase {
    int32_t quality;
    bool valid;
};

class PictureQuality : public ::testing::TestWithParam<QualityCase> {};

TEST_P(PictureQuality, OnlyMinusOneAndZeroToHundred)
{
    TempFolder dir;
    for (int32_t format : { Picture::SaveAsJPEG, Picture::SaveAsPNG }) {
        const std::string path = dir.file("q" + std::to_string(format));
        if (GetParam().valid) {
            EXPECT_NO_THROW(smallPicture()->Save(FolderItem::FromPath(path), format, GetParam().quality));
            EXPECT_FALSE(ReadBack(path).isNull());
            continue;
        }
        try {
            smallPicture()->Save(FolderItem::FromPath(path), format, GetParam().quality);
            ADD_FAILURE() << "quality " << GetParam().quality << " accepted";
        } catch (const OutOfBoundsException& e) {
            EXPECT_STREQ(e.what(), "The compression value is out of range, valid values are 0-100");
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(Values, PictureQuality,
    ::testing::Values(QualityCase { -1, true }, QualityCase { 0, true }, QualityCase { 1, true },
        QualityCase { 80, true }, QualityCase { 100, true }, QualityCase { 101, false }, QualityCase { -2, false },
        QualityCase { INT32_MIN, false }, QualityCase { 1000, false }));

TEST(PictureSave, UnknownFormatWritesNothing)
{
    TempFolder dir;
    EXPECT_THROW(smallPicture()->Save(FolderItem::FromPath(dir.file("x")), 152, 80), OutOfBoundsException);
    EXPECT_THROW(smallPicture()->Save(FolderItem::FromPath(dir.file("x")), 0, 80), OutOfBoundsException);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

struct UnwritableCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make;
};

class PictureUnwritable : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(PictureUnwritable, RaisesIOException)
{
    TempFolder dir;
    const std::string path = GetParam().make(dir);
    for (int32_t format : { Picture::SaveAsJPEG, Picture::SaveAsPNG }) {
        try {
            smallPicture()->Save(FolderItem::FromPath(path), format, 80);
            ADD_FAILURE() << "saving to " << path << " succeeded";
        } catch (const IOException& e) {
            EXPECT_NE(e.ErrorNumber(), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, PictureUnwritable,
    ::testing::Values(UnwritableCase { "MissingFolder", [](const TempFolder& d) { return d.file("no/such/out.jpg"); } },
        UnwritableCase { "ParentIsAFile",
            [](const TempFolder& d) {
                WriteBytes(d.file("plain"), "x");
                return d.file("plain/out.jpg");
            } },
        UnwritableCase { "TargetIsAFolder",
            [](const TempFolder& d) {
                std::filesystem::create_directory(d.file("out.jpg"));
                return d.file("out.jpg");
            } }),
    [](const auto& info) { return std::string(info.param.name); });

// A folder that cannot be written: permission bits for a user, a read-only mount for root (for
// whom permission bits do not stop writes).
TEST(PictureUnwritable, ReadOnlyFolderRaisesIOException)
{
    TempFolder dir;
    const std::string folder = dir.file("ro");
    std::filesystem::create_directory(folder);
    bool mounted = false;
    if (::geteuid() == 0) {
        mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
        if (!mounted)
            GTEST_SKIP() << "running as root without the right to mount a read-only tmpfs";
    } else {
        ::chmod(folder.c_str(), 0555);
    }
    const std::string path = folder + "/out.png";
    EXPECT_THROW(smallPicture()->Save(FolderItem::FromPath(path), Picture::SaveAsPNG, -1), IOException);
    EXPECT_FALSE(std::filesystem::exists(path));
    if (mounted)
        ::umount(folder.c_str());
    else
        ::chmod(folder.c_str(), 0755);
}
