#include "frmAlignPrinter.h"
#include "AlignmentPage.h"
#include "Controls.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "MsgBox.h"
#include "ReportOutput.h"
#include "WindowHelpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

using PrinterAlignment::Alignment;

namespace {

const QSizeF kA4(210, 297);

frmAlignPrinter::PageDevice& pageDevice() {
    static frmAlignPrinter::PageDevice device = [](const QString& printer, const QPageLayout& layout) {
        auto target = std::make_unique<QPrinter>(QPrinter::HighResolution);
        target->setPrinterName(printer);
        target->setFullPage(true);
        target->setPageLayout(layout);
        target->setDocName(QStringLiteral("Cheqora printer alignment"));
        return std::unique_ptr<QPagedPaintDevice>(std::move(target));
    };
    return device;
}

QString millimetreText(double value) {
    return QString::number(value, 'f', 2);
}

QString describe(const Alignment& alignment) {
    return QStringLiteral("Offset %1 mm right, %2 mm down; scale %3 % across, %4 % down")
        .arg(millimetreText(alignment.offsetXMm), millimetreText(alignment.offsetYMm),
             QString::number(alignment.scaleX * 100, 'f', 2),
             QString::number(alignment.scaleY * 100, 'f', 2));
}

QLineEdit* numberBox(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* box = Controls::make<QLineEdit>(parent, name, accessibleName);
    box->setAlignment(Qt::AlignRight);
    box->setMaximumWidth(80);
    return box;
}

} // namespace

frmAlignPrinter::frmAlignPrinter() {
    setUpDialogWindow(this, QStringLiteral("frmAlignPrinter"), QStringLiteral("Align Printer"));
    buildControls();
    fillPrinterList();
    updateMarks();
    showAlignment();
    listAlignedPrinters();
}

void frmAlignPrinter::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* choice = new QGridLayout;
    auto* printerLabel = Controls::make<QLabel>(this, QStringLiteral("lblPrinter"));
    printerLabel->setText(QStringLiteral("&Printer"));
    cmbPrinter = Controls::make<QComboBox>(this, QStringLiteral("cmbPrinter"));
    cmbPrinter->setEditable(true);
    cmbPrinter->setMinimumWidth(260);
    Controls::caption(printerLabel, cmbPrinter);
    auto* paperLabel = Controls::make<QLabel>(this, QStringLiteral("lblPaper"));
    paperLabel->setText(QStringLiteral("P&aper"));
    cmbPaper = Controls::make<QComboBox>(this, QStringLiteral("cmbPaper"));
    addPaper(QStringLiteral("A4 (210 x 297 mm)"), kA4, QPageLayout::Portrait);
    Controls::caption(paperLabel, cmbPaper);
    cmdPrintPage =
        Controls::button(this, QStringLiteral("cmdPrintPage"), QStringLiteral("Print &alignment page"));
    choice->addWidget(printerLabel, 0, 0);
    choice->addWidget(cmbPrinter, 0, 1);
    choice->addWidget(paperLabel, 1, 0);
    choice->addWidget(cmbPaper, 1, 1);
    choice->addWidget(cmdPrintPage, 1, 2);
    lblAlignment = Controls::make<QLabel>(this, QStringLiteral("lblAlignment"));
    choice->addWidget(lblAlignment, 2, 0, 1, 3);
    layout->addLayout(choice);

    auto* measures =
        new QGroupBox(QStringLiteral("Where each mark landed, measured from the sheet's edges"), this);
    measures->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(measures);
    for (int i = 0; i < kMarks; ++i) {
        auto* mark = Controls::make<QLabel>(measures, Controls::arrayName(QStringLiteral("lblMark"), i));
        txtLeft[i] = numberBox(measures, Controls::arrayName(QStringLiteral("txtLeft"), i),
                               QStringLiteral("Mark %1, from the left edge in mm").arg(i + 1));
        txtTop[i] = numberBox(measures, Controls::arrayName(QStringLiteral("txtTop"), i),
                              QStringLiteral("Mark %1, from the top edge in mm").arg(i + 1));
        lblError[i] = Controls::make<QLabel>(measures, Controls::arrayName(QStringLiteral("lblError"), i));
        grid->addWidget(mark, i, 0);
        grid->addWidget(txtLeft[i], i, 1);
        grid->addWidget(txtTop[i], i, 2);
        grid->addWidget(lblError[i], i, 3);
    }
    cmdFit = Controls::button(measures, QStringLiteral("cmdFit"), QStringLiteral("&Fit and save"));
    cmdCheckPage =
        Controls::button(measures, QStringLiteral("cmdCheckPage"), QStringLiteral("Print &check page"));
    grid->addWidget(cmdFit, kMarks, 1, 1, 2);
    grid->addWidget(cmdCheckPage, kMarks, 3);
    layout->addWidget(measures);

    auto* quick = new QHBoxLayout;
    auto* rightLabel = Controls::make<QLabel>(this, QStringLiteral("lblRight"));
    rightLabel->setText(QStringLiteral("Everything came out, mm to the &right:"));
    txtRight = numberBox(this, QStringLiteral("txtRight"), {});
    Controls::caption(rightLabel, txtRight);
    auto* lowLabel = Controls::make<QLabel>(this, QStringLiteral("lblLow"));
    lowLabel->setText(QStringLiteral("mm &low:"));
    txtLow = numberBox(this, QStringLiteral("txtLow"), {});
    Controls::caption(lowLabel, txtLow);
    cmdShift = Controls::button(this, QStringLiteral("cmdShift"), QStringLiteral("Co&rrect"));
    quick->addWidget(rightLabel);
    quick->addWidget(txtRight);
    quick->addWidget(lowLabel);
    quick->addWidget(txtLow);
    quick->addWidget(cmdShift);
    quick->addStretch();
    layout->addLayout(quick);

    FG = Controls::make<FlexGrid>(this, QStringLiteral("FG"), QStringLiteral("Aligned printers"));
    FG->setMinimumHeight(120);
    layout->addWidget(FG);
    auto* buttons = new QHBoxLayout;
    cmdReset = Controls::button(this, QStringLiteral("cmdReset"), QStringLiteral("Re&set"));
    cmdClose = Controls::button(this, QStringLiteral("cmdClose"), QStringLiteral("Close"));
    buttons->addStretch();
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    connect(cmbPrinter, &QComboBox::currentTextChanged, this, [this] { showAlignment(); });
    connect(cmbPaper, &QComboBox::currentIndexChanged, this, [this] { updateMarks(); });
    connect(cmdPrintPage, &QPushButton::clicked, this, &frmAlignPrinter::printAlignmentPage);
    connect(cmdFit, &QPushButton::clicked, this, &frmAlignPrinter::fitAndSave);
    connect(cmdCheckPage, &QPushButton::clicked, this, &frmAlignPrinter::printCheckPage);
    connect(cmdShift, &QPushButton::clicked, this, &frmAlignPrinter::applyShift);
    connect(cmdReset, &QPushButton::clicked, this, &frmAlignPrinter::resetSelected);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmAlignPrinter::fillPrinterList() {
    cmbPrinter->addItems(QPrinterInfo::availablePrinterNames());
    const QString preferred = QPrinterInfo::defaultPrinterName();
    if (!preferred.isEmpty())
        cmbPrinter->setCurrentText(preferred);
}

