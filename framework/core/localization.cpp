// The localized-string lookup through Qt's translations, by the user's locale.
#include "framework/core/localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

String SystemClass::GetLocalizedString(const String& key, const String& defaultText) const
{
    // translate() gives the source text back when no installed translator knows the key.
    const QString translated = QCoreApplication::translate("loc", key.c_str());
    const QByteArray bytes = translated.toUtf8();
    if (translated.isEmpty() || bytes == QByteArray::fromStdString(key))
        return defaultText;
    return bytes.toStdString();
}

SystemClass& System()
{
    static SystemClass instance;
    return instance;
}

bool LoadTranslationsForLocale()
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* translator = new QTranslator(app);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/data/translations");
    if (!translator->load(QLocale::system(), QStringLiteral("quobly"), QStringLiteral("_"), folder, QStringLiteral(".qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
