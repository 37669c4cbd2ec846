// PNG encoding through libpng.
#include "framework/image/png.h"

#include "framework/image/jpeg.h"

#include <png.h>

#include <new>
#include <string>

namespace {

struct WriteState {
    std::vector<uint8_t>* out;
    std::string error;
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        state->out->insert(state->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        failed = true; // an exception must not cross libpng's C frames
    }
    if (failed)
        png_error(png, "out of memory");
}

void flushData(png_structp) {}

void onError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    state->error = message ? message : "unknown error";
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Everything between setjmp and the end of libpng's work lives in this function and holds only
// trivially destructible locals, so the error jump skips no destructor.
bool encode(png_structp png, png_infop info, const ImageBuffer& image, bool withAlpha, const std::vector<uint8_t>& icc,
    int level, std::vector<uint8_t>& rgb)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_benign_errors(png, 1);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
        withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    if (!icc.empty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, icc.data(), png_uint_32(icc.size()));
    png_write_info(png, info);
    const size_t width = size_t(image.width);
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.row(y);
        if (withAlpha) {
            png_write_row(png, row);
            continue;
        }
        for (size_t x = 0; x < width; ++x) {
            rgb[x * 3] = row[x * 4];
            rgb[x * 3 + 1] = row[x * 4 + 1];
            rgb[x * 3 + 2] = row[x * 4 + 2];
        }
        png_write_row(png, rgb.data());
    }
    png_write_end(png, info);
    return true;
}

} // namespace

std::vector<uint8_t> EncodePng(const ImageBuffer& image, bool withAlpha, const std::vector<uint8_t>& icc,
    int compressionLevel)
{
    std::vector<uint8_t> out;
    WriteState state { &out, {} };
    // Owns the encoder, so that any throw from here on (memory for the rows, say) releases it.
    struct Encoder {
        png_structp png { nullptr };
        png_infop info { nullptr };
        ~Encoder() { png_destroy_write_struct(&png, info ? &info : nullptr); }
    } encoder;
    encoder.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (encoder.png)
        encoder.info = png_create_info_struct(encoder.png);
    if (!encoder.info)
        throw ImageCodecError("The PNG encoder could not start.");
    png_set_write_fn(encoder.png, &state, writeData, flushData);
    std::vector<uint8_t> rgb(withAlpha ? 0 : size_t(image.width) * 3);
    out.reserve(size_t(image.width) * size_t(image.height) + 1024);
    if (!encode(encoder.png, encoder.info, image, withAlpha, icc, compressionLevel, rgb))
        throw ImageCodecError("The PNG file cannot be encoded: " + state.error);
    return out;
}