// The paper's size (as the page is drawn) and orientation travel with its item.
void frmAlignPrinter::addPaper(const QString& caption, QSizeF paperMm, QPageLayout::Orientation orientation) {
    cmbPaper->addItem(caption, paperMm);
    cmbPaper->setItemData(cmbPaper->count() - 1, int(orientation), kOrientationRole);
}

void frmAlignPrinter::setSlipPaper(const QString& name, QSizeF paperMm,
                                   QPageLayout::Orientation orientation) {
    while (cmbPaper->count() > 1) // A4 stays first
        cmbPaper->removeItem(1);
    addPaper(QStringLiteral("%1 (%2 x %3 mm)").arg(name).arg(paperMm.width()).arg(paperMm.height()), paperMm,
             orientation);
    cmbPaper->setCurrentIndex(cmbPaper->count() - 1);
}

void frmAlignPrinter::showFor(const ReportTemplate* layout, QWidget* owner) {
    frmAlignPrinter& window = Forms::get<frmAlignPrinter>();
    if (layout)
        window.setSlipPaper(layout->name.isEmpty() ? QStringLiteral("Slip") : layout->name, layout->paper,
                            layout->orientation);
    showOwned(&window, owner);
}

QSizeF frmAlignPrinter::paper() const {
    return cmbPaper->currentData().toSizeF();
}

QString frmAlignPrinter::printer() const {
    return cmbPrinter->currentText().trimmed();
}

void frmAlignPrinter::updateMarks() {
    const QList<QPointF> marks = PrinterAlignment::marks(paper());
    for (int i = 0; i < kMarks; ++i) {
        auto* label = findChild<QLabel*>(Controls::arrayName(QStringLiteral("lblMark"), i));
        label->setText(QStringLiteral("Mark %1, printed at left %2, top %3 mm:")
                           .arg(i + 1)
                           .arg(marks[i].x())
                           .arg(marks[i].y()));
        lblError[i]->clear();
    }
}

void frmAlignPrinter::showAlignment() {
    const QString name = printer();
    Controls::showFigure(lblAlignment, QStringLiteral("Alignment"),
                         name.isEmpty() ? QStringLiteral("Choose or type a printer.")
                                        : describe(PrinterAlignment::load(name)));
}

