// Localized strings by the user's locale.
#include "framework/core/localization.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include <map>

namespace {

// A translation held in memory: no .qm file needed.
class MapTranslator final : public QTranslator {
public:
    explicit MapTranslator(std::map<QString, QString> texts)
        : m_texts(std::move(texts))
    {
    }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (QLatin1String(context) != QLatin1String("loc"))
            return {};
        const auto found = m_texts.find(QString::fromUtf8(sourceText));
        return found == m_texts.end() ? QString() : found->second;
    }
    bool isEmpty() const override { return false; }

private:
    std::map<QString, QString> m_texts;
};

TEST(Localization, TranslationOrDefault)
{
    EXPECT_EQ(System().GetLocalizedString("loc.helptitle", "Quobly! Help"), "Quobly! Help");

    MapTranslator german({ { "loc.helptitle", QString::fromUtf8("Quobly! Hilfe") },
        { "loc.buttongo", QString::fromUtf8("Los \xE2\x80\x94 \xC3\xBC") } });
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    EXPECT_EQ(System().GetLocalizedString("loc.helptitle", "Quobly! Help"), "Quobly! Hilfe");
    EXPECT_EQ(System().GetLocalizedString("loc.buttongo", "Go"), "Los \xE2\x80\x94 \xC3\xBC");
    EXPECT_EQ(System().GetLocalizedString("loc.menuquoblyhelp", "Quobly! Help"), "Quobly! Help");
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(System().GetLocalizedString("loc.helptitle", "Quobly! Help"), "Quobly! Help");
}

TEST(Localization, NoTranslationFileForTheCLocale)
{
    // The test process runs in the C locale, for which no translation is shipped.
    EXPECT_FALSE(LoadTranslationsForLocale());
    EXPECT_EQ(System().GetLocalizedString("loc.lang", "en"), "en");
}

} // namespace
