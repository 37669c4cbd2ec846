#pragma once

// Pictures through the framework's own doors, as the batch run uses them.

#include "framework/core/folder_item.h"
#include "framework/image/picture.h"

#include <string>

inline Ref<Picture> open(const std::string& path)
{
    return Picture::Open(FolderItem::FromPath(path));
}

// What the batch run does: the colour, then the mask, with the same rectangles.
inline Ref<Picture> resized(const Ref<Picture>& source, int width, int height)
{
    Ref<Picture> target = NewPicture(width, height, 32);
    target->Graphics()->DrawPicture(source, 0, 0, width, height, 0, 0, source->Width(), source->Height());
    target->Mask(true)->Graphics()->DrawPicture(source->Mask(true), 0, 0, width, height, 0, 0, source->Width(),
        source->Height());
    return target;
}
