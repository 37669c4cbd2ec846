// The executable's entry point.
#include "framework/core/localization.h"
#include "framework/gui/runtime.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    CatchQuitSignals();
    RuntimeInit(argc, argv);
    SetDesktopEntry("quobly");
    LoadTranslationsForLocale();
    RegisterClasses();
    Main_();
    Finalization();
    return RuntimeExit();
}
