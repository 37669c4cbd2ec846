// Opens a framework window with a few controls in a real X server, waits until it is exposed,
// saves a screenshot beside the executable and quits with status 0 (1 when the window never
// showed).
#include "framework/gui/application.h"
#include "framework/gui/check_box.h"
#include "framework/gui/edit_field.h"
#include "framework/gui/group_box.h"
#include "framework/gui/label.h"
#include "framework/gui/menu_item.h"
#include "framework/gui/push_button.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"
#include "tests/support/design_head.h"
#include "tests/support/framework_key.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

class SmokeWindow final : public Window {
public:
    String ClassName() const override { return "Smoke.Window"; }

protected:
    void Layout() override
    {
        auto bar = MakeRef<::MenuBar>();
        auto file = MakeRef<MenuItem>();
        file->Name("FileMenu");
        file->Text("File");
        bar->Append(file);
        auto quit = MakeRef<QuitMenuItem>();
        quit->Name("FileQuit");
        quit->Text("Quit");
        quit->KeyboardShortcut("Cmd+Q");
        quit->AutoEnable(true);
        file->Append(quit);
        MenuBar(bar);
        SetProperties(DesignList(DesignTypes()).Integer("Width", 360).Integer("Height", 160).Text("Title", "Smoke")
                          .Boolean("Resizeable", false).Boolean("Visible", true));
    }

    void CreateControls() override
    {
        auto box = New<GroupBox>();
        AddControl("Box", box);
        box->Caption("Settings");
        box->SetProperties(HeadList(GroupBox::DesignTypes(), "Box", 180, 8, 170, 140));
        auto label = New<Label>();
        AddControl("Caption", label);
        label->Text("Folder:");
        label->TextSize(12);
        label->SetProperties(HeadList(Label::DesignTypes(), "Caption", 12, 16, 60, 16));
        auto field = New<EditField>();
        AddControl("Field", field);
        field->SetProperties(HeadList(EditField::DesignTypes(), "Field", 12, 40, 150, 22).Text("Text", "800"));
        auto check = New<CheckBox>();
        AddControl("Check", check);
        check->Caption("Inside the box");
        check->SetProperties(HeadList(CheckBox::DesignTypes(), "Check", 190, 40, 150, 20).Text("InitialParent", "Box"));
        auto go = New<PushButton>();
        AddControl("Go", go);
        go->Caption("Go");
        go->SetProperties(HeadList(PushButton::DesignTypes(), "Go", 12, 120, 84, 20).Boolean("Default", true));
    }
};

} // namespace

int main(int argc, char** argv)
{
    RuntimeInit(argc, argv);
    auto window = MakeRef<SmokeWindow>();
    window->Constructor();

    const QString shot = QDir(QCoreApplication::applicationDirPath()).filePath("smoke_window.png");
    int exitCode = 1;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWindow* handle = window->TopLevelWidget(testKey())->windowHandle();
        if (!handle || !handle->isExposed())
            return;
        poll.stop();
        const QPixmap pixels = window->TopLevelWidget(testKey())->grab();
        if (!pixels.isNull() && pixels.save(shot)) {
            std::printf("smoke_window: %dx%d content, screenshot %s\n", window->Width(), window->Height(), qPrintable(shot));
            exitCode = 0;
        }
        Quit(exitCode);
    });
    poll.start();
    // A watchdog: a window that is never exposed fails the check instead of hanging it.
    QTimer::singleShot(20000, [&] {
        std::fprintf(stderr, "smoke_window: the window was never exposed\n");
        Quit(1);
    });
    RuntimeRun();
    window = nullptr;
    ReleaseGlobalLists();
    return RuntimeExit();
}
