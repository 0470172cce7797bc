#include "modComplete.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <algorithm>

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kFirstPrintable = 32;
constexpr int kLastCodePoint = 0x10FFFF;

QString characterText(int code) {
    const char32_t character = static_cast<char32_t>(code);
    return QString::fromUcs4(&character, 1);
}

// The text without its last character (a surrogate pair counts as one).
QString withoutLastCharacter(const QString& text) {
    qsizetype cut = 1;
    if (text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate())
        cut = 2;
    return text.left(text.size() - cut);
}

// While the list is open its highlight follows the matched item; with no match
// nothing is highlighted, so that Enter cannot pick a stale item.
void highlightInList(QComboBox* combo, int row) {
    QItemSelectionModel* selection = combo->view()->selectionModel();
    if (!selection)
        return;
    if (row < 0) {
        selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    const QModelIndex index = combo->model()->index(row, combo->modelColumn(), combo->rootModelIndex());
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

} // namespace

int SelectComboString(QComboBox* combo, const QString& prefix) {
    for (int row = 0; row < combo->count(); ++row) {
        const QString item = combo->itemText(row);
        if (!item.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        combo->setCurrentIndex(row);
        // Already the current item: its text still has to replace what was typed.
        combo->setEditText(item);
        highlightInList(combo, row);
        return row;
    }
    highlightInList(combo, -1);
    return -1;
}

void ShowComboDropDown(QComboBox* combo) {
    if (!combo || !combo->isVisible())
        return;
    QAbstractItemView* list = combo->view();
    if (!list->isVisible())
        combo->showPopup();
    // Qt hands the keyboard to an opened list; the operator keeps typing in the edit.
    if (list->hasFocus())
        combo->setFocus(Qt::PopupFocusReason);
}

int AutoCompleteComboBox(QComboBox* combo, int keyCode) {
    QLineEdit* edit = combo ? combo->lineEdit() : nullptr;
    if (!edit || keyCode < 0 || keyCode > kLastCodePoint)
        return keyCode;

    // Selection start and length, read once.
    const int selectionLength = static_cast<int>(edit->selectedText().size());
    const int selectionStart = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const QString text = edit->text();

    if (keyCode >= kFirstPrintable) {
        const QString typed =
            (selectionLength == 0 ? text : text.left(selectionStart)) + characterText(keyCode);
        ShowComboDropDown(combo);
        if (SelectComboString(combo, typed) < 0) {
            combo->setEditText(typed);
            edit->setCursorPosition(static_cast<int>(edit->text().size()));
        } else {
            const int shown = static_cast<int>(edit->text().size());
            const int typedLength = std::min(static_cast<int>(typed.size()), shown);
            edit->setSelection(typedLength, shown - typedLength);
        }
        return 0;
    }

    // A control character: nothing stays selected.
    edit->setCursorPosition(selectionStart);
    if (keyCode == kBackspace) {
        if (selectionLength > 0)
            combo->setEditText(text.left(selectionStart));
        else if (!text.isEmpty())
            combo->setEditText(withoutLastCharacter(text));
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        return 0;
    }
    if (keyCode == kEnter) {
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        return kEnter;
    }
    return 0;
}
