// The localized-string table.
#include "strings/loc.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include <vector>

namespace {

struct Entry {
    const char* key;
    String (*function)();
    String english;
    // The translators' names that complete the credits are build settings: only the start is fixed.
    bool completedByBuild = false;
};

// Every text of the table, in its order, with its key and its English default.
const std::vector<Entry>& table()
{
    static const std::vector<Entry> entries {
        { "loc.sizewanted", loc::sizewanted, "Size wanted:" },
        { "loc.dimheight", loc::dimheight, "Height:" },
        { "loc.dimwidth", loc::dimwidth, "Width:" },
        { "loc.folder", loc::folder, "Folder:" },
        { "loc.nofolderselected", loc::nofolderselected, "No folder selected" },
        { "loc.increase", loc::increase, "Increase picture size if needed" },
        { "loc.exportsettings", loc::exportsettings, "Exportation settings" },
        { "loc.exportformat", loc::exportformat, "Export as:" },
        { "loc.makenameswebready", loc::makenameswebready, "Make names web-ready" },
        { "loc.dosformat", loc::dosformat, "DOS format (8 characters + extension)" },
        { "loc.resizesettings", loc::resizesettings, "Resizing settings" },
        { "loc.proportional", loc::proportional, "Proportional resizing" },
        { "loc.sizewantedmenu", loc::sizewantedmenu,
            "Biggest (pixel)\rSmallest (pixel)\rWidth (pixel)\rHeight (pixel)\rPercent" },
        { "loc.boxresizing", loc::boxresizing, "Box resizing" },
        { "loc.boxmaxwidth", loc::boxmaxwidth, "Maximum width:" },
        { "loc.boxmaxheight", loc::boxmaxheight, "Maximum height:" },
        { "loc.independant", loc::independant, "Independant resizing" },
        { "loc.menuindependant", loc::menuindependant, "Pixels\rPercent" },
        { "loc.jpegquality", loc::jpegquality, "JPEG Quality:" },
        { "loc.buttonselect", loc::buttonselect, "Select" },
        { "loc.jpegqualitymenu", loc::jpegqualitymenu, "Excellent (90)\rGood (80)\rDecent (60)\rLow (40)\rCustom" },
        { "loc.buttongo", loc::buttongo, "Go" },
        { "loc.aboutquobly", loc::aboutquobly, "About Quobly" },
        { "loc.menuhelp", loc::menuhelp, "Help" },
        { "loc.menuquoblyhelp", loc::menuquoblyhelp, "Quobly! Help" },
        { "loc.menufile", loc::menufile, "File" },
        { "loc.menuquit", loc::menuquit, "Quit" },
        { "loc.menuundo", loc::menuundo, "Undo" },
        { "loc.menucopy", loc::menucopy, "Copy" },
        { "loc.menupaste", loc::menupaste, "Paste" },
        { "loc.menucut", loc::menucut, "Cut" },
        { "loc.menuedit", loc::menuedit, "Edit" },
        { "loc.menuclear", loc::menuclear, "Clear" },
        { "loc.initialbiggest", loc::initialbiggest, "B" },
        { "loc.initialsmallest", loc::initialsmallest, "S" },
        { "loc.initialwidth", loc::initialwidth, "W" },
        { "loc.initialheight", loc::initialheight, "H" },
        { "loc.theadprocessing", loc::theadprocessing, "Processing picture <0> of <1>" },
        { "loc.theadprocessed", loc::theadprocessed, "Folder '<0>' processed" },
        { "loc.lang", loc::lang, "en" },
        { "loc.helptitle", loc::helptitle, "Quobly! Help" },
        { "loc.helpindex", loc::helpindex, "Index" },
        { "loc.helphistoric", loc::helphistoric, "Release Notes" },
        { "loc.helpresizesettings", loc::helpresizesettings, "Resize Settings" },
        { "loc.helpexportsettings", loc::helpexportsettings, "Export Settings" },
        { "loc.helpfaq", loc::helpfaq, "FAQ" },
        { "loc.credittranslation", loc::credittranslation, "Translations:" },
        { "loc.creditgerman", loc::creditgerman, "German: ", true },
        { "loc.creditspanish", loc::creditspanish, "Castilian: ", true },
    };
    return entries;
}

// Answers every key of the "loc" context with a marked text, so a test sees which key a
// function asked for.
class EchoTranslator final : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (QLatin1String(context) != QLatin1String("loc"))
            return {};
        if (m_only && QLatin1String(sourceText) != QLatin1String(m_only))
            return {};
        return QStringLiteral("[") + QString::fromUtf8(sourceText) + QStringLiteral("]");
    }
    bool isEmpty() const override { return false; }
    const char* m_only = nullptr;
};

TEST(Loc, EveryTextIsItsDefaultWithoutTranslations)
{
    ASSERT_EQ(table().size(), 49u);
    for (const auto& entry : table()) {
        const String text = entry.function();
        if (entry.completedByBuild) {
            EXPECT_EQ(text.rfind(entry.english, 0), 0u) << entry.key;
            EXPECT_GT(text.size(), entry.english.size()) << entry.key;
        } else {
            EXPECT_EQ(text, entry.english) << entry.key;
        }
    }
}

TEST(Loc, EachFunctionAsksForItsOwnKey)
{
    EchoTranslator translator;
    QCoreApplication::installTranslator(&translator);
    for (const auto& entry : table())
        EXPECT_EQ(entry.function(), String("[") + entry.key + "]");
    QCoreApplication::removeTranslator(&translator);
}

TEST(Loc, ListTextsHoldExactlyTheirRows)
{
    const auto rows = [](const String& list) {
        std::vector<String> result;
        size_t start = 0;
        for (size_t cr; (cr = list.find('\r', start)) != String::npos; start = cr + 1)
            result.push_back(list.substr(start, cr - start));
        result.push_back(list.substr(start));
        return result;
    };
    EXPECT_EQ(rows(loc::menuindependant()), (std::vector<String> { "Pixels", "Percent" }));
    EXPECT_EQ(rows(loc::sizewantedmenu()).size(), 5u);
    EXPECT_EQ(rows(loc::jpegqualitymenu()).size(), 5u);
    EXPECT_EQ(rows(loc::jpegqualitymenu()).back(), "Custom");
    for (const String& list : { loc::menuindependant(), loc::sizewantedmenu(), loc::jpegqualitymenu() })
        EXPECT_EQ(list.find('\n'), String::npos);
}

TEST(Loc, KeysWithTheSameDefaultAreTranslatedApart)
{
    EchoTranslator translator;
    translator.m_only = "loc.helptitle";
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(loc::helptitle(), "[loc.helptitle]");
    EXPECT_EQ(loc::menuquoblyhelp(), "Quobly! Help");
    QCoreApplication::removeTranslator(&translator);
}

TEST(Loc, TemplatesKeepTheirPlaceholders)
{
    EXPECT_EQ(loc::theadprocessing(), "Processing picture <0> of <1>");
    EXPECT_EQ(loc::theadprocessed(), "Folder '<0>' processed");
}

} // namespace
