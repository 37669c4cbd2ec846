#pragma once

#include <csetjmp>
#include <cstdio>
// libjpeg's headers need the types of <cstdio> first.
#include <jpeglib.h>

#include <string>

// libjpeg's error manager for the framework's JPEG code. libjpeg reports an error by a jump back
// into the call that met it, and a warning through emit_message; this keeps the library's code
// of each, so that the callers decide by its codes, never by its wording. Every call into libjpeg
// goes through Run(), whose frame holds nothing that needs destroying.
class JpegErrors final {
public:
    enum class Warnings {
        PassOver,   // every warning is passed over, as decoders do (stray bytes before a marker, say)
        StopOnDamage // data that ends or breaks off before the picture does ends the call
    };

    explicit JpegErrors(Warnings warnings = Warnings::PassOver);
    JpegErrors(const JpegErrors&) = delete;
    JpegErrors& operator=(const JpegErrors&) = delete;

    jpeg_error_mgr* Manager() { return &m_manager.library; }

    // Runs `step`; a libjpeg error or a warning that stops it becomes false, with Code() and
    // Reason() telling why.
    template<class F>
    bool Run(F&& step)
    {
        if (setjmp(m_jump) != 0)
            return false;
        step();
        return true;
    }

    // The library's code of the error or stopping warning (a J_MESSAGE_CODE).
    int Code() const { return m_code; }
    // Whether the data ran out before the library had what it asked for.
    bool DataEnded() const { return m_dataEnded; }
    // The reason in words, for a person, as a decoder gives it.
    const std::string& Reason() const { return m_reason; }
    // The library's own words for it.
    const std::string& LibraryText() const { return m_text; }

private:
    static JpegErrors& of(j_common_ptr common) { return *reinterpret_cast<Linked*>(common->err)->self; }
    static void fail(j_common_ptr common);
    static void emit(j_common_ptr common, int level);
    void stop(j_common_ptr common);

    // libjpeg hands the callbacks a pointer to its part, the first of a plain struct.
    struct Linked {
        jpeg_error_mgr library {};
        JpegErrors* self { nullptr };
    } m_manager;
    std::jmp_buf m_jump {};
    Warnings m_warnings;
    int m_code { 0 };
    bool m_dataEnded { false };
    std::string m_reason;
    std::string m_text;
};
