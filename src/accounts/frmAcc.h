#pragma once
#include "Recordset.h"
#include "UnsavedInput.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Account Master": creates a bank account, or changes the one whose key
// travels in the hidden lblRef (empty for a new account). A successful save
// closes the window. Closing it any other way than "Close" asks before typed
// input is discarded.
class frmAcc : public QWidget, public HoldsInput {
    Q_OBJECT
public:
    frmAcc();
    ~frmAcc() override;

    std::array<QLabel*, 3> Label1{}; // "Account Number", "Account Name", "Branch"
    QLineEdit* Text1 = nullptr;      // account number
    QLineEdit* Text2 = nullptr;      // account name
    QLineEdit* Text3 = nullptr;      // branch
    QCheckBox* Check1 = nullptr;     // "Active"
    QLabel* lblRef = nullptr;        // key of the account being edited; never shown
    QPushButton* Command2 = nullptr; // "Save"
    QPushButton* Command1 = nullptr; // "Close"

    // Loads the account whose key is in lblRef into the fields; no such account
    // changes nothing. A key that is not a whole number or a row that cannot be
    // read is reported in a message box, leaves the fields as they were and
    // gives false.
    bool getData();
    // Stores the fields as a new account and closes the window; a failure is
    // shown and the window stays open with the input.
    void saveData();
    // Writes the fields into the account of lblRef and closes the window; when
    // that account no longer exists nothing happens. A failure is shown.
    void updateData();

    void Command2_Click();
    void Command1_Click();

protected:
    QStringList inputState() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildControls();
    // Opens rs on the row to write (false: there is none), stores the fields
    // there in one transaction and closes the window; a failure is shown and
    // the window stays open with the input.
    void writeAccount(const std::function<bool()>& openRow);

    // The window's working recordset, replaced before each data operation.
    std::unique_ptr<Recordset> rs;
    // "Close" and a successful save close the window without a question.
    bool m_closeWithoutAsking = false;
};
