#include "strings/loc.h"

#include "framework/core/localization.h"

// QUOBLY_TRANSLATOR_DE and QUOBLY_TRANSLATOR_ES, the translators' names, are build settings.

namespace {

String lookup(const char* key, const char* defaultText)
{
    return System().GetLocalizedString(key, defaultText);
}

} // namespace

namespace loc {

String sizewanted() { return lookup("loc.sizewanted", "Size wanted:"); }
String dimheight() { return lookup("loc.dimheight", "Height:"); }
String dimwidth() { return lookup("loc.dimwidth", "Width:"); }
String folder() { return lookup("loc.folder", "Folder:"); }
String nofolderselected() { return lookup("loc.nofolderselected", "No folder selected"); }
String increase() { return lookup("loc.increase", "Increase picture size if needed"); }
String exportsettings() { return lookup("loc.exportsettings", "Exportation settings"); }
String exportformat() { return lookup("loc.exportformat", "Export as:"); }
String makenameswebready() { return lookup("loc.makenameswebready", "Make names web-ready"); }
String dosformat() { return lookup("loc.dosformat", "DOS format (8 characters + extension)"); }
String resizesettings() { return lookup("loc.resizesettings", "Resizing settings"); }
String proportional() { return lookup("loc.proportional", "Proportional resizing"); }
String sizewantedmenu()
{
    return lookup("loc.sizewantedmenu", "Biggest (pixel)\r" "Smallest (pixel)\r" "Width (pixel)\r" "Height (pixel)\r" "Percent");
}
String boxresizing() { return lookup("loc.boxresizing", "Box resizing"); }
String boxmaxwidth() { return lookup("loc.boxmaxwidth", "Maximum width:"); }
String boxmaxheight() { return lookup("loc.boxmaxheight", "Maximum height:"); }
String independant() { return lookup("loc.independant", "Independant resizing"); }
String menuindependant() { return lookup("loc.menuindependant", "Pixels\r" "Percent"); }
String jpegquality() { return lookup("loc.jpegquality", "JPEG Quality:"); }
String buttonselect() { return lookup("loc.buttonselect", "Select"); }
String jpegqualitymenu()
{
    return lookup("loc.jpegqualitymenu", "Excellent (90)\r" "Good (80)\r" "Decent (60)\r" "Low (40)\r" "Custom");
}
String buttongo() { return lookup("loc.buttongo", "Go"); }
String aboutquobly() { return lookup("loc.aboutquobly", "About Quobly"); }
String menuhelp() { return lookup("loc.menuhelp", "Help"); }
String menuquoblyhelp() { return lookup("loc.menuquoblyhelp", "Quobly! Help"); }
String menufile() { return lookup("loc.menufile", "File"); }
String menuquit() { return lookup("loc.menuquit", "Quit"); }
String menuundo() { return lookup("loc.menuundo", "Undo"); }
String menucopy() { return lookup("loc.menucopy", "Copy"); }
String menupaste() { return lookup("loc.menupaste", "Paste"); }
String menucut() { return lookup("loc.menucut", "Cut"); }
String menuedit() { return lookup("loc.menuedit", "Edit"); }
String menuclear() { return lookup("loc.menuclear", "Clear"); }
String initialbiggest() { return lookup("loc.initialbiggest", "B"); }
String initialsmallest() { return lookup("loc.initialsmallest", "S"); }
String initialwidth() { return lookup("loc.initialwidth", "W"); }
String initialheight() { return lookup("loc.initialheight", "H"); }
String theadprocessing() { return lookup("loc.theadprocessing", "Processing picture <0> of <1>"); }
String theadprocessed() { return lookup("loc.theadprocessed", "Folder '<0>' processed"); }
String lang() { return lookup("loc.lang", "en"); }
String helptitle() { return lookup("loc.helptitle", "Quobly! Help"); }
String helpindex() { return lookup("loc.helpindex", "Index"); }
String helphistoric() { return lookup("loc.helphistoric", "Release Notes"); }
String helpresizesettings() { return lookup("loc.helpresizesettings", "Resize Settings"); }
String helpexportsettings() { return lookup("loc.helpexportsettings", "Export Settings"); }
String helpfaq() { return lookup("loc.helpfaq", "FAQ"); }
String credittranslation() { return lookup("loc.credittranslation", "Translations:"); }
String creditgerman() { return lookup("loc.creditgerman", "German: " QUOBLY_TRANSLATOR_DE); }
String creditspanish() { return lookup("loc.creditspanish", "Castilian: " QUOBLY_TRANSLATOR_ES); }

} // namespace loc
