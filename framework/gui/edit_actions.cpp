// The Edit menu's standard items on the focused text control.
#include "framework/gui/private/edit_actions.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTextEdit>

namespace {

enum class Edit { Undo, Cut, Copy, Paste, Clear, None };

Edit editOf(const String& name)
{
    if (name == "EditUndo")
        return Edit::Undo;
    if (name == "EditCut")
        return Edit::Cut;
    if (name == "EditCopy")
        return Edit::Copy;
    if (name == "EditPaste")
        return Edit::Paste;
    if (name == "EditClear")
        return Edit::Clear;
    return Edit::None;
}

bool clipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// A password field gives its text to no clipboard.
bool lineEditCan(const QLineEdit& field, Edit edit)
{
    const bool writable = !field.isReadOnly();
    const bool selection = field.hasSelectedText();
    const bool shown = field.echoMode() == QLineEdit::Normal;
    switch (edit) {
    case Edit::Undo:
        return writable && field.isUndoAvailable();
    case Edit::Cut:
        return writable && selection && shown;
    case Edit::Copy:
        return selection && shown;
    case Edit::Paste:
        return writable && clipboardHasText();
    case Edit::Clear:
        return writable && selection;
    case Edit::None:
        break;
    }
    return false;
}

// Undo stays with edit fields: a page's own undo history is not the user's typing.
bool textEditCan(const QTextEdit& text, Edit edit)
{
    const bool writable = !text.isReadOnly();
    const bool selection = text.textCursor().hasSelection();
    switch (edit) {
    case Edit::Cut:
    case Edit::Clear:
        return writable && selection;
    case Edit::Copy:
        return selection;
    case Edit::Paste:
        return writable && text.canPaste();
    case Edit::Undo:
    case Edit::None:
        break;
    }
    return false;
}

bool can(QWidget* focus, Edit edit)
{
    if (!focus || !focus->isEnabled())
        return false;
    if (auto* field = qobject_cast<QLineEdit*>(focus))
        return lineEditCan(*field, edit);
    if (auto* text = qobject_cast<QTextEdit*>(focus))
        return textEditCan(*text, edit);
    if (auto* label = qobject_cast<QLabel*>(focus))
        return edit == Edit::Copy && label->hasSelectedText();
    return false;
}

// A text edit's focus may sit on its viewport.
QWidget* textControl(QWidget* focus)
{
    for (QWidget* w = focus; w; w = w->parentWidget()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QLabel*>(w))
            return w;
        if (w->isWindow())
            break;
    }
    return focus;
}

void enableBelow(const Ref<MenuItem>& item, QWidget* focus)
{
    if (const Edit edit = editOf(item->Name()); edit != Edit::None && can(focus, edit))
        item->Enabled(true);
    for (int32_t i = 0; i < item->Count(); ++i)
        enableBelow(item->Item(i), focus);
}

} // namespace

void EnableEditItems(const Ref<MenuItem>& model, QWidget* focus)
{
    if (model)
        enableBelow(model, textControl(focus));
}

bool PerformEditAction(const String& itemName, QWidget* focus)
{
    focus = textControl(focus);
    const Edit edit = editOf(itemName);
    if (edit == Edit::None || !can(focus, edit))
        return false;
    if (auto* field = qobject_cast<QLineEdit*>(focus)) {
        switch (edit) {
        case Edit::Undo: field->undo(); break;
        case Edit::Cut: field->cut(); break;
        case Edit::Copy: field->copy(); break;
        case Edit::Paste: field->paste(); break;
        case Edit::Clear: field->del(); break;
        case Edit::None: break;
        }
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        switch (edit) {
        case Edit::Cut: text->cut(); break;
        case Edit::Copy: text->copy(); break;
        case Edit::Paste: text->paste(); break;
        case Edit::Clear: text->textCursor().removeSelectedText(); break;
        case Edit::Undo:
        case Edit::None: break;
        }
    } else if (auto* label = qobject_cast<QLabel*>(focus)) {
        QApplication::clipboard()->setText(label->selectedText());
    }
    return true;
}
