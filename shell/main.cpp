#include "framework/localization.h"
#include "framework/runtime.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    RuntimeInit(argc, argv);
    LoadTranslationsForLocale();
    RegisterClasses();
    Main_();
    Finalization();
    return RuntimeExit();
}
