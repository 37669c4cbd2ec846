#include "framework/core/trash.h"

// GIO's headers are kept apart from Qt's, whose `signals` keyword they would meet.
#include <gio/gio.h>

#include <cerrno>

namespace {

int32_t errnoFor(const GError* error)
{
    if (error->domain != G_IO_ERROR)
        return EIO;
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND: return ENOENT;
    case G_IO_ERROR_EXISTS: return EEXIST;
    case G_IO_ERROR_IS_DIRECTORY: return EISDIR;
    case G_IO_ERROR_NOT_DIRECTORY: return ENOTDIR;
    case G_IO_ERROR_NO_SPACE: return ENOSPC;
    case G_IO_ERROR_PERMISSION_DENIED: return EACCES;
    case G_IO_ERROR_READ_ONLY: return EROFS;
    case G_IO_ERROR_NOT_SUPPORTED: return EOPNOTSUPP;
    case G_IO_ERROR_FILENAME_TOO_LONG: return ENAMETOOLONG;
    case G_IO_ERROR_TOO_MANY_LINKS: return ELOOP;
    case G_IO_ERROR_BUSY: return EBUSY;
    default: return EIO;
    }
}

} // namespace

TrashResult MoveItemToTrash(const String& path)
{
    // The path's bytes as the file system gives them; GIO takes them as they are.
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (trashed)
        return {};
    TrashResult result;
    if (error) {
        result.errorNumber = errnoFor(error);
        result.reason = error->message;
        g_error_free(error);
    } else {
        result.errorNumber = EIO;
        result.reason = "the trash did not take it";
    }
    return result;
}
