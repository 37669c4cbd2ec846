// Writes a fixed set of pictures through the run's own path: open, draw the colour and the mask at
// a new size, save as JPEG and as PNG. Two builds of the program run on one machine pick the same
// filter code and must write the same bytes, whatever their optimisation.
//   picture_outputs <empty output folder>
#include "framework/image/picture.h"
#include "tests/support/picture_fixtures.h"

#include <QColorSpace>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using fixtures::JpegLayout;

struct Source {
    const char* name;
    // Writes the source picture at the path given, without its extension; returns its path.
    std::function<std::string(const std::string&)> write;
    // The size drawn, a fraction of the upright source's: downscales, upscales and odd ratios.
    double across, down;
};

QImage inColourSpace(QImage image, QColorSpace::NamedColorSpace space)
{
    image.setColorSpace(QColorSpace(space));
    return image;
}

QImage sixteenBit(int width, int height)
{
    return fixtures::Marked(width, height, true).convertToFormat(QImage::Format_RGBA64);
}

const Source sources[] = {
    { "jpeg-420", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Gradient(700, 500), JpegLayout {}); }, 0.37, 0.37 },
    { "jpeg-422", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Marked(640, 480), JpegLayout { .lumaDown = 1 }); }, 1.6, 1.6 },
    { "jpeg-progressive", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Gradient(800, 600), JpegLayout { .progressive = true }); }, 0.125, 0.125 },
    { "jpeg-grey", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Gradient(513, 389), JpegLayout { .colours = JpegLayout::Colours::Grey, .lumaAcross = 1, .lumaDown = 1 }); }, 0.5, 0.31 },
    { "jpeg-cmyk", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Quadrants(300, 200), JpegLayout { .colours = JpegLayout::Colours::Cmyk, .lumaAcross = 1, .lumaDown = 1 }); }, 0.77, 0.77 },
    { "jpeg-rotated", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Marked(640, 480), 90, 6); }, 0.41, 0.41 },
    { "jpeg-wide-gamut", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", inColourSpace(fixtures::Gradient(600, 400), QColorSpace::AdobeRgb), 92); }, 0.6, 0.6 },
    { "jpeg-tiny", [](const std::string& p) { return fixtures::WriteJpeg(p + ".jpg", fixtures::Marked(37, 23), 95); }, 8.1, 7.3 },
    { "png-alpha", [](const std::string& p) { return fixtures::WritePng(p + ".png", fixtures::SoftDisc(600, 400, 12)); }, 0.29, 0.29 },
    { "png-alpha-up", [](const std::string& p) { return fixtures::WritePng(p + ".png", fixtures::Marked(90, 70, true)); }, 3.3, 2.9 },
    { "png-16-bit", [](const std::string& p) { return fixtures::WritePng(p + ".png", sixteenBit(450, 300)); }, 0.67, 0.67 },
    { "png-display-p3", [](const std::string& p) { return fixtures::WritePng(p + ".png", inColourSpace(fixtures::Marked(400, 300, true), QColorSpace::DisplayP3)); }, 0.45, 1.2 },
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <empty output folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string out = argv[1];
    std::filesystem::create_directories(out + "/sources");
    int failed = 0;
    for (const Source& source : sources) {
        try {
            Ref<Picture> picture = Picture::Open(FolderItem::FromPath(source.write(out + "/sources/" + source.name)));
            if (!picture)
                throw RuntimeException("not opened as a picture");
            const int32_t sw = picture->Width(), sh = picture->Height();
            const int32_t w = std::max(1, int32_t(sw * source.across)), h = std::max(1, int32_t(sh * source.down));
            Ref<Picture> target = NewPicture(w, h, 32);
            target->Graphics()->DrawPicture(picture, 0, 0, w, h, 0, 0, sw, sh);
            target->Mask(true)->Graphics()->DrawPicture(picture->Mask(true), 0, 0, w, h, 0, 0, sw, sh);
            const std::string name = out + "/" + source.name;
            target->Save(FolderItem::FromPath(name + ".jpg"), Picture::SaveAsJPEG, 80);
            target->Save(FolderItem::FromPath(name + ".png"), Picture::SaveAsPNG);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", source.name, e.what());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
