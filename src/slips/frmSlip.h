#pragma once
#include "Recordset.h"
#include "UnsavedInput.h"

#include <QDate>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class DesignLayout;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

// "Print Slip": one deposit slip with its account, date, serial number, up to
// five cheque lines, the depositor and a remark; saved and printed from here.
//
// The slip key travels in the hidden lblRef (empty: not stored yet) and the
// account key in cmbAcc's "Tag" property (cmbAccTag()). Other windows open a
// stored slip by setting lblRef and calling getData, and print one by then
// calling getAccTag, showing the window and calling printPV.
class frmSlip : public QWidget, public HoldsInput {
    Q_OBJECT
public:
    explicit frmSlip(QWidget* parent = nullptr);

    // A slip has at most five cheque lines, one per line slot.
    static constexpr int kChequeLines = 5;

    // The controls, by their names on the form.
    QLabel* lblRef;
    QComboBox* cmbAcc;
    QLineEdit* txtAccName;
    QLineEdit* txtBranch;
    QLineEdit* txtSno;
    QDateEdit* dt;
    std::array<QLineEdit*, kChequeLines> Text1;
    std::array<QDateEdit*, kChequeLines> chqDate;
    std::array<QComboBox*, kChequeLines> Bank;
    std::array<QComboBox*, kChequeLines> City;
    std::array<QLineEdit*, kChequeLines> Amount;
    QLabel* lbTot;
    QLineEdit* Text2;
    QPlainTextEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command2;

    // The key of the account whose number is in cmbAcc: empty until looked up,
    // "0" after a list choice that matched no account.
    QString cmbAccTag() const;

    // --- Used by other windows ---------------------------------------------
    // Loads the stored slip whose key is in lblRef: every field and line slot
    // then shows exactly the stored slip. Everything is read before anything is
    // shown, so a failure (shown in a message box, false) changes nothing.
    bool getData();
    // Puts key into lblRef and loads that slip, after asking when the window
    // holds unsaved input. When that is refused or the load fails, lblRef keeps
    // its slip and a window that was not shown yet is closed, so no window is
    // left that could store a half-loaded slip.
    bool loadSlip(const QString& key);
    // Looks up the key of the account number in cmbAcc; leaves the key as it
    // was when no account has that number. Throws DbError.
    void getAccTag();
    // Prints the slip in lblRef with the report of the account in cmbAccTag();
    // every failure is shown in a message box.
    void printPV();
    // The report template of the account in cmbAccTag().
    QString reportPath() const;

    // --- The form's own operations ------------------------------------------
    void Command1_Click();
    void Command2_Click();
    // Store the slip as a new one / over the stored one in lblRef: header and
    // lines in one transaction, lblRef set after the commit. A failure stores
    // nothing, is shown in a message box and leaves the window as it was;
    // the result tells whether the slip was stored.
    bool saveData();
    bool updateData();

    void cmbAcc_Click();
    void Text1_LostFocus(int Index);
    void Text2_LostFocus();
    void Amount_Change(int Index);
    void Amount_GotFocus(int Index);

    // Cheque lines. addDet and deleteDet run inside the caller's transaction;
    // they and getDet throw DbError. getDet shows the stored lines and puts
    // every slot they do not fill back to a fresh one.
    void getDet();
    void addDet(qint32 sid);
    void deleteDet(qint32 sid);
    void getTot();

    // Load steps.
    void getSNo();
    void addAcc();
    void addBanks();
    void addcity();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QStringList inputState() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A stored cheque line as its slot shows it; an amount that is no number
    // shows as it is stored, and a save then refuses it.
    struct StoredLine {
        QString chequeNo;
        QDate date;
        QString bank;
        QString city;
        QString amount;
    };
    std::vector<StoredLine> readLines(qint32 sid);
    void showLines(const std::vector<StoredLine>& lines);
    // A stored slip with more lines than the slots would lose them when saved.
    bool refuseSaveOfCutSlip();

    void createControls();
    void createHeader(const DesignLayout& layout);
    void createChequeLines(const DesignLayout& layout, QFrame* frame);
    void createFooter(const DesignLayout& layout);
    void setFocusOrder();
    void Form_Load();

    void setCmbAccTag(const QString& tag);
    // "Close" and the end of a save close the window without a question.
    void closeWithoutAsking();
    // Looks the number in cmbAcc up in rs; when found, its key becomes the combo's tag.
    bool findAccount(Recordset& rs);
    void setAmountText(int slot, const QString& text);
    // The slip key in lblRef as a 32-bit integer; throws DbError when it is none.
    qint32 slipKey() const;
    // A date as the database keeps it ("yyyy-MM-dd"); throws DbError for anything else.
    static QDate storedDate(const QString& text);
    void writeHeader();
    bool storeSlip(const std::function<std::optional<qint32>()>& writeSlip);
    bool storeResolvingConflicts();
    bool serialTakenMeanwhile();
    void endOfSave();

    // Printing through the report runner and its preview; reloading the slip list.
    void showSlipReport(const QString& reportFile, qint32 slip);
    void refreshSlipList();

    // The five bank combos share one list, as do the five city combos.
    QStringListModel* m_bankList = nullptr;
    QStringListModel* m_cityList = nullptr;

    // The working result set; getAccTag keeps its own.
    Recordset m_rs;
    Recordset m_rsTag;
    // How many lines the slip on screen has stored; more than the slots hold
    // means the window may not save it.
    int m_storedLines = 0;
    bool m_closeWithoutAsking = false;

    // What another operator did meanwhile that stopped a save.
    enum class Conflict { None, SlipDeleted, SerialTaken };
    Conflict m_conflict = Conflict::None;
    // The serial number the window proposed for a new slip (empty once the
    // slip is stored or the operator chose to keep a number), and the next
    // free one when another slip took it meanwhile.
    QString m_proposedSerial;
    QString m_nextFreeSerial;
};

// A slip key as it travels in lblRef or the slip list's key column, as the 32-bit
// integer that goes into SQL; throws DbError when the text is no key.
qint32 slipKeyOf(const QString& text);
