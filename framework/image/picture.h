#pragma once

#include "framework/core/folder_item.h"
#include "framework/core/ref.h"

#include <cstdint>
#include <memory>
#include <vector>

class Graphics;
struct PictureData; // pixels, decoded lazily; private to the framework

// A picture with an optional mask (its alpha channel). Opening reads only the header: pixels are
// decoded when first needed, and a scaled draw decodes no larger than it must.
class Picture final : public std::enable_shared_from_this<Picture> {
public:
    static constexpr int32_t SaveAsPNG = 150;
    static constexpr int32_t SaveAsJPEG = 151;

    // The item read as a picture (by content, not by name), upright by its EXIF orientation;
    // nil for anything that is not a picture, folders included. A file that cannot be opened for
    // reading (no permission) raises IOException, and so does one that starts as a picture and
    // cannot be read as one (damaged, of a kind no decoder reads, beyond the size limit), with
    // its reason.
    static Ref<Picture> Open(const Ref<FolderItem>& file);

    int32_t Width() const;
    int32_t Height() const;
    int32_t Depth() const;

    Ref<::Graphics> Graphics();
    // The picture's mask: a picture of the same size whose white is transparent and black
    // opaque. With `make`, a missing mask is made (fully opaque); without, nil when there is none.
    Ref<Picture> Mask(bool make = true);

    // Writes the picture as PNG (150) or JPEG (151). `quality` is -1 (default) or 0 to 100, else
    // OutOfBoundsException; a file that cannot be written raises IOException. JPEG is flattened
    // onto white; PNG keeps the mask as alpha. The colour appearance of the source is kept. The
    // file takes its name only once it is complete: a failed save leaves nothing under it. A
    // cooperative thread's file in a folder held open may be made after Save returns (below).
    void Save(const Ref<FolderItem>& file, int32_t format, int32_t quality = -1);

    // What became of a save into a folder held open (FolderItem::HoldOpen): the file's name, and
    // why the file could not be made, empty when it is there.
    struct SaveEnded {
        String fileName;
        String error;
    };
    // A cooperative thread's save into a folder held open returns once the picture is encoded and
    // the name is its own (NameTakenException when something bears it); the file is written,
    // synced and named on a worker, in the order of the saves, while the thread goes on, and no
    // other save is given the name meanwhile. These tell what became of each save into `folder`
    // that did not raise (made at once or not), once each and in the order of the saves: those
    // that have ended, or, with EndSaves, all of them, waiting with the window kept painting for
    // those still in flight. The application does not quit before every one has ended.
    static std::vector<SaveEnded> EndedSaves(const Ref<FolderItem>& folder);
    static std::vector<SaveEnded> EndSaves(const Ref<FolderItem>& folder);

    explicit Picture(std::shared_ptr<PictureData> data, bool isMask = false);
    const std::shared_ptr<PictureData>& Data() const { return m_data; }
    bool IsMask() const { return m_isMask; }

private:
    std::shared_ptr<PictureData> m_data;
    bool m_isMask { false };
};

// A new white, fully opaque picture; nil when a side is below 1 or the picture is too large.
Ref<Picture> NewPicture(int32_t width, int32_t height, int32_t depth);

class Graphics final {
public:
    explicit Graphics(Ref<Picture> target) : m_target(std::move(target)) {}

    // Draws the source rectangle of `source` scaled into the destination rectangle.
    void DrawPicture(const Ref<Picture>& source, int32_t x, int32_t y, int32_t width, int32_t height,
        int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight);

private:
    Ref<Picture> m_target;
};
