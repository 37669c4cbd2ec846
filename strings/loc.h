#pragma once

#include "framework/core/text.h"

// The application's translatable texts: each function looks up the key "loc." followed by its own
// name and gives the English default when the user's language has no translation. List texts
// hold their rows separated by one carriage return; templates hold "<0>" and "<1>" for the
// caller to replace.
namespace loc {

String sizewanted();
String dimheight();
String dimwidth();
String folder();
String nofolderselected();
String increase();
String exportsettings();
String exportformat();
String makenameswebready();
String dosformat();
String resizesettings();
String proportional();
String sizewantedmenu();
String boxresizing();
String boxmaxwidth();
String boxmaxheight();
String independant();
String menuindependant();
String jpegquality();
String buttonselect();
String jpegqualitymenu();
String buttongo();
String aboutquobly();
String menuhelp();
String menuquoblyhelp();
String menufile();
String menuquit();
String menuundo();
String menucopy();
String menupaste();
String menucut();
String menuedit();
String menuclear();
String initialbiggest();
String initialsmallest();
String initialwidth();
String initialheight();
String theadprocessing();
String theadprocessed();
String lang();
String helptitle();
String helpindex();
String helphistoric();
String helpresizesettings();
String helpexportsettings();
String helpfaq();
String credittranslation();
String creditgerman();
String creditspanish();
}
