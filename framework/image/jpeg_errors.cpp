// libjpeg's errors and warnings, by their codes.
#include "framework/image/jpeg_errors.h"

#include <jerror.h>

#include <cstdint>

JpegErrors::JpegErrors(Warnings warnings)
    : m_warnings(warnings)
{
    m_manager.self = this;
    jpeg_std_error(&m_manager.library);
    m_manager.library.error_exit = &JpegErrors::fail;
    m_manager.library.emit_message = &JpegErrors::emit;
}

void JpegErrors::fail(j_common_ptr common)
{
    of(common).stop(common);
}

// Level -1 is a warning; higher levels are trace messages, which say nothing of the file.
void JpegErrors::emit(j_common_ptr common, int level)
{
    if (level >= 0)
        return;
    JpegErrors* self = &of(common);
    const int code = common->err->msg_code;
    if (code == JWRN_JPEG_EOF)
        self->m_dataEnded = true;
    // The data ends (the file is cut), or breaks off at a marker before the picture is complete
    // (cut and closed, or corrupt): what the decoder would put there is made up.
    if (self->m_warnings == Warnings::StopOnDamage && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        self->stop(common);
}

void JpegErrors::stop(j_common_ptr common)
{
    const jpeg_error_mgr& err = *common->err;
    m_code = err.msg_code;
    char text[JMSG_LENGTH_MAX] {};
    err.format_message(common, text);
    m_text = text;
    switch (m_code) {
    case JWRN_JPEG_EOF:
        m_reason = "The JPEG file is damaged: its data ends before its picture does.";
        break;
    case JWRN_HIT_MARKER:
        m_reason = "The JPEG file is damaged: its picture data breaks off before the picture is complete.";
        break;
    case JERR_BAD_PRECISION:
        m_reason = "The JPEG file has samples of " + std::to_string(err.msg_parm.i[0]) + " bits, which cannot be read.";
        break;
    case JERR_SOF_UNSUPPORTED: {
        // Frame types: 3, 7, 11 and 15 are lossless; 5 to 7 and 13 to 15 hierarchical.
        const int frame = err.msg_parm.i[0] & 0x0F;
        if (frame == 3 || frame == 7 || frame == 11 || frame == 15)
            m_reason = "The JPEG file is lossless, which cannot be read.";
        else if (frame >= 5)
            m_reason = "The JPEG file is hierarchical, which cannot be read.";
        else
            m_reason = "The JPEG file is of a kind that cannot be read.";
        break;
    }
    default:
        m_reason = std::string(m_dataEnded ? "The JPEG file is incomplete: " : "The JPEG file cannot be decoded: ") + text;
    }
    std::longjmp(m_jump, 1);
}
