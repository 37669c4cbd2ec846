// Every text of every window fits its control at the design sizes, in English and in a
// translation whose texts are 30 % longer; only the folder's name and the status line, whose
// texts may have any length, are elided, and they then show the whole text in a tooltip.
#include "framework/gui/label.h"
#include "framework/gui/runtime.h"
#include "framework/gui/private/text_fit.h"
#include "framework/gui/private/text_label.h"
#include "main_window/main.h"
#include "shell/credits.h"
#include "shell/startup.h"
#include "shell/whelp.h"
#include "strings/loc.h"
#include "tests/support/framework_key.h"
#include "tests/shell/shell_fixtures.h"
#include "tests/support/spin.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>

namespace {

// Each text, and each row of a list, made longer by the given share of its own characters.
std::map<std::string, std::string> longerTexts(double share)
{
    const std::pair<const char*, String (*)()> texts[] = {
        { "sizewanted", loc::sizewanted }, { "dimheight", loc::dimheight }, { "dimwidth", loc::dimwidth },
        { "folder", loc::folder }, { "nofolderselected", loc::nofolderselected }, { "increase", loc::increase },
        { "exportsettings", loc::exportsettings }, { "exportformat", loc::exportformat },
        { "makenameswebready", loc::makenameswebready }, { "dosformat", loc::dosformat },
        { "resizesettings", loc::resizesettings }, { "proportional", loc::proportional },
        { "sizewantedmenu", loc::sizewantedmenu }, { "boxresizing", loc::boxresizing },
        { "boxmaxwidth", loc::boxmaxwidth }, { "boxmaxheight", loc::boxmaxheight },
        { "independant", loc::independant }, { "menuindependant", loc::menuindependant },
        { "jpegquality", loc::jpegquality }, { "buttonselect", loc::buttonselect },
        { "jpegqualitymenu", loc::jpegqualitymenu }, { "buttongo", loc::buttongo }, { "aboutquobly", loc::aboutquobly },
        { "helptitle", loc::helptitle }, { "helpindex", loc::helpindex }, { "helphistoric", loc::helphistoric },
        { "helpresizesettings", loc::helpresizesettings }, { "helpexportsettings", loc::helpexportsettings },
        { "helpfaq", loc::helpfaq }, { "credittranslation", loc::credittranslation },
        { "creditgerman", loc::creditgerman }, { "creditspanish", loc::creditspanish },
        { "theadprocessing", loc::theadprocessing }, { "theadprocessed", loc::theadprocessed },
    };
    std::map<std::string, std::string> longer;
    for (const auto& [key, text] : texts) {
        QStringList rows = QString::fromStdString(text()).split(QLatin1Char('\r'));
        for (QString& row : rows)
            row += row.left(int(std::ceil(row.size() * share)));
        longer[std::string("loc.") + key] = rows.join(QLatin1Char('\r')).toStdString();
    }
    return longer;
}

struct Language {
    const char* name;
    double longer;
};

class TextFit : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override
    {
        if (GetParam().longer > 0)
            translation = std::make_unique<ScopedTranslation>(longerTexts(GetParam().longer));
        RunFrameworkInitialization(Startup);
    }
    void TearDown() override { Finalization(); }

    // Checks every text control of the window; the labels named in `elidable` may elide.
    void expectWholeTexts(Window& window, const std::vector<Ref<Label>>& elidable = {})
    {
        SpinPending();
        for (QWidget* widget : window.ContentWidget(testKey())->findChildren<QWidget*>()) {
            SCOPED_TRACE(testing::Message() << window.ClassName() << " " << widget->metaObject()->className() << " at "
                                            << widget->x() << "," << widget->y());
            const QFontMetricsF metrics(widget->font());
            EXPECT_GE(QFontInfo(widget->font()).pixelSize(), 8);
            if (auto* label = qobject_cast<TextLabel*>(widget)) {
                expectWholeLabel(window, *label, elidable);
                continue;
            }
            QStringList texts;
            const int room = TextRoom(*widget, texts);
            if (room < 0)
                continue;
            EXPECT_LE(metrics.height(), widget->height());
            for (const QString& text : texts)
                EXPECT_LE(metrics.horizontalAdvance(text), room) << text.toStdString();
        }
    }

