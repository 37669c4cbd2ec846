// A picture file known by its header, rendered at the size a draw asks for (JPEG through its
// planes and DCT scaling, other formats through Qt's readers).
#include "framework/image/source.h"

#include "framework/core/exceptions.h"
#include "framework/core/private/file_system.h"
#include "framework/image/colour.h"
#include "framework/image/exif.h"
#include "framework/image/jpeg.h"
#include "framework/image/resample.h"

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Qt refuses images above 256 MB by default; a 12000 x 9000 photo needs 432 MB as RGBA. Beyond
// the largest picture the framework makes, a file is refused as it is everywhere else (16-bit
// formats reach that at half the pixels).
constexpr int QtAllocationLimitMB = int((MaxImagePixels * 4) >> 20);
// No JPEG's compressed data comes near four bytes per sample (noise at quality 100 takes about
// one and a half); the allowance covers tables, thumbnails and the like.
constexpr int64_t JpegBytesPerSample = 4;
constexpr int64_t JpegReadAllowance = int64_t(16) << 20;
constexpr size_t JpegHeaderLimit = size_t(32) << 20;

// A read-only descriptor of a regular file (never a folder, FIFO or device, which could block
// or make no sense as a picture); closed on destruction.
struct RegularFile {
    FileSystem::OpenedFile opened;
    explicit RegularFile(const std::string& path)
        : opened(FileSystem::Open(path, FileSystem::OpenFor::Reading, FileSystem::Accept::RegularFilesOnly))
    {
    }
    int fd() const { return opened.fd.Get(); }

    // Appends up to `count` bytes; false on a read error.
    template<class Bytes>
    bool readMore(Bytes& into, size_t count)
    {
        const size_t start = into.size();
        into.resize(start + count);
        const FileSystem::Transfer read = FileSystem::ReadUpTo(fd(), into.data() + start, count);
        into.resize(start + read.done);
        return read.error == 0;
    }
};

int32_t orientationOf(QImageIOHandler::Transformations t)
{
    switch (int(t)) {
    case QImageIOHandler::TransformationMirror: return 2;
    case QImageIOHandler::TransformationRotate180: return 3;
    case QImageIOHandler::TransformationFlip: return 4;
    case QImageIOHandler::TransformationFlipAndRotate90: return 5;
    case QImageIOHandler::TransformationRotate90: return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90: return 7;
    case QImageIOHandler::TransformationRotate270: return 8;
    default: return 1;
    }
}

// A file that gives no more bytes once `stop` is set: Qt's readers cannot be told to stop, but a
// decoder that works ahead for a run then gives up at its next read instead of decoding the rest
// of a large picture that nobody will draw (and that quitting would wait for).
class StoppableFile final : public QFile {
public:
    explicit StoppableFile(const std::atomic<bool>* stop)
        : m_stop(stop)
    {
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_stop && m_stop->load(std::memory_order_relaxed))
            return -1;
        return QFile::readData(data, maxSize);
    }

private:
    const std::atomic<bool>* m_stop;
};

// The kind of picture the bytes start as, by the signature of its format; null for none. Such a
// file that cannot be read is a damaged picture, not a file to pass over.
const char* signatureKind(const std::vector<uint8_t>& head)
{
    const auto startsWith = [&](size_t at, const char* bytes, size_t n) {
        return head.size() >= at + n && std::memcmp(head.data() + at, bytes, n) == 0;
    };
    if (LooksLikeJpeg(head.data(), head.size()))
        return "JPEG";
    if (startsWith(0, "\x89PNG\r\n\x1A\n", 8))
        return "PNG";
    if (startsWith(0, "GIF87a", 6) || startsWith(0, "GIF89a", 6))
        return "GIF";
    if (startsWith(0, "RIFF", 4) && startsWith(8, "WEBP", 4))
        return "WebP";
    if (startsWith(0, "II*\0", 4) || startsWith(0, "MM\0*", 4))
        return "TIFF";
    // "BM" alone starts many a text; the size of the header that follows makes it a bitmap.
    if (startsWith(0, "BM", 2) && head.size() >= 18) {
        const uint32_t info = uint32_t(head[14]) | uint32_t(head[15]) << 8 | uint32_t(head[16]) << 16 | uint32_t(head[17]) << 24;
        for (uint32_t known : { 12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u }) {
            if (info == known)
                return "BMP";
        }
    }
    return nullptr;
}

