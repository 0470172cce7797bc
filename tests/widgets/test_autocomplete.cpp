#include "AutoCompleteHook.h"
#include "KeyTesting.h"
#include "modComplete.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <memory>

using namespace SlipTesting;

namespace {

// A window with one completing combo and a second field to move the focus to.
struct ComboWindow {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QComboBox* combo = new QComboBox(window.get());
    QLineEdit* other = new QLineEdit(window.get());

    explicit ComboWindow(const QStringList& items = {QStringLiteral("Alpha"), QStringLiteral("alpine")}) {
        window->resize(300, 100);
        installAutoComplete(combo);
        combo->addItems(items);
        combo->setCurrentIndex(-1);
        combo->setGeometry(10, 10, 200, 22);
        other->setGeometry(10, 50, 200, 22);
        combo->setFocus();
    }
    QLineEdit* edit() const { return combo->lineEdit(); }
    bool listOpen() const { return combo->view()->isVisible(); }
};

} // namespace

class TestAutoComplete : public QObject {
    Q_OBJECT
private slots:
    // The list holds Alpha and then alpine; the operator types a, l, p, i and two Backspaces.
    void alphaAlpineExample() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        struct Step {
            char key;
            const char* text;
            const char* selected;
        };
        const Step steps[] = {
            {'a', "Alpha", "lpha"}, {'l', "Alpha", "pha"}, {'p', "Alpha", "ha"}, {'i', "alpine", "ne"}};
        for (const Step& step : steps) {
            type(w.window.get(), QString(QLatin1Char(step.key)));
            QCOMPARE(w.edit()->text(), QString::fromLatin1(step.text));
            QCOMPARE(w.edit()->selectedText(), QString::fromLatin1(step.selected));
            QVERIFY(w.listOpen());
            QVERIFY2(w.combo->hasFocus(), "the open list must not take the keyboard from the edit");
        }
        press(w.window.get(), Qt::Key_Backspace);
        QCOMPARE(w.edit()->text(), QStringLiteral("alpi"));
        QVERIFY(!w.edit()->hasSelectedText());
        QCOMPARE(w.edit()->cursorPosition(), 4);
        press(w.window.get(), Qt::Key_Backspace);
        QCOMPARE(w.edit()->text(), QStringLiteral("alp"));
        QCOMPARE(w.edit()->cursorPosition(), 3);
    }

    void firstMatchInListOrder_data() {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("selected");
        QTest::newRow("longer item first, not the exact one") << QStringList{"Alpha", "Al"} << "al"
                                                              << "Alpha"
                                                              << "pha";
        QTest::newRow("exact item first") << QStringList{"Al", "Alpha"} << "al"
                                          << "Al"
                                          << "";
        QTest::newRow("letter case ignored, item's case shown")
            << QStringList{"Zeta", "ALPINE", "alpha"} << "alp"
            << "ALPINE"
            << "INE";
        QTest::newRow("typed upper, item lower") << QStringList{"beta", "BETAMAX"} << "BE"
                                                 << "beta"
                                                 << "ta";
        QTest::newRow("no item begins so") << QStringList{"Alpha"} << "xy"
                                           << "xy"
                                           << "";
        QTest::newRow("empty list appends") << QStringList{} << "ab"
                                            << "ab"
                                            << "";
        QTest::newRow("match inside an item does not count") << QStringList{"State Bank"} << "bank"
                                                             << "bank"
                                                             << "";
    }
    void firstMatchInListOrder() {
        QFETCH(QStringList, items);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, selected);
        ComboWindow w(items);
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), typed);
        QCOMPARE(w.edit()->text(), shown);
        QCOMPARE(w.edit()->selectedText(), selected);
        QCOMPARE(w.edit()->cursorPosition(), static_cast<int>(shown.size()));
        QCOMPARE(w.combo->count(), items.size());
        QVERIFY(w.combo->hasFocus());
    }

    void listOpensOnEveryPrintableCharacter() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), QStringLiteral("q"));
        QVERIFY2(w.listOpen(), "the list opens also when nothing matches");
        press(w.window.get(), Qt::Key_Escape);
        QVERIFY(!w.listOpen());
        type(w.window.get(), QStringLiteral("r"));
        QVERIFY(w.listOpen());
        QCOMPARE(w.edit()->text(), QStringLiteral("qr"));
        QCOMPARE(QApplication::focusWidget(), w.combo);
    }

    void backspaceRemovesTheCompletedRemainderOnly() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), QStringLiteral("al"));
        QCOMPARE(w.edit()->selectedText(), QStringLiteral("pha"));
        press(w.window.get(), Qt::Key_Backspace);
        QCOMPARE(w.edit()->text(), QStringLiteral("Al")); // the item's letter case stays
    }

    void backspaceWithoutSelectionRemovesLastCharacterWhereverTheCaret() {
        ComboWindow w(QStringList{});
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), QStringLiteral("hello"));
        press(w.window.get(), Qt::Key_Home);
        press(w.window.get(), Qt::Key_Right);
        QCOMPARE(w.edit()->cursorPosition(), 1);
        press(w.window.get(), Qt::Key_Backspace);
        QCOMPARE(w.edit()->text(), QStringLiteral("hell"));
        QCOMPARE(w.edit()->cursorPosition(), 4);
    }

    void printableWithCaretInsideGoesToTheEnd() {
        ComboWindow w(QStringList{});
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), QStringLiteral("xyz"));
        press(w.window.get(), Qt::Key_Home);
        press(w.window.get(), Qt::Key_Right);
        type(w.window.get(), QStringLiteral("q"));
        QCOMPARE(w.edit()->text(), QStringLiteral("xyzq"));
    }

    void printableReplacesSelectionAndDropsTheRest() {
        ComboWindow w(QStringList{});
        QVERIFY(showActive(w.window.get()));
        type(w.window.get(), QStringLiteral("abcdef"));
        press(w.window.get(), Qt::Key_Home);
        press(w.window.get(), Qt::Key_Right);
        press(w.window.get(), Qt::Key_Right);
        press(w.window.get(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(w.edit()->selectedText(), QStringLiteral("c"));
        type(w.window.get(), QStringLiteral("x"));
        QCOMPARE(w.edit()->text(), QStringLiteral("abx"));
    }

    void controlCharactersOnlyCollapseTheSelection_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier);
    }
    void controlCharactersOnlyCollapseTheSelection() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        type(w.window.get(), QStringLiteral("a"));
        w.combo->hidePopup();
        QCOMPARE(w.edit()->selectedText(), QStringLiteral("lpha"));
        press(w.window.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.edit()->text(), QStringLiteral("Alpha"));
        QVERIFY(!w.edit()->hasSelectedText());
        QCOMPARE(w.edit()->cursorPosition(), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("pasted"));
    }

    void enterWithTheListClosedPassesOn() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QSignalSpy returnPressed(w.edit(), &QLineEdit::returnPressed);
        type(w.window.get(), QStringLiteral("al"));
        w.combo->hidePopup();
        press(w.window.get(), Qt::Key_Return);
        QCOMPARE(w.edit()->text(), QStringLiteral("Alpha"));
        QVERIFY(!w.edit()->hasSelectedText());
        QCOMPARE(w.edit()->cursorPosition(), 5);
        QCOMPARE(returnPressed.count(), 1);
        QCOMPARE(w.combo->count(), 2); // typed text never joins the list
        QCOMPARE(AutoCompleteComboBox(w.combo, 13), 13);
    }

    void enterInTheOpenListAcceptsTheCompletion() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QSignalSpy activated(w.combo, &QComboBox::activated);
        type(w.window.get(), QStringLiteral("alpi"));
        press(w.window.get(), Qt::Key_Return);
        QVERIFY(!w.listOpen());
        QVERIFY(!activated.isEmpty());
        QCOMPARE(activated.last().first().toInt(), 1);
        QCOMPARE(w.edit()->text(), QStringLiteral("alpine"));
        QVERIFY(!w.edit()->hasSelectedText());
        QCOMPARE(w.edit()->cursorPosition(), 6);
        QVERIFY(w.combo->hasFocus());
    }

    void enterInTheOpenListKeepsTypedText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("backspace");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing matches") << "alx" << false << "Alx";
        QTest::newRow("after Backspace") << "alpi" << true << "alpi";
    }
    void enterInTheOpenListKeepsTypedText() {
        QFETCH(QString, typed);
        QFETCH(bool, backspace);
        QFETCH(QString, expected);
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QSignalSpy activated(w.combo, &QComboBox::activated);
        type(w.window.get(), typed);
        if (backspace)
            press(w.window.get(), Qt::Key_Backspace);
        QVERIFY(w.listOpen());
        press(w.window.get(), Qt::Key_Return);
        QVERIFY(!w.listOpen());
        QCOMPARE(w.edit()->text(), expected);
        QCOMPARE(w.edit()->cursorPosition(), static_cast<int>(expected.size()));
        QVERIFY(activated.isEmpty());
    }

    void arrowAndEnterInTheOpenListChoose() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QSignalSpy activated(w.combo, &QComboBox::activated);
        type(w.window.get(), QStringLiteral("a"));
        press(w.window.get(), Qt::Key_Down);
        QCOMPARE(w.edit()->text(), QStringLiteral("Alpha")); // moving the highlight leaves the text
        press(w.window.get(), Qt::Key_Return);
        QCOMPARE(w.edit()->text(), QStringLiteral("alpine"));
        QVERIFY(!activated.isEmpty());
    }

    void tabClosesTheListAndMovesOn() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QSignalSpy activated(w.combo, &QComboBox::activated);
        type(w.window.get(), QStringLiteral("Alpha"));
        QVERIFY(w.listOpen());
        press(w.window.get(), Qt::Key_Tab);
        QVERIFY(!w.listOpen());
        QCOMPARE(QApplication::focusWidget(), w.other);
        QCOMPARE(w.combo->currentText(), QStringLiteral("Alpha"));
        QVERIFY2(activated.isEmpty(), "leaving the combo is no choice from the list");
    }

    void keysSentToTheComboItselfComplete() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        w.combo->hidePopup();
        QTest::keyClicks(w.combo, QStringLiteral("alpi"));
        QCOMPARE(w.edit()->text(), QStringLiteral("alpine"));
        QTest::keyClick(w.edit(), Qt::Key_Backspace);
        QCOMPARE(w.edit()->text(), QStringLiteral("alpi"));
    }

    void pasteKeepsOneLine() {
        ComboWindow w;
        QVERIFY(showActive(w.window.get()));
        QCOMPARE(w.edit()->contextMenuPolicy(), Qt::DefaultContextMenu);
        QGuiApplication::clipboard()->setText(QStringLiteral("HDFC\r\nBank\tLtd"));
        std::unique_ptr<QMenu> menu(w.edit()->createStandardContextMenu());
        QAction* paste = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste")))
                paste = action;
        }
        QVERIFY(paste);
        paste->trigger();
        QCOMPARE(w.edit()->text(), QStringLiteral("HDFC  Bank Ltd"));
        QGuiApplication::clipboard()->setText(QStringLiteral("!"));
        press(w.window.get(), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(w.edit()->text(), QStringLiteral("HDFC  Bank Ltd!"));
        QCOMPARE(w.combo->count(), 2);
    }

    void inputMethodTextCompletes() {
        ComboWindow w({QStringLiteral("Zeta"), QString::fromUtf8("\xe0\xa4\x95\xe0\xa4\xae\xe0\xa4\xb2")});
        QVERIFY(showActive(w.window.get()));
        const QString ka = QString::fromUtf8("\xe0\xa4\x95");
        QInputMethodEvent composing(ka, {});
        QApplication::sendEvent(w.combo, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(ka);
        QApplication::sendEvent(w.combo, &commit);
        QCOMPARE(w.edit()->text(), QString::fromUtf8("\xe0\xa4\x95\xe0\xa4\xae\xe0\xa4\xb2"));
        QCOMPARE(w.edit()->selectedText(), QString::fromUtf8("\xe0\xa4\xae\xe0\xa4\xb2"));
        // A composition over the selected remainder, then text that matches nothing.
        QInputMethodEvent composingAgain(QStringLiteral("x"), {});
        QApplication::sendEvent(w.combo, &composingAgain);
        QInputMethodEvent commitAgain;
        commitAgain.setCommitString(QStringLiteral("xy"));
        QApplication::sendEvent(w.combo, &commitAgain);
        QCOMPARE(w.edit()->text(), ka + QStringLiteral("xy"));
        QCOMPARE(w.edit()->cursorPosition(), 3);
    }

    void qtOwnCompletionIsOff() {
        ComboWindow w;
        QVERIFY(w.combo->completer() == nullptr);
        QCOMPARE(w.combo->insertPolicy(), QComboBox::NoInsert);
        QVERIFY(w.combo->isEditable());
    }

    void aComboThatCannotBeWorkedOnGetsTheKeyBack() {
        QComboBox plain;
        plain.addItems({QStringLiteral("Alpha")});
        QCOMPARE(AutoCompleteComboBox(&plain, 'a'), int('a'));
        QCOMPARE(plain.currentText(), QStringLiteral("Alpha"));
        QCOMPARE(AutoCompleteComboBox(nullptr, 8), 8);
    }

    void keyCharacterCode_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << int('a');
        QTest::newRow("shifted") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << int('A');
        QTest::newRow("blank") << int(Qt::Key_Space) << 0 << " " << 32;
        QTest::newRow("keypad digit") << int(Qt::Key_5) << int(Qt::KeypadModifier) << "5" << int('5');
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 8;
        QTest::newRow("Return") << int(Qt::Key_Return) << 0 << "\r" << 13;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 13;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b" << 27;
        QTest::newRow("Ctrl+V as X11 sends it") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16" << 22;
        QTest::newRow("Ctrl+C as tests send it") << int(Qt::Key_C) << int(Qt::ControlModifier) << "c" << 3;
        QTest::newRow("AltGr as Ctrl+Alt") << int(Qt::Key_E) << int(Qt::ControlModifier | Qt::AltModifier)
                                           << QString::fromUtf8("\xe2\x82\xac") << 0x20AC;
        QTest::newRow("Alt+letter") << int(Qt::Key_F) << int(Qt::AltModifier) << "f" << -1;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << "\t" << -1;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << -1;
        QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << "" << -1;
        QTest::newRow("Ctrl+digit") << int(Qt::Key_1) << int(Qt::ControlModifier) << "1" << -1;
        QTest::newRow("two characters") << int(Qt::Key_unknown) << 0 << "ab" << -1;
    }
    void keyCharacterCode() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, code);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(::keyCharacterCode(event), code);
    }
};

QTEST_MAIN(TestAutoComplete)
#include "test_autocomplete.moc"
