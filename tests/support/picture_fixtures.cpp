// Test pictures made with Qt, and the statistics their checks need.
#include "tests/support/picture_fixtures.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>
// libjpeg's header needs the types of <cstdio> first.
#include <jpeglib.h>

namespace fixtures {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quobly-picture-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = 30 + 190 * x / std::max(width - 1, 1);
            const int g = 40 + 170 * y / std::max(height - 1, 1);
            const int b = 60 + 120 * (x + y) / std::max(width + height - 2, 1);
            line[x] = qRgb(r, g, b);
        }
    }
    return image;
}

QImage Flat(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage Marked(int width, int height, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int a = alpha ? 255 * x / std::max(1, width - 1) : 255;
            QColor c(255 * x / std::max(1, width), 255 * y / std::max(1, height), (x * 7 + y * 13) % 256, a);
            if (x < width / 4 && y < height / 4)
                c = QColor(255, 0, 0, a);
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            image.setPixel(x, y, !bottom ? (right ? qRgb(0, 200, 0) : qRgb(220, 0, 0)) : (right ? qRgb(255, 255, 255) : qRgb(0, 0, 220)));
        }
    return image;
}

QImage SoftDisc(int width, int height, double edge)
{
    QImage image(width, height, QImage::Format_ARGB32);
    const double cx = width / 2.0, cy = height / 2.0, radius = std::min(width, height) / 2.0 - edge - 1;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double a = std::clamp((radius + edge - d) / edge, 0.0, 1.0);
            const int alpha = int(std::lround(a * 255));
            line[x] = alpha == 0 ? qRgba(0, 0, 0, 0) : qRgba(255, 0, 0, alpha);
        }
    }
    return image;
}

std::string WriteBytes(const std::string& path, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path);
    return path;
}

QByteArray ReadBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::string WriteJpeg(const std::string& path, const QImage& image, int quality, int orientation)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        throw std::runtime_error("cannot encode " + path);
    if (orientation >= 2 && orientation <= 8) {
        // APP1 with a big-endian TIFF header and one IFD entry: Orientation, SHORT, inline.
        const unsigned char app1[] = { 0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
            0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, (unsigned char)orientation, 0, 0, 0, 0, 0, 0 };
        int at = 2;
        if (uchar(bytes[2]) == 0xFF && uchar(bytes[3]) == 0xE0)
            at = 4 + (uchar(bytes[4]) << 8 | uchar(bytes[5]));
        bytes.insert(at, reinterpret_cast<const char*>(app1), int(sizeof app1));
    }
    return WriteBytes(path, bytes);
}

std::string WriteJpeg(const std::string& path, const QImage& image, const JpegLayout& layout, int quality)
{
    const bool cmyk = layout.colours == JpegLayout::Colours::Cmyk;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, layout.colours == JpegLayout::Colours::Grey ? JCS_GRAYSCALE
            : layout.colours == JpegLayout::Colours::Rgb                  ? JCS_RGB
            : cmyk                                                        ? JCS_CMYK
                                                                          : JCS_YCbCr);
    info.comp_info[0].h_samp_factor = layout.lumaAcross;
    info.comp_info[0].v_samp_factor = layout.lumaDown;
    for (int c = 1; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_set_quality(&info, quality, TRUE);
    if (layout.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> inks(size_t(rgb.width()) * 4);
    for (int y = 0; y < rgb.height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(y));
        if (cmyk) {
            // The naive separation, stored inverted as Adobe's programs write CMYK.
            for (int x = 0; x < rgb.width(); ++x) {
                const JSAMPLE* pixel = row + 3 * x;
                const int white = std::max({ pixel[0], pixel[1], pixel[2] });
                for (int c = 0; c < 3; ++c)
                    inks[4 * x + c] = JSAMPLE(white == 0 ? 255 : 255 - (white - pixel[c]) * 255 / white);
                inks[4 * x + 3] = JSAMPLE(white);
            }
            row = inks.data();
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return path;
}

std::string WritePng(const std::string& path, const QImage& image)
{
    QImageWriter writer(QString::fromStdString(path), "png");
    writer.setQuality(90); // light compression: these are test files
    if (!writer.write(image))
        throw std::runtime_error("cannot write " + path);
    return path;
}

namespace {

uint32_t crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian32(QByteArray& bytes, qsizetype at, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = char(value >> (24 - 8 * k));
}

} // namespace

QByteArray QtEncoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QByteArray PngClaiming(uint32_t width, uint32_t height)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Marked(8, 8).save(&buffer, "PNG");
    // Signature (8), IHDR length (4), "IHDR" (4), width, height ..., CRC over type and data.
    putBigEndian32(png, 16, width);
    putBigEndian32(png, 20, height);
    putBigEndian32(png, 29, crc32(png.mid(12, 17)));
    return png;
}

QByteArray WideGamutProfile()
{
    return QColorSpace(QColorSpace::AdobeRgb).iccProfile();
}

QImage ReadBack(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(false);
    return reader.read();
}

QImage ReadUpright(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    return reader.read();
}

std::array<double, 4> MeanColour(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::array<double, 4> sum {};
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            sum[0] += qRed(line[x]);
            sum[1] += qGreen(line[x]);
            sum[2] += qBlue(line[x]);
            sum[3] += qAlpha(line[x]);
        }
    }
    const double n = double(argb.width()) * argb.height();
    for (double& v : sum)
        v /= n;
    return sum;
}

double Psnr(const QImage& a, const QImage& b)
{
    const QImage ga = a.convertToFormat(QImage::Format_RGB32), gb = b.convertToFormat(QImage::Format_RGB32);
    double se = 0;
    for (int y = 0; y < ga.height(); ++y)
        for (int x = 0; x < ga.width(); ++x) {
            const double d = qRed(ga.pixel(x, y)) - qRed(gb.pixel(x, y));
            se += d * d;
        }
    const double mse = se / (double(ga.width()) * ga.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}
