// Pictures and their graphics: opening, drawing, masks and saving.
#include "framework/image/picture.h"

#include "framework/core/private/atomic_file.h"
#include "framework/image/colour.h"
#include "framework/image/jpeg.h"
#include "framework/image/png.h"
#include "framework/image/private/read_ahead.h"
#include "framework/image/picture_data.h"
#include "framework/image/private/save_queue.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t DefaultJpegQuality = 80;

// From this size on a picture is encoded on a worker (about 8 ms of JPEG encoding).
constexpr int64_t EncodeOnWorkerPixels = int64_t(1) << 20;

[[noreturn]] void raiseOutOfMemory()
{
    throw RuntimeException("There is not enough memory for this picture.");
}

// Writes the whole file or raises IOException: a failed, killed or cut-off save never leaves a
// partial picture under the name.
void writeWholeFile(AtomicFile& file, const std::vector<uint8_t>& bytes)
{
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

} // namespace

Picture::Picture(std::shared_ptr<PictureData> data, bool isMask) : m_data(std::move(data)), m_isMask(isMask) {}

Ref<Picture> Picture::Open(const Ref<FolderItem>& file)
{
    if (!file)
        return nullptr;
    std::shared_ptr<const ImageSource> source;
    try {
        source = ImageSource::Probe(file->NativePath());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!source)
        return nullptr;
    auto data = std::make_shared<PictureData>();
    data->width = source->Width();
    data->height = source->Height();
    data->hasMask = source->HasAlpha();
    data->source = std::move(source);
    return MakeRef<Picture>(std::move(data));
}

int32_t Picture::Width() const { return m_data->width; }
int32_t Picture::Height() const { return m_data->height; }
int32_t Picture::Depth() const { return m_data->depth; }

Ref<::Graphics> Picture::Graphics()
{
    return MakeRef<::Graphics>(Ref<Picture>(shared_from_this()));
}

Ref<Picture> Picture::Mask(bool make)
{
    // A mask has no mask of its own.
    if (m_isMask)
        return nullptr;
    if (!m_data->hasMask) {
        if (!make)
            return nullptr;
        // A made mask is fully opaque: nothing to store until something is drawn into it.
        m_data->hasMask = true;
    }
    return MakeRef<Picture>(m_data, true);
}

