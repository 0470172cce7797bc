#pragma once
#include "Recordset.h"

#include <QWidget>
#include <memory>

class FlexGrid;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;

// "SlipList": the stored slips of a date range, from which slips are added,
// edited, deleted and printed again. It works on whatever g_Connection holds.
class frmSlipList : public QWidget {
    Q_OBJECT
public:
    frmSlipList();

    QFrame* Frame1;
    QLabel* Label1_0;
    QLabel* Label1_1;
    QDateEdit* dtFrom;
    QDateEdit* dtTo;
    QPushButton* Command5;
    QPushButton* cmdExport;
    FlexGrid* FG;
    QWidget* Picture1;
    QPushButton* Command6;
    QPushButton* Command4;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;

    void setFG();
    void addFG();

    // The listing's query; its two values are the first and last day as "yyyy-MM-dd".
    static const QString kListSql;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // "Export": the listed range's cheque lines as CSV, to a file the person chooses.
    void cmdExport_Click();
    void FG_DblClick();
    void dtFrom_Change();
    void dtTo_Change();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildControls();
    void showSlipWindow();
    // Loads the first selected slip into the slip window (loading that window
    // when needed); null when no slip is selected.
    class frmSlip* openSelectedSlip();
    // Several slips in one preview, each on its own account's template.
    void printSlips(const QStringList& keys);
    // Says which accounts have no template; true when the other slips are to print.
    bool printDespiteMissingTemplates(const class SlipBatch& batch);
    // Names the chosen slips that were no longer stored.
    void noteGoneSlips(const QList<qint32>& keys);

    // The form's recordset; the grid keeps the listing's one to show its rows.
    std::shared_ptr<Recordset> rs;
};