// Said as a draw that fails says it: the run names the item beside the reason.
[[noreturn]] void raiseDamaged(const std::string& reason)
{
    throw IOException(reason);
}

void raiseQtLimit()
{
    static const bool raised = [] {
        QImageReader::setAllocationLimit(QtAllocationLimitMB);
        return true;
    }();
    (void)raised;
}

} // namespace

// Decoded pixels in stored orientation: a JPEG's planes as its decoder gives them, or a QImage
// viewed in place.
struct SourceDecoder {
    std::unique_ptr<JpegPlanes> planes;
    QImage image;
    PixelView view;
    std::vector<uint8_t> icc;

    static SourceDecoder decode(const ImageSource& source, double minWidth, double minHeight, const std::atomic<bool>* stop)
    {
        SourceDecoder d;
        if (source.m_kind == ImageSource::Kind::Jpeg) {
            const JpegScale scale = ChooseJpegScale(source.m_storedWidth, source.m_storedHeight, minWidth, minHeight);
            // Decoded as the resampler takes the rows: the picture is never held whole.
            d.planes = std::make_unique<JpegPlanes>(source.ReadFile(), scale, stop);
            if (d.planes->Width() != scale.Scaled(source.m_storedWidth) || d.planes->Height() != scale.Scaled(source.m_storedHeight))
                throw ImageCodecError("The picture file changed after it was opened.");
            d.icc = source.m_icc;
            return d;
        }
        // Straight from the file: the reader takes what it needs, never the whole file at once.
        RegularFile file(source.m_path);
        StoppableFile device(stop);
        if (file.fd() < 0 || !device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            throw ImageCodecError("The picture file cannot be opened any more.");
        QImageReader reader(&device);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(false);
        // Qt decodes every pixel: a file that now claims another size is refused unread.
        if (reader.size() != QSize(source.m_storedWidth, source.m_storedHeight))
            throw ImageCodecError("The picture file changed after it was opened.");
        d.image = reader.read();
        if (d.image.isNull() && stop && stop->load())
            throw ImageCodecError("The decoding was stopped.");
        if (d.image.isNull())
            throw ImageCodecError("The picture file cannot be decoded: " + reader.errorString().toStdString());
        if (d.image.width() != source.m_storedWidth || d.image.height() != source.m_storedHeight)
            throw ImageCodecError("The picture file changed after it was opened.");
        const QColorSpace space = d.image.colorSpace();
        if (space.isValid()) {
            const QByteArray icc = space.iccProfile();
            if (!icc.isEmpty() && IsRgbProfile(std::vector<uint8_t>(icc.begin(), icc.end())))
                d.icc.assign(icc.begin(), icc.end());
            else if (space != QColorSpace(QColorSpace::SRgb))
                d.image.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
        }
        switch (d.image.format()) {
        case QImage::Format_ARGB32:
        case QImage::Format_RGB32:
        case QImage::Format_RGBA8888:
        case QImage::Format_RGBX8888:
            break;
        default:
            d.image = d.image.convertToFormat(d.image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        }
        if (d.image.isNull())
            throw std::bad_alloc();
        const QImage::Format f = d.image.format();
        d.view = { d.image.constBits(), d.image.width(), d.image.height(), ptrdiff_t(d.image.bytesPerLine()),
            f == QImage::Format_ARGB32 || f == QImage::Format_RGB32,
            f == QImage::Format_ARGB32 || f == QImage::Format_RGBA8888 };
        return d;
    }
};

std::shared_ptr<const ImageSource> ImageSource::Probe(const std::string& path)
{
    raiseQtLimit();
    RegularFile file(path);
    // A file that is there and may not be read could well be a picture: that is a failure to
    // tell, not a file to pass over. A folder, or a file gone meanwhile, is no picture.
    const int openError = file.opened.error;
    if (openError != 0 && openError != ENOENT && FileSystem::IdentityOf(path))
        throw IOException("The file \"" + path + "\" cannot be read: " + FileSystem::ErrorText(openError), openError);
    if (openError != 0 || file.opened.size == 0)
        return nullptr;
    auto source = std::make_shared<ImageSource>();
    source->m_path = path;
    source->m_fileSize = file.opened.size;
    std::vector<uint8_t> head;
    if (!file.readMore(head, 64 * 1024) || head.empty())
        return nullptr;

    const char* kind = signatureKind(head);
    if (LooksLikeJpeg(head.data(), head.size())) {
        JpegHeader header;
        JpegScan scan = ScanJpegHeader(head.data(), head.size(), header);
        while (scan == JpegScan::NeedMore && head.size() < JpegHeaderLimit) {
            const size_t before = head.size();
            if (!file.readMore(head, head.size()) || head.size() == before)
                break;
            scan = ScanJpegHeader(head.data(), head.size(), header);
        }
        if (scan == JpegScan::NeedMore && head.size() >= JpegHeaderLimit)
            raiseDamaged("The JPEG file's header is too long to be read.");
        if (scan == JpegScan::NeedMore)
            raiseDamaged("The JPEG file is incomplete: it ends inside its header.");
        if (scan != JpegScan::Done)
            raiseDamaged(header.problem.empty() ? "The JPEG file's header cannot be read." : header.problem);
        if (!FitsImageLimits(header.width, header.height))
            raiseDamaged(TooLargeToOpen(header.width, header.height));
        if (!header.cmyk) {
            source->m_kind = Kind::Jpeg;
            source->m_storedWidth = header.width;
            source->m_storedHeight = header.height;
            source->m_orientation = header.orientation;
            source->m_transposed = OrientationTransposes(header.orientation);
            if (IsRgbProfile(header.icc))
                source->m_icc = std::move(header.icc);
            source->m_jpegHeaderEnd = header.headerEnd;
            source->m_jpegReadLimit = size_t(std::min(header.samples, MaxImagePixels) * JpegBytesPerSample + JpegReadAllowance);
            source->m_jpegCoefficientBytes = header.wholeFrame ? header.samples * 2 : 0;
            return source;
        }
        // CMYK goes through Qt's reader, which converts it to RGB.
    }

    if (!FileSystem::Rewind(file.fd()))
        return nullptr;
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return nullptr;
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    const bool readable = reader.canRead();
    const QSize size = readable ? reader.size() : QSize();
    if (!size.isValid() || size.width() < 1 || size.height() < 1) {
        if (!kind)
            return nullptr;
        const QString why = reader.errorString();
        raiseDamaged(std::string("The ") + kind + " file is damaged or of a kind that cannot be read"
                + (reader.error() == QImageReader::UnknownError || why.isEmpty() ? "." : " (" + why.toStdString() + ")."));
    }
    if (!FitsImageLimits(size.width(), size.height()))
        raiseDamaged(TooLargeToOpen(size.width(), size.height()));
    source->m_kind = Kind::Qt;
    source->m_storedWidth = size.width();
    source->m_storedHeight = size.height();
    source->m_orientation = orientationOf(reader.transformation());
    source->m_transposed = OrientationTransposes(source->m_orientation);
    const QImage::Format format = reader.imageFormat();
    source->m_hasAlpha = format == QImage::Format_Invalid || QImage(1, 1, format).hasAlphaChannel();
    if (format != QImage::Format_Invalid)
        source->m_decodedBytesPerPixel = std::max(4, QImage(1, 1, format).depth() / 8);
    return source;
}

FileBytes ImageSource::ReadFile() const
{
    RegularFile file(m_path);
    if (file.fd() < 0)
        throw ImageCodecError("The picture file cannot be opened any more.");
    FileBytes bytes;
    if (!file.readMore(bytes, std::min(size_t(file.opened.size), m_jpegReadLimit)))
        throw ImageCodecError("The picture file cannot be read.");
    // Without its end the decoder refuses the picture as incomplete.
    size_t end = m_jpegHeaderEnd;
    if (bytes.size() >= 2 && !(bytes[bytes.size() - 2] == 0xFF && bytes.back() == 0xD9)
        && FindJpegEnd(bytes.data(), bytes.size(), end))
        bytes.resize(end);
    return bytes;
}

int64_t ImageSource::RenderBytes(int32_t gridWidth, int32_t gridHeight) const
{
    // The result, and the source rows that the filter holds as floats (a few dozen rows of at
    // most the stored width, four floats a pixel, and no more than a few megabytes).
    const int64_t filterRows = std::min<int64_t>(int64_t(m_storedWidth) * 16 * 32, int64_t(4) << 20);
    const int64_t result = int64_t(gridWidth) * gridHeight * 4 + filterRows;
    if (m_kind == Kind::Jpeg) {
        // The file's bytes, a progressive frame's coefficients (in blocks padded to whole MCUs),
        // and a band of decoded rows of each plane.
        return std::min<int64_t>(m_fileSize, int64_t(m_jpegReadLimit)) + m_jpegCoefficientBytes * 9 / 8
            + int64_t(m_storedWidth) * 3 * 32 + result;
    }
    // Qt decodes the whole picture, in its own format, and converts it to 32 bits or works in a
    // buffer of its own of that size (libwebp's lossless decoder does), with rows and tables of
    // the decoder's besides.
    return int64_t(m_storedWidth) * m_storedHeight * (m_decodedBytesPerPixel + 4) * 9 / 8 + result;
}

std::shared_ptr<ImageBuffer> ImageSource::Render(SourceRect rect, int32_t gridWidth, int32_t gridHeight, PixelRect window,
    const std::atomic<bool>* stop) const
{
    const SourceRect stored = UprightToStored(rect, m_orientation, m_storedWidth, m_storedHeight);
    const int32_t storedGridWidth = m_transposed ? gridHeight : gridWidth;
    const int32_t storedGridHeight = m_transposed ? gridWidth : gridHeight;
    const PixelRect storedWindow = UprightToStored(window, m_orientation, storedGridWidth, storedGridHeight);
    // Decode to at least twice the grid, so the final filter still has a factor of two to work
    // with and the decoder's coarser scaling leaves no trace.
    const double minWidth = 2.0 * storedGridWidth * m_storedWidth / stored.width;
    const double minHeight = 2.0 * storedGridHeight * m_storedHeight / stored.height;
    SourceDecoder d = SourceDecoder::decode(*this, minWidth, minHeight, stop);
    std::shared_ptr<ImageBuffer> result;
    if (d.planes) {
        // Each plane takes the rectangle in its own samples: the chroma of a JPEG is resampled
        // straight from its own resolution.
        std::vector<PlaneView> planes;
        for (int32_t i = 0; i < d.planes->PlaneCount(); ++i) {
            const JpegPlanes::Plane& p = d.planes->PlaneAt(i);
            planes.push_back({ nullptr, p.width, p.height, 0, &d.planes->Rows(i),
                { stored.x * p.scaleX, stored.y * p.scaleY, stored.width * p.scaleX, stored.height * p.scaleY } });
        }
        result = ResamplePlanes(planes, d.planes->Colours(), storedGridWidth, storedGridHeight, storedWindow);
    } else {
        // Qt decodes every pixel: the view is the stored picture itself.
        result = ResampleLanczos3(d.view, stored, storedGridWidth, storedGridHeight, storedWindow);
    }
    result->icc = d.icc;
    return Orient(std::move(result), m_orientation);
}