    void expectWholeLabel(Window& window, TextLabel& label, const std::vector<Ref<Label>>& elidable)
    {
        Ref<Label> control;
        for (const char* name : { "StaticText1", "StaticText2", "StaticText3", "StaticText4", "StaticText5", "StaticText6",
                 "StaticText7", "StaticText51", "STFolder", "STStatus", "STJPEGQuality", "STQuality", "stemail", "Label1",
                 "Label2", "Label3" }) {
            if (auto named = window.ControlByName(name).As<Label>(); named && named->Widget() == &label)
                control = named;
        }
        ASSERT_TRUE(control);
        SCOPED_TRACE(control->Name());
        QString whole = QString::fromStdString(control->Text()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QFontMetricsF metrics(label.font());
        const QRect room = label.contentsRect();
        if (label.wordWrap()) {
            const qsizetype lines = WrappedLines(label.font(), whole, room.width()).size();
            const qreal pitch = label.linePitch() > 0 ? label.linePitch() : metrics.lineSpacing();
            EXPECT_LE((lines - 1) * pitch + metrics.height(), room.height() + 0.5) << lines << " lines";
            return;
        }
        EXPECT_LE(metrics.height(), room.height() + 1);
        if (GetParam().longer == 0) {
            EXPECT_EQ(QFontInfo(label.font()).pixelSize(), 12) << "an English label keeps its design size";
        }
        const bool mayElide = std::any_of(elidable.begin(), elidable.end(), [&](const Ref<Label>& l) { return l == control; });
        if (!mayElide || label.text() == whole) {
            EXPECT_EQ(label.text().toStdString(), whole.toStdString());
        } else {
            EXPECT_EQ(label.toolTip().toStdString(), whole.toStdString()) << "an elided text shows whole in the tooltip";
        }
        EXPECT_LE(metrics.horizontalAdvance(label.text()), room.width()) << label.text().toStdString();
    }

    // What each label draws is what its window shows: no control stacked above it hides any of
    // its ink (rows of labels closer than their height, as in the credits, overlap).
    void expectLabelsUncovered(Window& window)
    {
        QWidget* content = window.ContentWidget(testKey());
        const QImage shown = content->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        for (TextLabel* label : content->findChildren<TextLabel*>()) {
            if (!label->isVisible())
                continue;
            const QImage own = label->grab().toImage().convertToFormat(QImage::Format_ARGB32);
            const QPoint at = label->mapTo(content, QPoint(0, 0));
            int hidden = 0;
            for (int y = 0; y < own.height(); ++y) {
                for (int x = 0; x < own.width(); ++x) {
                    const QRgb ink = own.pixel(x, y);
                    if (qAlpha(ink) == 255 && qGray(ink) < 128 && qGray(shown.pixel(at.x() + x, at.y() + y)) >= 128)
                        ++hidden;
                }
            }
            EXPECT_EQ(hidden, 0) << window.ClassName() << ": pixels of \"" << label->text().toStdString() << "\" hidden";
        }
    }

    std::unique_ptr<ScopedTranslation> translation;
    SystemRecorder recorder;
};

TEST_P(TextFit, EveryWindowShowsEveryTextWhole)
{
    auto main = Main::instance();
    expectWholeTexts(*main, { main->STFolder(), main->STStatus() });
    // The status line of a run has a bounded length and shows whole; only the end's, which names
    // the folder, may be elided.
    main->STStatus()->Text(ReplaceAll(ReplaceAll(loc::theadprocessing(), "<0>", "10000"), "<1>", "10000"));
    expectWholeTexts(*main, { main->STFolder() });
    main->HelpHelp_Action();
    expectWholeTexts(*GetImplicitWindow(WHelp::kClassName));
    main->AppleCredits_Action();
    auto credits = GetImplicitWindow(Credits::kClassName).As<Credits>();
    ASSERT_TRUE(credits);
    expectWholeTexts(*credits);
    for (Window* window : { static_cast<Window*>(main.get()), GetImplicitWindow(WHelp::kClassName).get(), static_cast<Window*>(credits.get()) })
        expectLabelsUncovered(*window);

    // On screen: the product's four lines hold the author's name, below the product and the
    // version, inside the label's 44 pixels.
    QWidget* product = credits->StaticText1()->Widget();
    const QImage shot = product->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto inkRows = [&](int from, int to) {
        int rows = 0;
        for (int y = from; y < to; ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (qGray(shot.pixel(x, y)) < 96) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    EXPECT_GT(inkRows(0, 14), 4) << "the product line";
    EXPECT_GT(inkRows(shot.height() / 2 + 4, shot.height()), 4) << "the author's line";
    EXPECT_EQ(inkRows(shot.height() - 1, shot.height()), 0) << "nothing cut at the bottom edge";
    const QString dir = QCoreApplication::applicationDirPath() + "/../";
    credits->TopLevelWidget(testKey())->grab().save(dir + "credits-" + GetParam().name + ".png");
    main->TopLevelWidget(testKey())->grab().save(dir + "main-" + GetParam().name + ".png");
}

TEST_P(TextFit, ALongFolderNameIsElidedInTheMiddleAndWholeInTheTooltip)
{
    auto main = Main::instance();
    const String name = "Pictures of the summer holiday at the seaside, with the whole family and friends";
    main->STFolder()->Text(name);
    SpinPending();
    auto* label = static_cast<QLabel*>(main->STFolder()->Widget());
    EXPECT_TRUE(label->text().contains(QChar(0x2026))) << label->text().toStdString();
    EXPECT_TRUE(label->text().startsWith("Pictures")) << label->text().toStdString();
    EXPECT_TRUE(label->text().endsWith("friends")) << label->text().toStdString();
    EXPECT_EQ(label->toolTip().toStdString(), name);
    EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 12) << "a text elided all the same keeps its design size";
    EXPECT_EQ(main->STFolder()->Text(), name);
    main->STFolder()->Text("Short");
    EXPECT_EQ(label->text(), "Short");
    EXPECT_TRUE(label->toolTip().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit, ::testing::Values(Language { "english", 0 }, Language { "longer", 0.3 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
