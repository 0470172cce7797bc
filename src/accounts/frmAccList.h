#pragma once
#include "Recordset.h"

#include <QWidget>
#include <memory>

class FlexGrid;
class QPushButton;

// "Account List": every account of tblAcc in a grid, read once when the window
// loads; the way into the account master for a new or an existing account.
// Grid column 0 holds each row's account key.
class frmAccList : public QWidget {
    Q_OBJECT
public:
    frmAccList();
    ~frmAccList() override;

    FlexGrid* FG = nullptr;
    QPushButton* Command4 = nullptr; // "Add New"
    QPushButton* Command3 = nullptr; // "Edit"
    QPushButton* Command2 = nullptr; // "Delete"
    QPushButton* Command1 = nullptr; // "Close"

    // Five columns with their widths, the header height and the header texts.
    void setFG();
    // setFG, then one grid row per account. A failing query is shown and leaves
    // only the header row.
    void addFG();

    void Command4_Click();
    void Command3_Click();
    void Command2_Click();
    void Command1_Click();
    void FG_DblClick();

private:
    void Form_Load();
    void buildControls();

    // An account as stored: its number and how many slips carry it.
    struct AccountUse {
        bool exists = false;
        QString number;
        int slips = 0;
    };
    // Throws DbError.
    AccountUse accountUse(int key);

    // The window's working recordset, replaced before each data operation.
    std::unique_ptr<Recordset> rs;
};