void Picture::Save(const Ref<FolderItem>& file, int32_t format, int32_t quality)
{
    if (quality < -1 || quality > 100)
        throw OutOfBoundsException("The compression value is out of range, valid values are 0-100");
    if (format != SaveAsPNG && format != SaveAsJPEG)
        throw OutOfBoundsException("The picture format is unknown, valid values are 150 (PNG) and 151 (JPEG)");
    const std::string path = file->NativePath();
    std::vector<uint8_t> bytes;
    try {
        std::shared_ptr<ImageBuffer> image = m_data->Snapshot(m_isMask);
        const std::vector<uint8_t> icc = m_isMask ? std::vector<uint8_t>() : m_data->icc;
        const auto encode = [&] {
            const bool transparent = image->AnyTransparent();
            if (format == SaveAsJPEG) {
                if (transparent)
                    image = FlattenOntoWhite(*image);
                bytes = EncodeJpeg(*image, quality < 0 ? DefaultJpegQuality : std::max(quality, 1), icc);
            } else {
                bytes = EncodePng(*image, transparent, icc);
            }
        };
        // A large picture takes a good part of a second to encode: a worker does it meanwhile the
        // window keeps answering.
        if (int64_t(image->width) * image->height >= EncodeOnWorkerPixels)
            ReadAhead::RunOnWorker(encode);
        else
            encode();
    } catch (const ImageCodecError& error) {
        throw IOException("The picture cannot be saved as \"" + path + "\": " + error.what());
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    // In a folder held open (a run's output folder) the picture is made relative to the folder
    // and takes its name only if nothing bears it at that instant (NameTakenException otherwise),
    // never through a link; a file named by its path alone is replaced as the path leads.
    if (const std::shared_ptr<const FolderHandle>& folder = file->heldFolder()) {
        // A slow disk's write and sync must not hold the window: a run's picture is committed on a
        // worker while the run goes on.
        if (SaveQueue::Takes())
            return SaveQueue::Add(folder, file->Name(), std::move(bytes));
        AtomicFile whole(folder, file->Name());
        writeWholeFile(whole, bytes);
        SaveQueue::AddDone(folder, file->Name());
    } else {
        AtomicFile whole(path);
        writeWholeFile(whole, bytes);
    }
}

namespace {

std::vector<Picture::SaveEnded> endedSaves(const std::shared_ptr<const FolderHandle>& folder, bool wait)
{
    std::vector<Picture::SaveEnded> ended;
    if (!folder)
        return ended;
    for (SaveQueue::Ended& save : SaveQueue::Take(*folder, wait))
        ended.push_back({ std::move(save.name), std::move(save.error) });
    return ended;
}

} // namespace

std::vector<Picture::SaveEnded> Picture::EndedSaves(const Ref<FolderItem>& folder)
{
    return endedSaves(folder->held(), false);
}

std::vector<Picture::SaveEnded> Picture::EndSaves(const Ref<FolderItem>& folder)
{
    return endedSaves(folder->held(), true);
}

Ref<Picture> NewPicture(int32_t width, int32_t height, int32_t depth)
{
    if (width < 1 || height < 1 || int64_t(width) * height > MaxImagePixels)
        return nullptr;
    auto data = std::make_shared<PictureData>();
    data->width = width;
    data->height = height;
    data->depth = depth;
    return MakeRef<Picture>(std::move(data));
}

void Graphics::DrawPicture(const Ref<Picture>& source, int32_t x, int32_t y, int32_t width, int32_t height,
    int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    PictureData& s = *source->Data();
    PictureData& t = *m_target->Data();
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;

    // Only the part of the source rectangle that lies on the source is drawn, into the matching
    // part of the destination rectangle.
    const double sx0 = std::max<double>(sourceX, 0), sy0 = std::max<double>(sourceY, 0);
    const double sx1 = std::min<double>(double(sourceX) + sourceWidth, s.width);
    const double sy1 = std::min<double>(double(sourceY) + sourceHeight, s.height);
    if (sx1 <= sx0 || sy1 <= sy0)
        return;
    const double kx = double(width) / sourceWidth, ky = double(height) / sourceHeight;
    const int64_t dx = x + std::llround((sx0 - sourceX) * kx), dy = y + std::llround((sy0 - sourceY) * ky);
    const int64_t gridWidth = std::llround((sx1 - sx0) * kx), gridHeight = std::llround((sy1 - sy0) * ky);
    const int64_t vx0 = std::max<int64_t>(dx, 0), vy0 = std::max<int64_t>(dy, 0);
    const int64_t vx1 = std::min<int64_t>(dx + gridWidth, t.width), vy1 = std::min<int64_t>(dy + gridHeight, t.height);
    if (vx1 <= vx0 || vy1 <= vy0 || gridWidth > INT32_MAX || gridHeight > INT32_MAX)
        return;
    const PixelRect visible { int32_t(vx0), int32_t(vy0), int32_t(vx1 - vx0), int32_t(vy1 - vy0) };
    const PixelRect window { int32_t(vx0 - dx), int32_t(vy0 - dy), visible.width, visible.height };
    const SourceRect rect { sx0, sy0, sx1 - sx0, sy1 - sy0 };
    const RenderKey key { s.id, s.version, rect, int32_t(gridWidth), int32_t(gridHeight), window, source->IsMask() };

    try {
        if (m_target->IsMask()) {
            // The mask of the picture whose colour was just drawn, with the same rectangles: the
            // drawn layer takes that picture's colour and alpha as they are, from the one
            // rendering already made (no white bleeds into half-transparent edges).
            if (source->IsMask() && t.pending && !t.pending->replace && t.pending->at == visible) {
                RenderKey colourKey = key;
                colourKey.mask = false;
                if (t.pending->key == colourKey) {
                    t.pending->replace = true;
                    t.hasMask = true;
                    ++t.version;
                    return;
                }
            }
            std::shared_ptr<ImageBuffer> drawn = s.Render(rect, int32_t(gridWidth), int32_t(gridHeight), window);
            if (source->IsMask())
                drawn = MaskAsGrey(*drawn);
            t.Flush();
            DrawIntoMask(t.MutablePixels(), *drawn, visible.x, visible.y);
            t.hasMask = true;
            ++t.version;
            return;
        }

        std::shared_ptr<ImageBuffer> drawn = s.Render(rect, int32_t(gridWidth), int32_t(gridHeight), window);
        if (source->IsMask()) {
            drawn = MaskAsGrey(*drawn);
        } else if (t.Plain()) {
            // A picture nothing was drawn into takes the profile of the first picture drawn.
            t.icc = drawn->icc;
        } else if (drawn->icc != t.icc) {
            drawn = std::make_shared<ImageBuffer>(*drawn);
            ConvertToProfile(*drawn, t.icc);
        }
        t.Flush();
        t.pending = PictureData::Layer { std::move(drawn), visible, key, false };
        ++t.version;
    } catch (const ImageCodecError& error) {
        throw IOException(error.what());
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
}
