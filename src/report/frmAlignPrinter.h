#pragma once
#include "PrinterAlignment.h"
#include "ReportTemplate.h"

#include <QPageLayout>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class FlexGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPushButton;

// "Align Printer": measures how a printer feeds paper and keeps the correction
// in the settings store for that printer. The operator prints the alignment
// page, measures with a ruler where each crosshair landed, types the numbers
// and fits; or types a quick correction ("came out 2 mm low and 1 mm to the
// right"). The check page prints with the correction, so every mark lands where
// its label says. The aligned printers are listed with their values, each can
// be reset.
class frmAlignPrinter : public QWidget {
    Q_OBJECT
public:
    frmAlignPrinter();

    static constexpr int kMarks = 5;

    QComboBox* cmbPrinter = nullptr;
    QComboBox* cmbPaper = nullptr;
    QPushButton* cmdPrintPage = nullptr;
    std::array<QLineEdit*, kMarks> txtLeft{};
    std::array<QLineEdit*, kMarks> txtTop{};
    std::array<QLabel*, kMarks> lblError{};
    QPushButton* cmdFit = nullptr;
    QPushButton* cmdCheckPage = nullptr;
    QLineEdit* txtRight = nullptr;
    QLineEdit* txtLow = nullptr;
    QPushButton* cmdShift = nullptr;
    QLabel* lblAlignment = nullptr;
    FlexGrid* FG = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;

    // The slip paper offered beside A4 (and chosen): the template at hand.
    void setSlipPaper(const QString& name, QSizeF paperMm, QPageLayout::Orientation orientation);
    // Shows the window for the printer a template prints on, its paper
    // offered beside A4 (A4 alone without a template).
    static void showFor(const ReportTemplate* layout, QWidget* owner);
    QSizeF paper() const;

    void printAlignmentPage();
    void printCheckPage();
    // Fits the typed measures and saves the correction; a message says what is wrong otherwise.
    void fitAndSave();
    void applyShift();
    void resetSelected();

    // Test hook standing in for the printer: the device the pages go to for
    // a printer name and page layout (null: nothing is printed).
    using PageDevice =
        std::function<std::unique_ptr<QPagedPaintDevice>(const QString& printer, const QPageLayout& layout)>;
    static void setPageDevice(PageDevice device);

private:
    static constexpr int kOrientationRole = Qt::UserRole + 1;
    void addPaper(const QString& caption, QSizeF paperMm, QPageLayout::Orientation orientation);
    void buildControls();
    void showAlignment();
    void listAlignedPrinters();
    void fillPrinterList();
    void updateMarks();
    void print(const PrinterAlignment::Alignment& alignment);
    QString printer() const;
    // Says so when no printer is chosen.
    bool printerChosen();
    std::optional<double> millimetres(QLineEdit* box, const QString& what);
};
