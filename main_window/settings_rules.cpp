// The rules that keep the settings controls consistent with one another. None keeps state of its
// own: each reads the controls as they stand and sets enabled states, values or the window size.
#include "main_window/main.h"

namespace {

constexpr int32_t kOpenWidth = 746, kOpenHeight = 322;
constexpr int32_t kClosedWidth = 366, kClosedHeight = 117;

// The slider value of each preset row of the quality popup; the last row, "Custom", has none.
constexpr int32_t kPresetQualities[] = { 90, 80, 60, 40 };
constexpr int32_t kCustomRow = 4;

bool isSet(const Ref<EditField>& field)
{
    // Only the number counts: negative and fractional sizes are set, a text without a number
    // is not.
    return Val(field->Text()) != 0.0;
}

} // namespace

void Main::enablego()
{
    bool complete = true;
    if (RBType(0)->Value()) {
        complete = isSet(EFPSize());
    } else if (RBType(1)->Value()) {
        // The height is read only when the width is set.
        complete = isSet(EFIWidth()) && isSet(EFIHeight());
    } else {
        // Box mode, and also the state where no mode button is checked.
        complete = isSet(EFBWidth()) && isSet(EFBHeight());
    }
    // An open pane cannot be closed while the settings are incomplete, but a closed one can
    // always be opened.
    DTSettings()->Enabled(complete || !DTSettings()->Value());
    PBGo()->Enabled(complete && f);
}

void Main::enableModeGroup(int32_t mode)
{
    EFPSize()->Enabled(false);
    PMPType()->Enabled(false);
    EFIWidth()->Enabled(false);
    EFIHeight()->Enabled(false);
    PMIWidth()->Enabled(false);
    PMIHeight()->Enabled(false);
    EFBWidth()->Enabled(false);
    EFBHeight()->Enabled(false);
    if (mode == 0) {
        EFPSize()->Enabled(true);
        PMPType()->Enabled(true);
    } else if (mode == 1) {
        EFIWidth()->Enabled(true);
        EFIHeight()->Enabled(true);
        PMIWidth()->Enabled(true);
        PMIHeight()->Enabled(true);
    } else {
        EFBWidth()->Enabled(true);
        EFBHeight()->Enabled(true);
    }
}

void Main::checkcontrol()
{
    const int32_t mode = RBType(0)->Value() ? 0 : RBType(1)->Value() ? 1 : 2;
    enableModeGroup(mode);
    STJPEGQuality()->Enabled(PMExportFormat()->ListIndex() == 0);
    PMQuality()->Enabled(PMExportFormat()->ListIndex() == 0);
    SLQuality()->Enabled(PMExportFormat()->ListIndex() == 0);
    enablego();
}

void Main::checksettingsdisclosure()
{
    if (DTSettings()->Value()) {
        Width(kOpenWidth);
        Height(kOpenHeight);
    } else {
        Width(kClosedWidth);
        Height(kClosedHeight);
    }
}

void Main::EFPSize_TextChange(EditField&) { enablego(); }
void Main::EFIWidth_TextChange(EditField&) { enablego(); }
void Main::EFIHeight_TextChange(EditField&) { enablego(); }
void Main::EFBWidth_TextChange(EditField&) { enablego(); }
void Main::EFBHeight_TextChange(EditField&) { enablego(); }

void Main::RBType_Action(RadioButton& sender)
{
    // The event comes only for the member that has just been checked, so its index is the mode.
    enableModeGroup(sender.Index());
    enablego();
}

void Main::PMQuality_Change(PopupMenu& sender)
{
    // Each preset maps to a slider value whose row is the preset itself, so the exchange with
    // SLQuality_ValueChanged ends after one round.
    const int32_t row = sender.ListIndex();
    if (row >= 0 && row < kCustomRow)
        SLQuality()->Value(kPresetQualities[row]);
}

void Main::SLQuality_ValueChanged(Slider& sender)
{
    const int32_t value = sender.Value();
    STQuality()->Text(Str(value));
    int32_t row = kCustomRow;
    for (int32_t preset = 0; preset < kCustomRow; ++preset) {
        if (kPresetQualities[preset] == value)
            row = preset;
    }
    PMQuality()->ListIndex(row);
}

void Main::CBName_Action(CheckBox&)
{
    // The DOS option keeps its tick while disabled; without web-ready names it is not used.
    CBDos()->Enabled(CBName()->Value());
}

void Main::PMExportFormat_Change(PopupMenu&)
{
    // During a run the engine holds the settings controls disabled and Go serves as Cancel:
    // checkcontrol would enable size fields under the running engine and could disable Cancel.
    // The run's finish calls checkcontrol, which applies the format chosen meanwhile.
    if (runInProgress())
        return;
    checkcontrol();
}

void Main::DTSettings_Action(DisclosureTriangle&) { checksettingsdisclosure(); }
