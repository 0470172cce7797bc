#pragma once
#include <QDateEdit>

// The slip window's date picker: shows "dd-MM-yyyy", opens a calendar, and Tab
// leaves it for the next control (Qt's date edit would step through day, month
// and year first).
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};
