// The batch run: the output folder, each item of the source folder in its order, and the finish
// that gives the window back.
#include "engine/threadrun.h"

#include "engine/free_name_probe.h"
#include "engine/output_names.h"
#include "engine/pending_saves.h"
#include "engine/run_report.h"
#include "engine/size_computation.h"
#include "framework/image/picture.h"
#include "framework/gui/runtime.h"
#include "framework/core/text.h"
#include "main_window/main.h"
#include "strings/loc.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

namespace {

SizeInitials sizeInitials()
{
    return { loc::initialbiggest(), loc::initialsmallest(), loc::initialwidth(), loc::initialheight() };
}

// Where the run records the source folder an output folder was made from, so that a later run
// that replaces the folder can say whose pictures went to the trash.
constexpr const char* kSourceAttribute = "user.quobly.source";

enum class Outcome { Made, Elsewhere, Failed };

// The output folder `name` in `place`: an item of that name goes first (a folder or a link is
// deleted, a folder that holds items moved to the trash, a file of the user's that happens to bear
// the name moved to the trash, never erased), then the folder is made and held open. Only a folder
// of the user's own is ever written into: one the run made, or an old output folder of theirs
// that no trash took. An item of another owner that stays gives Elsewhere, with the reason.
Outcome placeOutputFolder(const Ref<FolderItem>& place, const String& name, const FolderItem& source,
    Ref<FolderItem>& output, RunReport& report, String& reason)
{
    // Everything below happens in the folder held here, whatever comes to stand under its path.
    place->HoldOpen();
    if (place->LastErrorCode() != 0) {
        report.RunFailed("the folder \"" + place->NativePath() + "\" cannot be opened (" + place->LastErrorText() + ")");
        return Outcome::Failed;
    }
    output = place->Child(name);
    if (!output) {
        report.RunFailed("there is no place for the output folder \"" + name + "\"");
        return Outcome::Failed;
    }
    if (output->TouchesFolder(source)) {
        report.RunFailed("the output folder \"" + output->NativePath()
            + "\" would be the source folder itself or lie in it, and the source folder is never written into or deleted");
        return Outcome::Failed;
    }
    String notTrashed;
    if (output->Exists()) {
        const bool heldItems = output->Directory() && output->Count() > 0;
        const String madeFrom = output->Directory() ? output->Attribute(kSourceAttribute) : String();
        if (output->Directory() || output->Alias())
            output->Delete();
        else
            output->MoveToTrash();
        if (output->Exists()) {
            notTrashed = output->LastErrorText();
            if (notTrashed.empty())
                notTrashed = "it is still there";
        } else if (heldItems && !madeFrom.empty() && madeFrom != source.NativePath()) {
            report.OtherSourceTrashed(output->NativePath(), madeFrom);
        }
        output = place->Child(name);
    }
    output->CreateAsFolder();
    const int32_t createError = output->LastErrorCode();
    const String createErrorText = output->LastErrorText();
    output->HoldOpen();
    // Whatever stands under the name now is written into only when it is a folder of the user's
    // own, held open without following a link; another user's item sends the run elsewhere.
    if (output->Exists() && !output->OwnedByUser()) {
        reason = "\"" + output->NativePath() + "\" belongs to " + output->OwnerName()
            + (notTrashed.empty() ? String() : " and could not be moved to the trash (" + notTrashed + ")")
            + ", and the run never writes into another user's folder";
        return Outcome::Elsewhere;
    }
    if (output->LastErrorCode() != 0) {
        String failure = "the output folder \"" + output->NativePath() + "\" could not be created";
        if (!notTrashed.empty())
            failure += " (the item of that name could not be moved to the trash: " + notTrashed + ")";
        else if (createError != 0)
            failure += " (" + createErrorText + ")";
        else
            failure += " (" + output->LastErrorText() + ")";
        report.RunFailed(failure);
        return Outcome::Failed;
    }
    if (createError == 0)
        output->Attribute(kSourceAttribute, source.NativePath());
    if (!notTrashed.empty())
        report.OldOutputKept(output->NativePath(), notTrashed);
    return Outcome::Made;
}

// The output folder, beside the source folder, or on the Desktop when that place is locked, when
// there is none, or when another user's folder bears the name there. Nil, with the reason in the
// report, when the run has nowhere to write.
Ref<FolderItem> makeOutputFolder(const FolderItem& source, const String& name, RunReport& report)
{
    Ref<FolderItem> place = source.Parent();
    Ref<FolderItem> output;
    String whyElsewhere;
    if (!place)
        whyElsewhere = "the source folder has no folder above it";
    else if (const Ref<FolderItem> beside = place->Child(name); beside && beside->Locked())
        whyElsewhere = !beside->Exists()
            ? "the folder \"" + place->NativePath() + "\" that holds the source folder cannot be written into"
            : "\"" + beside->NativePath() + "\" cannot be written"
                + (beside->OwnedByUser() ? String() : " (it belongs to " + beside->OwnerName() + ")");
    if (whyElsewhere.empty()) {
        const Outcome outcome = placeOutputFolder(place, name, source, output, report, whyElsewhere);
        if (outcome == Outcome::Made)
            return output;
        if (outcome == Outcome::Failed)
            return nullptr;
    }
    place = SpecialFolder::Desktop();
    String whyNotDesktop;
    if (!place) {
        report.RunFailed("there is no place for the output folder \"" + name + "\": " + whyElsewhere);
        return nullptr;
    }
    const Outcome outcome = placeOutputFolder(place, name, source, output, report, whyNotDesktop);
    if (outcome == Outcome::Elsewhere) {
        report.RunFailed(whyNotDesktop);
        return nullptr;
    }
    if (outcome == Outcome::Failed)
        return nullptr;
    report.OutputOnDesktop(output->NativePath(), whyElsewhere);
    return output;
}

// The folder's items as they stand now, in their order.
std::vector<Ref<FolderItem>> listItems(const FolderItem& folder)
{
    std::vector<Ref<FolderItem>> items;
    const int32_t count = folder.Count();
    items.reserve(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        if (Ref<FolderItem> item = folder.TrueItem(i))
            items.push_back(std::move(item));
    }
    return items;
}

// How many items the folder holds now that were not among `started`.
int32_t countAdded(const FolderItem& folder, const std::vector<Ref<FolderItem>>& started)
{
    std::unordered_set<String> names;
    for (const auto& item : started)
        names.insert(item->Name());
    int32_t added = 0;
    for (const auto& item : listItems(folder))
        added += names.count(item->Name()) == 0 ? 1 : 0;
    return added;
}

String sourceGone(const FolderItem& source)
{
    return "the source folder \"" + source.NativePath() + "\" is no longer there: it was moved, renamed or deleted";
}

enum class ItemOutcome { NotAPicture, Saved, Failed };

// The braced list takes the controls in its order, so they change state in that order.
void setControlsEnabled(bool value, std::initializer_list<Ref<RectControl>> controls)
{
    for (const auto& control : controls)
        control->Enabled(value);
}

} // namespace

