// Makes the picture benchmark's corpus: photographic-looking, high-entropy pictures (fractal
// plasma in correlated colour channels plus sensor-like noise), 24 JPEGs of 6000 x 4000 at
// quality 92 and 24 PNGs of 3000 x 2000 with a soft alpha channel.
//   picture_corpus <folder>     (makes <folder>/jpeg and <folder>/png; existing files are kept)
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Midpoint-displacement plasma: a coarse random grid, repeatedly doubled by bilinear
// interpolation with new detail at half the amplitude, so every scale carries structure.
std::vector<float> plasma(int width, int height, std::mt19937& rng, float roughness)
{
    int w = 6, h = 4;
    std::normal_distribution<float> normal(0.0f, 1.0f);
    std::vector<float> grid(size_t(w * h));
    for (float& v : grid)
        v = normal(rng);
    float amplitude = 0.6f;
    while (w < width || h < height) {
        const int nw = std::min(w * 2, width), nh = std::min(h * 2, height);
        std::vector<float> next(size_t(nw) * size_t(nh));
        for (int y = 0; y < nh; ++y) {
            const float fy = (y + 0.5f) * h / nh - 0.5f;
            const int y0 = std::clamp(int(std::floor(fy)), 0, h - 1), y1 = std::min(y0 + 1, h - 1);
            const float ty = std::clamp(fy - y0, 0.0f, 1.0f);
            for (int x = 0; x < nw; ++x) {
                const float fx = (x + 0.5f) * w / nw - 0.5f;
                const int x0 = std::clamp(int(std::floor(fx)), 0, w - 1), x1 = std::min(x0 + 1, w - 1);
                const float tx = std::clamp(fx - x0, 0.0f, 1.0f);
                const float top = grid[size_t(y0 * w + x0)] * (1 - tx) + grid[size_t(y0 * w + x1)] * tx;
                const float bottom = grid[size_t(y1 * w + x0)] * (1 - tx) + grid[size_t(y1 * w + x1)] * tx;
                next[size_t(y) * size_t(nw) + size_t(x)] = top * (1 - ty) + bottom * ty + amplitude * normal(rng);
            }
        }
        grid.swap(next);
        w = nw;
        h = nh;
        amplitude *= roughness;
    }
    return grid;
}

QImage photo(int width, int height, unsigned seed, bool alpha)
{
    std::mt19937 rng(seed);
    const std::vector<float> lum = plasma(width, height, rng, 0.62f);
    const std::vector<float> warm = plasma(width, height, rng, 0.55f);
    const std::vector<float> cool = plasma(width, height, rng, 0.5f);
    std::vector<float> mask;
    if (alpha)
        mask = plasma(width, height, rng, 0.45f);
    std::normal_distribution<float> noise(0.0f, 5.0f);
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const float hue = float(seed % 7) * 0.1f;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            const float l = 128 + 60 * lum[i];
            const float a = 30 * warm[i] + 20 * hue, b = 30 * cool[i];
            auto channel = [&](float v) { return std::clamp(int(std::lround(v + noise(rng))), 0, 255); };
            const int r = channel(l + a), g = channel(l - 0.5f * a - 0.3f * b), bl = channel(l + b);
            const int al = alpha ? std::clamp(int(std::lround(128 + 400 * mask[i])), 0, 255) : 255;
            line[x] = qRgba(r, g, bl, al);
        }
    }
    return image;
}

bool write(const QImage& image, const QString& path, const char* format, int quality)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    return writer.write(image);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath("jpeg");
    root.mkpath("png");
    for (unsigned i = 0; i < 24; ++i) {
        const QString jpeg = root.filePath(QString("jpeg/photo%1.jpg").arg(i, 2, 10, QChar('0')));
        if (!QFile::exists(jpeg) && !write(photo(6000, 4000, 1000 + i, false), jpeg, "jpeg", 92))
            return 1;
        const QString png = root.filePath(QString("png/cutout%1.png").arg(i, 2, 10, QChar('0')));
        if (!QFile::exists(png) && !write(photo(3000, 2000, 2000 + i, true), png, "png", 50))
            return 1;
        std::fprintf(stderr, "\rcorpus %u/24", i + 1);
    }
    std::fprintf(stderr, "\n");
    return 0;
}
