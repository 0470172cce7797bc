#pragma once
#include <QStringList>

class QWidget;

// A window that may hold input the operator typed and has not stored. It
// remembers what its controls showed when it was loaded or stored; anything
// else they show now is unsaved input.
class HoldsInput {
public:
    bool hasUnsavedInput() const { return inputState() != m_storedState; }

protected:
    ~HoldsInput() = default;
    // What the input controls show, one entry per control.
    virtual QStringList inputState() const = 0;
    // The controls now show what is stored (or nothing was typed yet).
    void markInputStored() { m_storedState = inputState(); }

private:
    QStringList m_storedState;
};

// Whether the unsaved input of window may go: true when it holds none, or
// when the operator agrees to discard it (the question defaults to No).
bool mayDiscardInput(QWidget* window);
