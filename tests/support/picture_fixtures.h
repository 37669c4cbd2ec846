#pragma once

// Pictures for tests, made with Qt: JPEG and PNG files of a given size, with alpha, with an EXIF
// orientation, with an ICC profile; and the reading and statistics the checks need.

#include <QByteArray>
#include <QImage>

#include <array>
#include <string>

namespace fixtures {

// A fresh, empty temporary folder, removed when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A smooth colour picture: gradients in red and green, a diagonal in blue.
QImage Gradient(int width, int height);
// One colour everywhere.
QImage Flat(int width, int height, QColor colour);
// A gradient with a red mark over its top left quarter, so that scaling and orientation show;
// with `alpha`, transparent at the left edge and opaque at the right.
QImage Marked(int width, int height, bool alpha = false);
// Four quadrants in red, green, blue and white (top left, top right, bottom left, bottom right).
QImage Quadrants(int width, int height);
// A red disc whose edge fades to transparent over `edge` pixels; transparent pixels are black,
// so any colour that leaks from them shows as a dark fringe.
QImage SoftDisc(int width, int height, double edge);

// Writes `image` as JPEG (with an EXIF orientation when 2..8, and the ICC profile of its colour
// space when it has one) or PNG; returns the path.
std::string WriteJpeg(const std::string& path, const QImage& image, int quality = 95, int orientation = 1);
std::string WritePng(const std::string& path, const QImage& image);

// How a JPEG is laid out inside: its colour space (CMYK as a naive separation of the picture) and
// the sampling factors of its first component (the others take one by one), as cameras, editors
// and scanners write them.
struct JpegLayout {
    enum class Colours { YCbCr, Rgb, Grey, Cmyk };
    Colours colours { Colours::YCbCr };
    int lumaAcross { 2 };
    int lumaDown { 2 };
    bool progressive { false };
};
// Writes `image` as a JPEG of that layout (through libjpeg itself, which Qt's writer does not
// expose); returns the path.
std::string WriteJpeg(const std::string& path, const QImage& image, const JpegLayout& layout, int quality = 95);
std::string WriteBytes(const std::string& path, const QByteArray& bytes);
// The picture as Qt's writer for `format` ("webp", "tiff", "bmp"...) encodes it.
QByteArray QtEncoded(const QImage& image, const char* format);
// A small PNG whose header claims `width` x `height` (its checksum made to match).
QByteArray PngClaiming(uint32_t width, uint32_t height);
QByteArray ReadBytes(const std::string& path);

// A wide-gamut (Adobe RGB) ICC profile, made by Qt.
QByteArray WideGamutProfile();

// The file as stored: no orientation applied, no colour conversion. Null when unreadable.
QImage ReadBack(const std::string& path);
// The file as an upright picture, the way Qt's own reader turns it.
QImage ReadUpright(const std::string& path);

// Mean of red, green, blue and alpha over the picture.
std::array<double, 4> MeanColour(const QImage& image);
// Peak signal-to-noise ratio of two grey pictures of one size (their red channels), in dB.
double Psnr(const QImage& a, const QImage& b);

}
