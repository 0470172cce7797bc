// Types arbitrary keys into an auto-completing combo box holding arbitrary
// items, through the routine the slip window's combos use.
//
// Input: the list items as UTF-8, one per line, up to the first 0 byte; then
// the keys, one byte each (that character code), except that 0xEE b1 b2 sets
// the selection (start b1, length b2) and 0xF0..0xFF b1 b2 b3 gives a 24-bit
// code (0xFF: a 32-bit code, negative ones too).
#include "AutoCompleteHook.h"
#include "modComplete.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstddef>
#include <cstdint>

namespace {

QComboBox* combo = nullptr;

constexpr int kMaxItems = 64;
constexpr int kMaxKeys = 1000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the offscreen platform and fonts would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QApplication(*argc, *argv);
    auto* window = new QWidget;
    combo = new QComboBox(window);
    installAutoComplete(combo);
    window->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray items = split < 0 ? input : input.left(split);
    const QByteArray keys = split < 0 ? QByteArray() : input.mid(split + 1);

    combo->hidePopup();
    combo->clear();
    combo->addItems(QString::fromUtf8(items).split(QLatin1Char('\n')).mid(0, kMaxItems));
    combo->setEditText(QString());
    QLineEdit* edit = combo->lineEdit();

    int typed = 0;
    for (qsizetype i = 0; i < keys.size() && typed < kMaxKeys; ++i, ++typed) {
        const auto byte = static_cast<uint8_t>(keys[i]);
        auto next = [&] { return ++i < keys.size() ? static_cast<uint8_t>(keys[i]) : 0u; };
        if (byte == 0xEE) {
            const int start = static_cast<int>(next());
            edit->setSelection(start, static_cast<int>(next()));
            continue;
        }
        int code = byte;
        if (byte >= 0xF0) {
            const uint32_t high = byte == 0xFF ? next() << 24 : 0;
            const uint32_t value = high | next() << 16 | next() << 8 | next();
            code = static_cast<int>(value);
        }
        // The key is consumed (0), Enter is passed on (13), or the routine
        // leaves a code it cannot work with to the combo.
        const int result = AutoCompleteComboBox(combo, code);
        if (result != 0 && result != 13 && result != code)
            __builtin_trap();
        if (code >= 32 && code <= 0x10FFFF && result != 0)
            __builtin_trap();
    }
    combo->hidePopup();
    QCoreApplication::processEvents();
    return 0;
}