// The grid of aligned printers changes only when a correction is saved or reset.
void frmAlignPrinter::listAlignedPrinters() {
    const QStringList printers = PrinterAlignment::alignedPrinters();
    FG->setRows(1);
    FG->setCols(6);
    const QStringList headers{QString(),
                              QStringLiteral("Printer"),
                              QStringLiteral("Right mm"),
                              QStringLiteral("Down mm"),
                              QStringLiteral("Across %"),
                              QStringLiteral("Down %")};
    const int widths[] = {1, 3200, 1100, 1100, 1100, 1100};
    for (int col = 0; col < 6; ++col) {
        FG->setTextMatrix(0, col, headers[col]);
        FG->setColWidth(col, widths[col]);
    }
    QVector<QStringList> rows;
    for (const QString& aligned : printers) {
        const Alignment alignment = PrinterAlignment::load(aligned);
        rows << QStringList{aligned,
                            aligned,
                            millimetreText(alignment.offsetXMm),
                            millimetreText(alignment.offsetYMm),
                            QString::number(alignment.scaleX * 100, 'f', 2),
                            QString::number(alignment.scaleY * 100, 'f', 2)};
    }
    FG->fill(rows);
}

bool frmAlignPrinter::printerChosen() {
    if (!printer().isEmpty())
        return true;
    MsgBox::show(QStringLiteral("Choose or type a printer first."), MsgBox::Buttons::Ok, MsgBox::Button::Ok,
                 this);
    cmbPrinter->setFocus();
    return false;
}

std::optional<double> frmAlignPrinter::millimetres(QLineEdit* box, const QString& what) {
    bool ok = false;
    const double value = box->text().trimmed().toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    MsgBox::show(QStringLiteral("%1: \"%2\" is not a number of millimetres.").arg(what, box->text()),
                 MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
    box->setFocus();
    return std::nullopt;
}

void frmAlignPrinter::print(const Alignment& alignment) {
    if (!printerChosen())
        return;
    const QSizeF sheet = paper();
    // Fed and placed as the slips are: the same layout, from the sheet's corner.
    const QPageLayout layout = ReportOutput::pageLayout(
        sheet, QPageLayout::Orientation(cmbPaper->currentData(kOrientationRole).toInt()));
    std::unique_ptr<QPagedPaintDevice> device = pageDevice()(printer(), layout);
    QPainter painter;
    if (!device || !painter.begin(device.get())) {
        MsgBox::show(QStringLiteral("The printer \"%1\" could not be started.").arg(printer()),
                     MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
        return;
    }
    AlignmentPage::render(painter, sheet, PageRenderer::deviceScale(painter), alignment);
}

void frmAlignPrinter::printAlignmentPage() {
    // As the printer feeds it, with no correction: the measures then tell the whole feed.
    print({});
}

void frmAlignPrinter::printCheckPage() {
    print(PrinterAlignment::load(printer()));
}

void frmAlignPrinter::fitAndSave() {
    const QList<QPointF> marks = PrinterAlignment::marks(paper());
    QList<PrinterAlignment::Measure> measures;
    QList<int> measured;
    for (int i = 0; i < kMarks; ++i) {
        if (txtLeft[i]->text().trimmed().isEmpty() && txtTop[i]->text().trimmed().isEmpty())
            continue; // a mark not measured
        const auto left = millimetres(txtLeft[i], QStringLiteral("Mark %1 from the left").arg(i + 1));
        if (!left)
            return;
        const auto top = millimetres(txtTop[i], QStringLiteral("Mark %1 from the top").arg(i + 1));
        if (!top)
            return;
        measures.append({marks[i], {*left, *top}});
        measured << i;
    }
    const auto result = PrinterAlignment::fit(measures, paper(), {});
    if (const QString* problem = std::get_if<QString>(&result)) {
        MsgBox::show(*problem, MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
        return;
    }
    if (!printerChosen())
        return;
    const PrinterAlignment::Fit& fit = std::get<PrinterAlignment::Fit>(result);
    for (int i = 0; i < kMarks; ++i)
        lblError[i]->clear();
    for (qsizetype n = 0; n < measured.size(); ++n)
        Controls::showFigure(lblError[measured[n]],
                             QStringLiteral("Mark %1 left off by").arg(measured[n] + 1),
                             QStringLiteral("left off by %1 mm").arg(millimetreText(fit.residualsMm[n])));
    PrinterAlignment::save(printer(), fit.correction);
    showAlignment();
    listAlignedPrinters();
}

void frmAlignPrinter::applyShift() {
    const auto right = millimetres(txtRight, QStringLiteral("To the right"));
    if (!right)
        return;
    const auto low = millimetres(txtLow, QStringLiteral("Low"));
    if (!low)
        return;
    if (!printerChosen())
        return;
    PrinterAlignment::save(printer(),
                           PrinterAlignment::shifted(PrinterAlignment::load(printer()), *right, *low));
    txtRight->clear();
    txtLow->clear();
    showAlignment();
    listAlignedPrinters();
}

void frmAlignPrinter::resetSelected() {
    const QString aligned = FG->selectedKey();
    if (aligned.isEmpty())
        return;
    if (!MsgBox::askYesNo(QStringLiteral("Forget the alignment of \"%1\"?").arg(aligned), this))
        return;
    PrinterAlignment::reset(aligned);
    showAlignment();
    listAlignedPrinters();
}

void frmAlignPrinter::setPageDevice(PageDevice device) {
    pageDevice() = std::move(device);
}
