#include "main_window/main.h"

#include "framework/core/binary_stream.h"
#include "framework/core/exceptions.h"
#include "framework/core/folder_item.h"
#include "framework/core/text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kPreferencesName = "Quobly! preferences";
// The sibling the record is written to before it replaces the file, so that a failed write
// never leaves a truncated record where a good one was.
constexpr const char* kPreferencesTemporaryName = "Quobly! preferences.new";
constexpr int64_t kRecordLength = 27;

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

// False when there is no usable record: no file, a folder of that name, a short or unreadable
// file, or a value outside the limits. Nothing is applied from such a file.
bool readRecord(const Ref<FolderItem>& file, PreferencesRecord& record)
{
    if (!file->Exists() || file->Directory())
        return false;
    try {
        auto stream = BinaryStream::Open(file, false);
        if (stream->Length() < kRecordLength) {
            stream->Close();
            return false;
        }
        record.settingsOpen = stream->ReadBoolean();
        record.mode = stream->ReadShort();
        record.wantedSize = stream->ReadShort();
        record.sizeBasis = stream->ReadShort();
        record.boxWidth = stream->ReadShort();
        record.boxHeight = stream->ReadShort();
        record.independentWidth = stream->ReadShort();
        record.widthUnit = stream->ReadShort();
        record.independentHeight = stream->ReadShort();
        record.heightUnit = stream->ReadShort();
        record.quality = stream->ReadShort();
        record.increase = stream->ReadBoolean();
        (void)stream->ReadBoolean(); // reserved
        record.webReady = stream->ReadBoolean();
        record.dosFormat = stream->ReadBoolean();
        record.exportFormat = stream->ReadShort();
        stream->Close();
    } catch (const IOException&) {
        return false;
    }
    return record.withinLimits();
}

// A preferences file that is a link (as dotfile managers make them) stays a link: the record
// replaces the file at the end of the links, also when that file does not exist yet.
std::filesystem::path linkTarget(std::filesystem::path path)
{
    constexpr int kMaxLinks = 32;
    std::error_code error;
    for (int hops = 0; hops < kMaxLinks && std::filesystem::is_symlink(path, error); ++hops) {
        const auto next = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
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
    PreferencesRecord record;
    if (readRecord(preferencesFile(), record)) {
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
    std::filesystem::path target = linkTarget(preferencesFile()->NativePath());
    auto temporary = FolderItem::FromPath((target.parent_path() / kPreferencesTemporaryName).string());

    try {
        auto stream = BinaryStream::Create(temporary, true);
        stream->WriteBoolean(DTSettings()->Value());
        int32_t mode = 2;
        if (RBType(0)->Value())
            mode = 0;
        else if (RBType(1)->Value())
            mode = 1;
        stream->WriteShort(shortField(mode));
        stream->WriteShort(sizeField(EFPSize()->Text()));
        stream->WriteShort(shortField(PMPType()->ListIndex()));
        stream->WriteShort(sizeField(EFBWidth()->Text()));
        stream->WriteShort(sizeField(EFBHeight()->Text()));
        stream->WriteShort(sizeField(EFIWidth()->Text()));
        stream->WriteShort(shortField(PMIWidth()->ListIndex()));
        stream->WriteShort(sizeField(EFIHeight()->Text()));
        stream->WriteShort(shortField(PMIHeight()->ListIndex()));
        stream->WriteShort(shortField(SLQuality()->Value()));
        stream->WriteBoolean(CBIncrease()->Value());
        stream->WriteBoolean(false); // reserved
        stream->WriteBoolean(CBName()->Value());
        stream->WriteBoolean(CBDos()->Value());
        stream->WriteShort(shortField(PMExportFormat()->ListIndex()));
        stream->Close();
    } catch (const IOException&) {
        if (temporary->Exists() && !temporary->Directory())
            temporary->Delete();
        throw;
    }

    // The new record replaces the old one in one step; a folder of that name is never replaced.
    std::error_code error;
    std::filesystem::rename(temporary->NativePath(), target, error);
    if (error) {
        temporary->Delete();
        throw IOException("The preferences file \"" + target.string() + "\" could not be written: "
                + error.message(),
            error.value());
    }
}
