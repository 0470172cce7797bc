#include "AutoCompleteHook.h"
#include "Controls.h"
#include "modComplete.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

// The combos hold one line: a pasted line break or tab becomes a blank.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& character : input) {
            if (character.unicode() < 32)
                character = QLatin1Char(' ');
        }
        return Acceptable;
    }
};

// Sends a combo's key presses and typed text through AutoCompleteComboBox, also
// those that Qt delivers to the open drop-down list.
class ComboKeyRouter : public QObject {
public:
    explicit ComboKeyRouter(QComboBox* combo) : QObject(combo), m_combo(combo) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void watchList(QAbstractItemView* list);

private:
    bool routeKey(const QKeyEvent& key);
    bool routeInputMethod(const QInputMethodEvent& event);
    bool routeListKey(QKeyEvent* key);
    bool holdBackListEnter(const QKeyEvent& key) const;
    bool enterChoosesHighlightedItem() const;

    QComboBox* m_combo;
    QObject* m_list = nullptr;
};

// The drop-down list is made when it is first needed, not with the combo (a
// slip window has eleven combos); it is watched from then on. Its frame is the
// combo's child that holds the list, and it is polished before it first shows.
void ComboKeyRouter::watchList(QAbstractItemView* list) {
    if (m_list)
        return;
    m_list = list;
    // As an editable combo's list: a scroll bar when the items do not fit.
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->installEventFilter(this);
}

bool ComboKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_combo && event->type() == QEvent::ChildPolished) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (auto* list = child->findChild<QAbstractItemView*>())
            watchList(list);
        return false;
    }
    // Only typing is routed (nothing else may touch the combo: it may be on its way out).
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::InputMethod &&
        event->type() != QEvent::ShortcutOverride)
        return false;
    if (watched == m_list) {
        if (event->type() == QEvent::ShortcutOverride)
            return holdBackListEnter(*static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::KeyPress)
            return routeListKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod) {
            QCoreApplication::sendEvent(m_combo, event);
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress)
        return routeKey(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::InputMethod)
        return routeInputMethod(*static_cast<QInputMethodEvent*>(event));
    return false;
}

bool ComboKeyRouter::routeKey(const QKeyEvent& key) {
    const int code = keyCharacterCode(key);
    if (code < 0)
        return false;
    return AutoCompleteComboBox(m_combo, code) == 0;
}

// Text committed by an input method is typed character by character, as keys
// would be; a composition still in progress is shown by the edit as usual.
bool ComboKeyRouter::routeInputMethod(const QInputMethodEvent& event) {
    if (!event.preeditString().isEmpty() || event.replacementLength() != 0 || event.commitString().isEmpty())
        return false;
    QLineEdit* edit = m_combo->lineEdit();
    if (!edit)
        return false;
    QInputMethodEvent endComposition;
    QCoreApplication::sendEvent(edit, &endComposition);
    for (const char32_t code : event.commitString().toUcs4()) {
        if (AutoCompleteComboBox(m_combo, static_cast<int>(code)) != 0)
            edit->insert(QString::fromUcs4(&code, 1));
    }
    return true;
}

// Enter picks the highlighted item when the operator moved the highlight with
// the arrow keys, or when it is exactly the text shown (a completion accepted);
// otherwise Enter leaves the text as typed.
bool ComboKeyRouter::enterChoosesHighlightedItem() const {
    const QModelIndex highlighted = m_combo->view()->currentIndex();
    if (!highlighted.isValid())
        return false;
    return highlighted.row() != m_combo->currentIndex() ||
           m_combo->itemText(highlighted.row()) == m_combo->currentText();
}

// The open list picks its highlighted item on Enter before the key press
// itself arrives; it may do so only when Enter chooses that item.
bool ComboKeyRouter::holdBackListEnter(const QKeyEvent& key) const {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && !enterChoosesHighlightedItem();
}

bool ComboKeyRouter::routeListKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        return false; // the list moves its highlight or closes
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (enterChoosesHighlightedItem())
            return false;
        m_combo->hidePopup();
        break;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_combo->hidePopup();
        break;
    default:
        break;
    }
    QCoreApplication::sendEvent(m_combo, key);
    return true;
}

} // namespace

int keyCharacterCode(const QKeyEvent& event) {
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return -1;
    case Qt::Key_Backspace:
        return control || alt ? -1 : 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    if (control && !alt) { // Ctrl+Alt is AltGr on some keyboards: a character
        if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
            return event.key() - Qt::Key_A + 1;
        return -1;
    }
    if (alt && !control)
        return -1;
    const QList<uint> codes = event.text().toUcs4();
    if (codes.size() != 1 || codes.first() < 32 || codes.first() == 127)
        return -1;
    return static_cast<int>(codes.first());
}

void installAutoComplete(QComboBox* combo) {
    // Editable through its own line edit: setEditable would make the drop-down
    // list at once.
    auto* edit = new QLineEdit(combo);
    edit->setPalette(combo->palette());
    edit->setAccessibleName(combo->accessibleName());
    Controls::unlimited(edit);
    combo->setLineEdit(edit);
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setValidator(new SingleLineValidator(combo));
    edit->setContextMenuPolicy(Qt::DefaultContextMenu);
    // Leaving the combo must not pick an item that happens to match the text.
    QObject::disconnect(edit, &QLineEdit::editingFinished, combo, nullptr);

    auto* router = new ComboKeyRouter(combo);
    combo->installEventFilter(router);
    edit->installEventFilter(router);
    if (auto* list = combo->findChild<QAbstractItemView*>()) // the list was made already
        router->watchList(list);
    // After a choice from the list the caret stands at the end, nothing selected.
    QObject::connect(combo, &QComboBox::activated, router, [combo] {
        if (QLineEdit* lineEdit = combo->lineEdit())
            lineEdit->end(false);
    });
}