RunSettings ReadRunSettings()
{
    const Ref<Main> window = Main::instance();
    Main& w = *window;
    RunSettings s;
    s.proportional = w.RBType(0)->Value();
    s.independent = w.RBType(1)->Value();
    s.sizeBasis = w.PMPType()->ListIndex();
    s.wantedSize = w.EFPSize()->Text();
    s.widthUnit = w.PMIWidth()->ListIndex();
    s.heightUnit = w.PMIHeight()->ListIndex();
    s.independentWidth = w.EFIWidth()->Text();
    s.independentHeight = w.EFIHeight()->Text();
    s.boxWidth = w.EFBWidth()->Text();
    s.boxHeight = w.EFBHeight()->Text();
    s.increase = w.CBIncrease()->Value();
    s.exportFormat = w.PMExportFormat()->ListIndex();
    s.quality = w.SLQuality()->Value();
    s.webReady = w.CBName()->Value();
    s.dosFormat = w.CBDos()->Value();
    return s;
}

threadrun::threadrun()
{
    OnRun = [this] { Event_Run(); };
}

void threadrun::Event_Run()
{
    const Ref<Main> window = Main::instance();
    Main& w = *window;
    // The run keeps to the folder it started with from its first step to its last.
    const Ref<FolderItem> source = w.f;
    RunReport report;
    // Pictures are done once their files are there, which may be a few pictures later.
    std::optional<PendingSaves> pending;
    const auto showDone = [&w](int32_t index) { w.PB()->Value(index); };

    try {
        if (!source)
            throw NilObjectException("no source folder is chosen");
        const ExportFormat format = ExportFormatFor(ReadRunSettings().exportFormat);

        setControlsEnabled(false,
            { w.EFPSize(), w.PMPType(), w.EFIWidth(), w.EFIHeight(), w.PMIWidth(), w.PMIHeight(),
                w.RBType(0), w.RBType(1), w.RBType(2), w.SLQuality(), w.PMQuality(), w.CBIncrease(),
                w.PBSelect(), w.EFBWidth(), w.EFBHeight(), w.CBName() });

        w.PBGo()->Caption("Cancel");
        w.PBGo()->Default(false);
        w.PBGo()->Cancel(true);

        // The run works through the items the folder holds now, each once and in this order,
        // whatever comes into it or leaves it meanwhile (a camera import, a sync client).
        const std::vector<Ref<FolderItem>> items = listItems(*source);
        const int32_t count = static_cast<int32_t>(items.size());
        w.PB()->Maximum(count);
        // A folder that went after it was chosen holds no items: the run says so rather than
        // make an empty output folder and call it processed.
        if (!source->Directory())
            throw IOException(sourceGone(*source));

        const String folderName = OutputFolderName(source->Name(), SettingsSuffix(ReadRunSettings(), sizeInitials()));
        const Ref<FolderItem> output = makeOutputFolder(*source, folderName, report);

        if (output) {
            pending.emplace(output);
            FreeNameProbe freeNames(output, format.extension);
            w.STStatus()->TextColor(RGB(0, 0, 0));
            for (int32_t i = 1; i <= count; ++i) {
                w.STStatus()->Text(ReplaceAll(ReplaceAll(loc::theadprocessing(), "<0>", Str(i)), "<1>", Str(count)));

                ItemOutcome outcome = ItemOutcome::NotAPicture;
                const Ref<FolderItem>& item = items[static_cast<size_t>(i) - 1];
                const String itemName = item->Name();
                try {
                    const Ref<Picture> picture = Picture::Open(item);
                    if (picture) {
                        const NewSize size = ComputeNewSize(picture->Width(), picture->Height(), ReadRunSettings);
                        // A side below 1 (an extreme aspect ratio, a tiny percentage) is raised
                        // to the smallest picture there is.
                        const int32_t nw = std::max(size.width, 1);
                        const int32_t nh = std::max(size.height, 1);
                        const Ref<Picture> target = NewPicture(nw, nh, 32);
                        if (!target)
                            throw OutOfBoundsException("a picture of " + Str(nw) + " x " + Str(nh) + " pixels is too large to make");
                        target->Graphics()->DrawPicture(picture, 0, 0, target->Width(), target->Height(), 0, 0,
                            picture->Width(), picture->Height());
                        target->Mask(true)->Graphics()->DrawPicture(picture->Mask(true), 0, 0, target->Width(),
                            target->Height(), 0, 0, picture->Width(), picture->Height());

                        const String base = setname(output, itemName);
                        for (;;) {
                            const String fileName = freeNames.FileName(base, RuntimeBackgroundTask);
                            try {
                                target->Save(output->Child(fileName), format.code, ReadRunSettings().quality);
                                pending->Add(fileName, i, itemName);
                                break;
                            } catch (const NameTakenException&) {
                                // Something took the name between the probe and the save: the
                                // probe goes on from the next number.
                                freeNames.Passed(base);
                            }
                        }
                        outcome = ItemOutcome::Saved;
                    } else if (item->Gone()) {
                        // When the folder itself went, every item left is lost with it: say so,
                        // rather than let each look like a problem of its own.
                        throw IOException(
                            source->Directory() ? String("the item is no longer in the folder") : sourceGone(*source));
                    }
                } catch (const RuntimeException& error) {
                    // The pictures before this one are told of first, as they come first.
                    pending->Settle(true, showDone, report);
                    report.ItemFailed(itemName, error.Message());
                    outcome = ItemOutcome::Failed;
                }
                pending->Settle(false, showDone, report);

                // A picture that failed ends its turn like a saved one, so a run whose every
                // save fails can still be stopped.
                if (outcome != ItemOutcome::NotAPicture && w.endthread) {
                    w.endthread = false;
                    break;
                }
                RuntimeBackgroundTask();
            }
            report.ItemsAdded(countAdded(*source, items));
        }
    } catch (const RuntimeException& error) {
        report.RunFailed(error.Message());
    }
    // Whether it ended or was stopped, the run is over only when every picture it saved is whole
    // under its name or told of as failed.
    if (pending)
        pending->Settle(true, showDone, report);

    // The finish gives the window back, whatever happened above.
    Beep();
    w.STStatus()->TextColor(RGB(200, 0, 0));
    w.STStatus()->Text(ReplaceAll(loc::theadprocessed(), "<0>", source ? source->Name() : String()));
    setControlsEnabled(true,
        { w.RBType(0), w.RBType(1), w.RBType(2), w.SLQuality(), w.PMQuality(), w.CBIncrease(), w.PBSelect(),
            w.CBName() });
    w.checkcontrol();
    w.PB()->Value(0);
    w.PB()->Maximum(1);
    w.PBGo()->Caption(loc::buttongo());
    w.PBGo()->Default(true);
    w.PBGo()->Cancel(false);
    // A stop request that came too late for this run must not stop the next one.
    w.endthread = false;
    if (report.AnythingToReport())
        MsgBox(report.Message(), report.Details());
}

String threadrun::setname(const Ref<FolderItem>& folder, const String& name)
{
    (void)folder;
    String base = RemoveExtension(name);
    if (!ReadRunSettings().webReady)
        return base;
    base = WebReadyName(base, RuntimeBackgroundTask);
    // Read after the characters are filtered: a change made meanwhile applies to this picture.
    if (ReadRunSettings().dosFormat)
        base = DosName(base);
    return base;
}
