// The message box that MsgBox shows, kept within the screen.
#include "framework/gui/private/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

QString FitMessageLines(const QString& message, const QFontMetrics& metrics, int width, bool& elided)
{
    elided = false;
    static const QRegularExpression unbroken(QStringLiteral("\\S+"));
    QString fitted;
    qsizetype from = 0;
    for (auto match = unbroken.globalMatch(message); match.hasNext();) {
        const QRegularExpressionMatch run = match.next();
        fitted += message.mid(from, run.capturedStart() - from);
        QString shown = run.captured();
        if (metrics.horizontalAdvance(shown) > width) {
            shown = metrics.elidedText(shown, Qt::ElideMiddle, width);
            elided = true;
        }
        fitted += shown;
        from = run.capturedEnd();
    }
    return fitted + message.mid(from);
}

void ShowMessageBox(const String& message, const String& details)
{
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quobly!"), QString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen();
    // Half the screen, as wide as a message box grows before it wraps its text.
    const int width = screen ? std::min(screen->availableGeometry().width() / 2, 500) : 500;
    const QString whole = QString::fromStdString(message);
    bool elided = false;
    box.setText(FitMessageLines(whole, box.fontMetrics(), width, elided));
    const QString more = QString::fromStdString(details);
    if (elided)
        box.setDetailedText(more.isEmpty() ? whole : whole + QStringLiteral("\n\n") + more);
    else if (!more.isEmpty())
        box.setDetailedText(more);
    // OK takes the focus, not "Show Details…": where the theme's Return presses the focused button
    // (GNOME), Return must still close the box.
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
