// The preferences file: the 27-byte record, read at opening and written at closing.
#include "main_window/main.h"

#include "framework/core/binary_stream.h"
#include "framework/core/exceptions.h"
#include "framework/core/folder_item.h"
#include "framework/core/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <variant>

namespace {

constexpr const char* kPreferencesName = "Quobly! preferences";

// The whole record, in file order.
struct PreferencesRecord {
    bool settingsOpen { true };
    int16_t mode { 0 };
    int16_t wantedSize { 0 };
    int16_t sizeBasis { 0 };
    int16_t boxWidth { 0 };
    int16_t boxHeight { 0 };
    int16_t independentWidth { 0 };
    int16_t widthUnit { 0 };
    int16_t independentHeight { 0 };
    int16_t heightUnit { 0 };
    int16_t quality { 80 };
    bool increase { false };
    bool reserved { false };
    bool webReady { false };
    bool dosFormat { false };
    int16_t exportFormat { 0 };

    // The limits a record must respect before any of it is applied.
    bool withinLimits() const
    {
        return mode >= 0 && mode <= 2
            && sizeBasis >= 0 && sizeBasis <= 4
            && widthUnit >= 0 && widthUnit <= 1
            && heightUnit >= 0 && heightUnit <= 1
            && quality >= 1 && quality <= 100
            && exportFormat >= 0 && exportFormat <= 1;
    }
};

// A field is a Boolean of one byte or a 16-bit integer of two.
using RecordField = std::variant<bool PreferencesRecord::*, int16_t PreferencesRecord::*>;

// The file's one description: its sixteen fields in the order of the bytes, no header, no padding.
// Reading and writing both walk it.
constexpr RecordField kRecordFields[] = {
    &PreferencesRecord::settingsOpen,
    &PreferencesRecord::mode,
    &PreferencesRecord::wantedSize,
    &PreferencesRecord::sizeBasis,
    &PreferencesRecord::boxWidth,
    &PreferencesRecord::boxHeight,
    &PreferencesRecord::independentWidth,
    &PreferencesRecord::widthUnit,
    &PreferencesRecord::independentHeight,
    &PreferencesRecord::heightUnit,
    &PreferencesRecord::quality,
    &PreferencesRecord::increase,
    &PreferencesRecord::reserved,
    &PreferencesRecord::webReady,
    &PreferencesRecord::dosFormat,
    &PreferencesRecord::exportFormat,
};

constexpr int64_t recordLength()
{
    int64_t length = 0;
    for (const auto& field : kRecordFields)
        length += std::holds_alternative<bool PreferencesRecord::*>(field) ? 1 : 2;
    return length;
}

constexpr int64_t kRecordLength = recordLength();
static_assert(kRecordLength == 27);

void readFields(BinaryStream& stream, PreferencesRecord& record)
{
    for (const auto& field : kRecordFields) {
        if (const auto* flag = std::get_if<bool PreferencesRecord::*>(&field))
            record.*(*flag) = stream.ReadBoolean();
        else
            record.*std::get<int16_t PreferencesRecord::*>(field) = stream.ReadShort();
    }
}

void writeFields(BinaryStream& stream, const PreferencesRecord& record)
{
    for (const auto& field : kRecordFields) {
        if (const auto* flag = std::get_if<bool PreferencesRecord::*>(&field))
            stream.WriteBoolean(record.*(*flag));
        else
            stream.WriteShort(record.*std::get<int16_t PreferencesRecord::*>(field));
    }
}

// A stored size is the field's leading number cut toward zero. A number outside the 16-bit
// field saturates at its nearest end rather than wrapping into an unrelated size.
int16_t sizeField(const String& text)
{
    const int32_t value = RuntimeCvtReal64ToSInt32(Val(text));
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// Rows, the slider and the mode are small by construction; they are stored as they stand,
// saturated like the sizes so that an impossible value can never wrap into a valid one.
int16_t shortField(int32_t value)
{
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

Ref<FolderItem> preferencesFile()
{
    return SpecialFolder::Preferences()->Child(kPreferencesName);
}

enum class Found {
    Nothing,  // no file, or a link whose file is not there yet
    Rejected, // a folder, a short or unreadable file, or a value outside the limits
    Record,   // exactly a record
    Longer,   // a record followed by more bytes, which are read past
};

// Nothing is applied from a file that is not a usable record.
Found readRecord(const Ref<FolderItem>& file, PreferencesRecord& record)
{
    if (!file->Exists())
        return Found::Nothing;
    if (file->Directory())
        return Found::Rejected;
    try {
        auto stream = BinaryStream::Open(file, false);
        const int64_t length = stream->Length();
        if (length < kRecordLength) {
            stream->Close();
            return Found::Rejected;
        }
        readFields(*stream, record);
        stream->Close();
        if (!record.withinLimits())
            return Found::Rejected;
        return length == kRecordLength ? Found::Record : Found::Longer;
    } catch (const IOException& error) {
        return error.ErrorNumber() == ENOENT ? Found::Nothing : Found::Rejected;
    }
}

} // namespace

int32_t Main::bint(bool value)
{
    return value ? 1 : 0;
}

bool Main::ibool(int32_t value)
{
    return value != 0;
}

void Main::loadpref()
{
    const auto file = preferencesFile();
    PreferencesRecord record;
    const Found found = readRecord(file, record);
    // A link leads to a file of the user's by another name. The closing writes a record of 27
    // bytes through it, so only a file that is exactly a record may be written over: one that
    // holds no record is theirs for something else, and a longer one would lose its end.
    m_preferencesLinkKept.clear();
    if (file->Alias() && found == Found::Rejected)
        m_preferencesLinkKept = "holds no preferences";
    else if (file->Alias() && found == Found::Longer)
        m_preferencesLinkKept = "holds more than the preferences";
    if (found == Found::Record || found == Found::Longer) {
        // Each value raises its control's own change event, which brings the enabled states,
        // the quality label and preset row in line; nothing here calls a handler itself.
        DTSettings()->Value(record.settingsOpen);
        RBType(record.mode)->Value(true);
        EFPSize()->Text(Str(record.wantedSize));
        PMPType()->ListIndex(record.sizeBasis);
        EFBWidth()->Text(Str(record.boxWidth));
        EFBHeight()->Text(Str(record.boxHeight));
        EFIWidth()->Text(Str(record.independentWidth));
        PMIWidth()->ListIndex(record.widthUnit);
        EFIHeight()->Text(Str(record.independentHeight));
        PMIHeight()->ListIndex(record.heightUnit);
        SLQuality()->Value(record.quality);
        CBIncrease()->Value(record.increase);
        CBName()->Value(record.webReady);
        CBDos()->Value(record.dosFormat);
        PMExportFormat()->ListIndex(record.exportFormat);
    }
    checksettingsdisclosure();
    enablego();
}

void Main::savepref()
{
    const auto file = preferencesFile();
    if (!m_preferencesLinkKept.empty())
        throw IOException("The preferences file \"" + file->NativePath() + "\" is a link to a file that " + m_preferencesLinkKept
                + "; that file was left as it is.",
            EEXIST);

    // The new record takes the old one's place only once it is whole; a failed write leaves the
    // previous file as it was.
    auto stream = BinaryStream::Create(file, true);
    PreferencesRecord record;
    record.settingsOpen = DTSettings()->Value();
    record.mode = 2;
    if (RBType(0)->Value())
        record.mode = 0;
    else if (RBType(1)->Value())
        record.mode = 1;
    record.wantedSize = sizeField(EFPSize()->Text());
    record.sizeBasis = shortField(PMPType()->ListIndex());
    record.boxWidth = sizeField(EFBWidth()->Text());
    record.boxHeight = sizeField(EFBHeight()->Text());
    record.independentWidth = sizeField(EFIWidth()->Text());
    record.widthUnit = shortField(PMIWidth()->ListIndex());
    record.independentHeight = sizeField(EFIHeight()->Text());
    record.heightUnit = shortField(PMIHeight()->ListIndex());
    record.quality = shortField(SLQuality()->Value());
    record.increase = CBIncrease()->Value();
    record.reserved = false;
    record.webReady = CBName()->Value();
    record.dosFormat = CBDos()->Value();
    record.exportFormat = shortField(PMExportFormat()->ListIndex());
    writeFields(*stream, record);
    stream->Close();
}
