#pragma once
#include <QTest>

// What a person's keyboard and mouse send, where QTest alone falls short.

// Types text key by key. QTest::keyClicks knows only Latin-1 keys; any other
// character (Devanagari, an emoji, say) arrives as a key event carrying just
// its text, as an input method delivers it - a character beyond 16 bits whole,
// never as two halves.
inline void typeText(QWidget* widget, const QString& text) {
    for (const char32_t character : text.toUcs4()) {
        if (character >= 0x20 && character < 0x7f)
            QTest::keyClick(widget, static_cast<char>(character));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&character, 1),
                                Qt::NoModifier);
    }
}

// A real double click as the window system delivers it: press, release, then
// the double-click event and its release. QTest::mouseDClick alone sends only
// the double-click event, which item views ignore without the press before it.
inline void doubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}
