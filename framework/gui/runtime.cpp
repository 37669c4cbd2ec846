// The runtime services: start-up, registered classes, and the seams that tests replace (beep, URLs,
// the folder chooser, message boxes).
#include "framework/gui/runtime.h"

#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"
#include "framework/gui/private/accessibility.h"
#include "framework/gui/private/held_events.h"

#include "framework/gui/application.h"
#include "framework/gui/private/display_check.h"
#include "framework/gui/private/quit_requests.h"

#include "framework/gui/private/message_box.h"
#include "framework/gui/private/application_internals.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QIcon>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::vector<String>& classRegistry()
{
    static std::vector<String> classes;
    return classes;
}

bool isRegistered(const String& name)
{
    const auto& classes = classRegistry();
    return std::find(classes.begin(), classes.end(), name) != classes.end();
}

struct SeamHandlers {
    std::function<void()> beep;
    std::function<void(const String&)> showURL;
    std::function<Ref<FolderItem>()> selectFolder;
    std::function<void(const String&, const String&)> msgBox;
};

SeamHandlers& seams()
{
    static SeamHandlers handlers;
    return handlers;
}

void registerFrameworkClasses()
{
    for (const char* name : { "Object", "Application", "Window", "Control", "RectControl", "Label",
             "StaticText", "EditField", "PopupMenu", "RadioButton", "CheckBox", "Slider",
             "PushButton", "ProgressBar", "GroupBox", "DisclosureTriangle", "Separator",
             "HTMLViewer", "MenuItem", "MenuBar", "QuitMenuItem", "AppleMenuItem", "Thread",
             "FolderItem", "Picture", "Graphics", "BinaryStream", "FileType" })
        classRegistry().push_back(name);
}

// Qt ends the process when its platform cannot connect, even when the display answered a moment
// before: an X server that is busy refuses a connection now and then. Such a start is made again
// from the beginning, a few times, before it says in one line that the display cannot be opened.
constexpr const char* kStartAttempt = "QUOBLY_START_ATTEMPT";
constexpr int kStartAttempts = 5;
std::vector<char*> startArguments;
QtMessageHandler messagesBefore = nullptr;

void startAgainWhenThePlatformFails(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        if (messagesBefore)
            messagesBefore(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        return;
    }
    const char* value = std::getenv(kStartAttempt);
    const int attempt = value ? std::atoi(value) : 1;
    if (attempt < kStartAttempts) {
        ::setenv(kStartAttempt, std::to_string(attempt + 1).c_str(), 1);
        ::execv("/proc/self/exe", startArguments.data());
    }
    std::fprintf(stderr, "cannot open a display: %s\n", qPrintable(text));
    std::_Exit(1);
}

} // namespace

void RuntimeInit(int& argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    if (const auto missing = MissingDisplay(argc, argv)) {
        std::fprintf(stderr, "cannot open a display: %s\n", missing->c_str());
        std::exit(1);
    }
    startArguments.assign(argv, argv + argc);
    startArguments.push_back(nullptr);
    messagesBefore = qInstallMessageHandler(&startAgainWhenThePlatformFails);
    // The application object lives until the process ends, as the framework does.
    new QApplication(argc, argv);
    qInstallMessageHandler(messagesBefore);
    ::unsetenv(kStartAttempt);
    QCoreApplication::setApplicationName("Quobly!");
    InstallAccessibility();
    SetUnhandledThreadExceptionReporter(&UnhandledException);
    HeldEvents::Install();
    if (classRegistry().empty())
        registerFrameworkClasses();
    // What Qt left of the command line after taking its own options.
    TakeCommandLine(argc, argv);
}

void CatchQuitSignals()
{
    QuitRequests::Catch();
}

// The desktop entry of that name gives the application's name and icon to a dock or task bar;
// the windows show the theme's icon of that name, or the one beside the executable.
void SetDesktopEntry(const String& name)
{
    const QString entry = QString::fromStdString(name);
    QGuiApplication::setDesktopFileName(entry);
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/data/") + entry + QStringLiteral(".png");
    QApplication::setWindowIcon(QIcon::fromTheme(entry, QIcon(beside)));
}

void RuntimeRegisterClass(const String& name, const String& base)
{
    if (!base.empty() && !isRegistered(base))
        classRegistry().push_back(base);
    if (!isRegistered(name))
        classRegistry().push_back(name);
}

std::vector<String> RegisteredClasses()
{
    return classRegistry();
}

void UnhandledException(const RuntimeException& error)
{
    const String text = error.ClassName() + ": " + error.Message();
    std::fprintf(stderr, "Quobly!: unhandled %s\n", text.c_str());
    MsgBox("An error occurred that Quobly! could not handle:\n" + text);
}

void Beep()
{
    if (seams().beep)
        return seams().beep();
    QApplication::beep();
}

void ShowURL(const String& url)
{
    if (seams().showURL)
        return seams().showURL(url);
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

Ref<FolderItem> SelectFolder()
{
    if (seams().selectFolder)
        return seams().selectFolder();
    const QString path = QFileDialog::getExistingDirectory(nullptr);
    if (path.isEmpty())
        return nullptr;
    return FolderItem::FromUserPath(path.toStdString());
}

void MsgBox(const String& message, const String& details)
{
    if (seams().msgBox)
        return seams().msgBox(message, details);
    ShowMessageBox(message, details);
}

namespace Seams {
void SetBeep(std::function<void()> handler) { seams().beep = std::move(handler); }
void SetShowURL(std::function<void(const String&)> handler) { seams().showURL = std::move(handler); }
void SetSelectFolder(std::function<Ref<FolderItem>()> handler) { seams().selectFolder = std::move(handler); }
void SetMsgBox(std::function<void(const String&)> handler)
{
    if (!handler)
        return void(seams().msgBox = nullptr);
    seams().msgBox = [handler = std::move(handler)](const String& message, const String&) { handler(message); };
}
void SetMsgBoxWithDetails(std::function<void(const String&, const String&)> handler) { seams().msgBox = std::move(handler); }
void ResetAll() { seams() = {}; }
}
