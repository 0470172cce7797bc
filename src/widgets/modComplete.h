#pragma once

class QComboBox;
class QString;

// Completion of the operator's typing in an editable combo box from the combo's
// own list. The routine holds no state between calls.

// Handles one character typed into combo (its character code: >= 32 printable,
// 8 Backspace, 13 Enter, any other code below 32 a control character) and
// returns the code the combo should then receive: 0 when the key is consumed
// (the text is set already), 13 to pass Enter on, and the code it was given
// when the combo cannot be worked on, so the combo handles the key itself.
//
// A printable character extends the typed text (replacing a selection and
// everything after it; with no selection it goes to the end of the text),
// opens the list and selects the first item in list order that begins with the
// typed text, ignoring letter case. The item's text is shown with the part not
// typed yet selected, so the next character replaces it. Without a match the
// text is exactly what was typed, caret at the end.
int AutoCompleteComboBox(QComboBox* combo, int keyCode);

// Opens combo's drop-down list. The keyboard stays with the combo's edit: the
// operator types on while the list is open.
void ShowComboDropDown(QComboBox* combo);

// The first item, in list order, whose text begins with prefix (letter case
// ignored) becomes the combo's current item and its text; returns its row, or
// -1 (nothing changed then) when no item matches.
int SelectComboString(QComboBox* combo, const QString& prefix);
