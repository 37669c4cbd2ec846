// Resampling quality on real pictures: each picture scaled to at most 800 pixels on its biggest
// side through Picture (shrink on load, then our filter), against a reference made from the full
// decode with a textbook Lanczos3 in double precision (the kernel widened by the shrink factor,
// taps beyond the edge dropped and the rest renormalised). Prints the PSNR over R, G and B of each
// picture, and the minimum and median.
//   picture_quality <picture>...
#include "framework/image/picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

double lanczos3(double x)
{
    x = std::fabs(x);
    if (x < 1e-12)
        return 1;
    if (x >= 3)
        return 0;
    return 3 * std::sin(M_PI * x) * std::sin(M_PI * x / 3) / (M_PI * M_PI * x * x);
}

// One axis of the reference: `lines` lines of `inLength` samples (3 channels) to `outLength`,
// along rows (x) when `alongRows`, else along columns.
std::vector<double> resizeAxis(const std::vector<double>& in, int inWidth, int inHeight, int outLength, bool alongRows)
{
    const int inLength = alongRows ? inWidth : inHeight;
    const int outWidth = alongRows ? outLength : inWidth, outHeight = alongRows ? inHeight : outLength;
    const double scale = double(inLength) / outLength, widen = std::max(scale, 1.0);
    std::vector<double> out(size_t(outWidth) * size_t(outHeight) * 3);
    std::vector<double> w;
    for (int i = 0; i < outLength; ++i) {
        const double centre = (i + 0.5) * scale;
        const int lo = std::max(0, int(std::floor(centre - 3 * widen)));
        const int hi = std::min(inLength, int(std::ceil(centre + 3 * widen)));
        w.clear();
        double sum = 0;
        for (int j = lo; j < hi; ++j)
            sum += w.emplace_back(lanczos3((j + 0.5 - centre) / widen));
        const int lines = alongRows ? inHeight : inWidth;
        for (int line = 0; line < lines; ++line) {
            double v[3] = { 0, 0, 0 };
            for (int j = lo; j < hi; ++j) {
                const size_t at = alongRows ? (size_t(line) * size_t(inWidth) + size_t(j)) * 3
                                            : (size_t(j) * size_t(inWidth) + size_t(line)) * 3;
                for (int c = 0; c < 3; ++c)
                    v[c] += w[size_t(j - lo)] * in[at + size_t(c)];
            }
            const size_t to = alongRows ? (size_t(line) * size_t(outWidth) + size_t(i)) * 3
                                        : (size_t(i) * size_t(outWidth) + size_t(line)) * 3;
            for (int c = 0; c < 3; ++c)
                out[to + size_t(c)] = v[c] / sum;
        }
    }
    return out;
}

QImage reference(const QImage& full, int width, int height)
{
    const QImage rgb = full.convertToFormat(QImage::Format_RGB888);
    std::vector<double> in(size_t(rgb.width()) * size_t(rgb.height()) * 3);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width() * 3; ++x)
            in[size_t(y) * size_t(rgb.width()) * 3 + size_t(x)] = line[x];
    }
    const std::vector<double> h = resizeAxis(in, rgb.width(), rgb.height(), width, true);
    const std::vector<double> v = resizeAxis(h, width, rgb.height(), height, false);
    QImage out(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            line[x] = uchar(std::lround(std::clamp(v[size_t(y) * size_t(width) * 3 + size_t(x)], 0.0, 255.0)));
    }
    return out;
}

double psnr(const QImage& a, const QImage& b)
{
    const QImage ra = a.convertToFormat(QImage::Format_RGB888), rb = b.convertToFormat(QImage::Format_RGB888);
    double se = 0;
    for (int y = 0; y < ra.height(); ++y) {
        const uchar* p = ra.constScanLine(y);
        const uchar* q = rb.constScanLine(y);
        for (int x = 0; x < ra.width() * 3; ++x)
            se += double(p[x] - q[x]) * double(p[x] - q[x]);
    }
    const double mse = se / (double(ra.width()) * ra.height() * 3);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <picture>...\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir out;
    std::vector<double> values;
    for (int i = 1; i < argc; ++i) {
        const Ref<Picture> source = Picture::Open(FolderItem::FromPath(argv[i]));
        QImage full(QString::fromLocal8Bit(argv[i]));
        if (!source || full.isNull()) {
            std::fprintf(stderr, "not a picture: %s\n", argv[i]);
            continue;
        }
        const int32_t sw = source->Width(), sh = source->Height();
        const double k = 800.0 / std::max(sw, sh);
        const int32_t nw = std::max(1, int32_t(sw * k)), nh = std::max(1, int32_t(sh * k));
        const Ref<Picture> target = NewPicture(nw, nh, 32);
        target->Graphics()->DrawPicture(source, 0, 0, nw, nh, 0, 0, sw, sh);
        const std::string saved = out.filePath("out.png").toStdString();
        target->Save(FolderItem::FromPath(saved), Picture::SaveAsPNG);
        const double value = psnr(QImage(QString::fromStdString(saved)), reference(full, nw, nh));
        values.push_back(value);
        std::printf("%-40s %6.2f dB\n", argv[i], value);
        std::fflush(stdout);
    }
    if (values.empty())
        return 1;
    std::sort(values.begin(), values.end());
    std::printf("PSNR against a full-decode Lanczos3: min %.2f dB, median %.2f dB over %zu pictures\n", values.front(),
        values[values.size() / 2], values.size());
    return 0;
}
