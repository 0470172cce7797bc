#pragma once

class QComboBox;
class QKeyEvent;

// Makes combo an editable combo whose typing goes through AutoCompleteComboBox:
// each key press is turned into its character code and handed to the routine,
// and the key is consumed when the routine returns 0. Qt's own completer is
// switched off so the two never fight, typed text is never added to the list,
// and typing goes on into the edit while the drop-down list is open.
void installAutoComplete(QComboBox* combo);

// The character code a key press produces, as the routine expects it: the
// typed character, 8 for Backspace, 13 for Enter, 27 for Escape, 1 to 26 for
// Ctrl with a letter; -1 for keys that produce no character (arrows, Delete,
// Tab, function keys, Alt combinations), which the combo handles itself.
int keyCharacterCode(const QKeyEvent& event);
