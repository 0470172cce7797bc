#include "frmDesigner.h"
#include "Controls.h"
#include "DbError.h"
#include "DesignView.h"
#include "DesignerDialogs.h"
#include "ElementNames.h"
#include "Forms.h"
#include "MsgBox.h"
#include "Palette.h"
#include "PropertiesPanel.h"
#include "ReportError.h"
#include "ReportOutput.h"
#include "Ruler.h"
#include "SampleSlip.h"
#include "ScanImport.h"
#include "TemplateLoader.h"
#include "TestPrint.h"
#include "WindowHelpers.h"
#include "frmAlignPrinter.h"
#include "frmReport.h"
#include "modData.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStatusBar>
#include <cmath>

namespace {

// What Copy took: each element with the list it came from and its page box.
struct Clipped {
    Element element;
    QRectF pageBox;
};

std::vector<Clipped>& clipboard() {
    static std::vector<Clipped> clipped;
    return clipped;
}

constexpr double kPasteStepMm = 2;

// The database for sample slips, opened through path.txt when it is not open yet.
const Connection* sampleDatabase() {
    if (g_Connection && g_Connection->State() == 1)
        return g_Connection.get();
    try {
        auto connection = Connection::create();
        connection->open(GetDatabasePath(), kDatabasePassword);
        g_Connection = std::move(connection);
        return g_Connection.get();
    } catch (const DbError&) {
        return nullptr;
    }
}

const QString kScanFilter = QStringLiteral("Scans (*.png *.jpg *.jpeg *.tif *.tiff *.bmp *.pdf)");

} // namespace

frmDesigner::frmDesigner(ReportTemplate layout, qint64 accountKey)
    : m_document(std::make_unique<DesignDocument>(std::move(layout), accountKey)) {
    setObjectName(QStringLiteral("frmDesigner"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pageArea"));
    m_view = new DesignView(*m_document, page);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* corner = new QWidget(page);
    corner->setFixedSize(Ruler::kThickness, Ruler::kThickness);
    grid->addWidget(corner, 0, 0);
    grid->addWidget(new Ruler(Qt::Horizontal, *m_view, page), 0, 1);
    grid->addWidget(new Ruler(Qt::Vertical, *m_view, page), 1, 0);
    grid->addWidget(m_view, 1, 1);
    setCentralWidget(page);

    m_palette = new Palette(this);
    auto* paletteDock = new QDockWidget(QStringLiteral("Elements"), this);
    paletteDock->setObjectName(QStringLiteral("dockPalette"));
    paletteDock->setWidget(m_palette);
    paletteDock->setFeatures(QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::LeftDockWidgetArea, paletteDock);
    connect(m_palette, &Palette::addRequested, this, &frmDesigner::addPaletteItem);

    m_properties = new PropertiesPanel(*m_document, this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("propertiesArea"));
    scroll->setWidget(m_properties);
    scroll->setWidgetResizable(true);
    auto* propertiesDock = new QDockWidget(QStringLiteral("Properties"), this);
    propertiesDock->setObjectName(QStringLiteral("dockProperties"));
    propertiesDock->setWidget(scroll);
    propertiesDock->setFeatures(QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::RightDockWidgetArea, propertiesDock);

    const auto statusLabel = [this](const char* name, const QString& caption) {
        auto* label = Controls::make<QLabel>(this, QLatin1String(name), caption);
        statusBar()->addWidget(label);
        return label;
    };
    m_pointer = statusLabel("lblPointer", QStringLiteral("Pointer"));
    m_pointer->setMinimumWidth(170);
    m_zoom = statusLabel("lblZoom", QStringLiteral("Zoom"));
    m_scan = statusLabel("lblScan", QStringLiteral("Scan"));
    m_sample = statusLabel("lblSample", QStringLiteral("Sample slip"));
    m_message = statusLabel("lblMessage", QStringLiteral("Message"));
    statusBar()->setSizeGripEnabled(true);

    buildMenus();
    connect(m_view, &DesignView::pointerMoved, this, &frmDesigner::showPointer);
    connect(m_view, &DesignView::viewChanged, this, &frmDesigner::updateStatus);
    connect(m_view, &DesignView::announced, this, [this](const QString& text) {
        Controls::showFigure(m_message, QStringLiteral("Message"), text);
    });
    connect(&m_document->undoStack(), &QUndoStack::cleanChanged, this, &frmDesigner::updateTitle);
    connect(m_document.get(), &DesignDocument::layoutChanged, this, &frmDesigner::updateStatus);
    connect(m_document.get(), &DesignDocument::sampleChanged, this, &frmDesigner::updateStatus);

    if (m_document->accountKey() > 0)
        useLatestSlip();
    markInputStored();
    updateTitle();
    updateStatus();
    resize(1200, 800);
    m_view->setFocus();
}

frmDesigner::~frmDesigner() = default;

frmDesigner* frmDesigner::openFile(const QString& path, qint64 accountKey) {
    try {
        auto* window = new frmDesigner(TemplateLoader::load(path), accountKey);
        window->show();
        return window;
    } catch (const std::exception& error) {
        showFailure(error, nullptr);
        return nullptr;
    }
}

QStringList frmDesigner::inputState() const {
    return {m_document->isModified() ? QStringLiteral("changed") : QStringLiteral("saved")};
}

void frmDesigner::closeEvent(QCloseEvent* event) {
    if (mayDiscardInput(this))
        event->accept();
    else
        event->ignore();
}

void frmDesigner::updateTitle() {
    setWindowTitle(QFileInfo(m_document->filePath()).fileName() +
                   (m_document->isModified() ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - Cheqora Template Designer"));
}

QString frmDesigner::scanScale() const {
    const auto& background = m_document->layout().background;
    if (!background)
        return QStringLiteral("No scan");
    const double perMm = background->image.width() / background->box.width();
    return QStringLiteral("Scan %1 dpi (%2 px/mm), %3 x %4 mm")
        .arg(perMm * PageRenderer::kMmPerInch, 0, 'f', 0)
        .arg(perMm, 0, 'f', 2)
        .arg(background->box.width(), 0, 'f', 1)
        .arg(background->box.height(), 0, 'f', 1);
}

void frmDesigner::updateStatus() {
    Controls::showFigure(m_zoom, QStringLiteral("Zoom"),
                         QStringLiteral("%1 %").arg(qRound(m_view->zoom() * 100)));
    Controls::showFigure(m_scan, QStringLiteral("Scan"), scanScale());
    Controls::showFigure(m_sample, QStringLiteral("Sample slip"), m_document->sampleName());
}

QString frmDesigner::statusText() const {
    return QStringList{m_pointer->text(), m_zoom->text(), m_scan->text(), m_sample->text(), m_message->text()}
        .join(QStringLiteral(" | "));
}

void frmDesigner::showPointer(QPointF mm) {
    Controls::showFigure(m_pointer, QStringLiteral("Pointer"),
                         QStringLiteral("x %1 mm, y %2 mm").arg(mm.x(), 0, 'f', 1).arg(mm.y(), 0, 'f', 1));
}

void frmDesigner::buildMenus() {
    const auto action = [this](QMenu* menu, const QString& text, const QKeySequence& keys,
                               const std::function<void()>& run) {
        QAction* a = menu->addAction(text);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    using K = QKeySequence;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    action(file, QStringLiteral("&Open Template..."), K::Open, [this] {
        const QString path = DesignerDialogs::openFile(this, QStringLiteral("Open Template"),
                                                       QStringLiteral("Templates (*.rpt)"));
        if (!path.isEmpty())
            openFile(path);
    });
    action(file, QStringLiteral("&Save"), K::Save, [this] { save(); });
    action(file, QStringLiteral("Save &As..."), K(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] {
        const QString path =
            DesignerDialogs::saveFile(this, QStringLiteral("Save Template As"), m_document->filePath(),
                                      QStringLiteral("Templates (*.rpt)"));
        if (!path.isEmpty())
            saveAs(path);
    });
    file->addSeparator();
    action(file, QStringLiteral("Pre&view"), K(Qt::Key_F5), [this] { preview(); });
    action(file, QStringLiteral("&Test Print..."), K::Print, [this] { testPrint(); });
    action(file, QStringLiteral("&Export Test PDF..."), K(Qt::CTRL | Qt::SHIFT | Qt::Key_E), [this] {
        const QString proposed =
            QFileInfo(m_document->filePath()).completeBaseName() + QStringLiteral("-test.pdf");
        const QString path = DesignerDialogs::saveFile(this, QStringLiteral("Export Test PDF"), proposed,
                                                       QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty())
            exportTestPdf(path);
    });
    action(file, QStringLiteral("Align &Printer..."), K(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
           [this] { frmAlignPrinter::showFor(&m_document->layout(), this); });
    file->addSeparator();
    action(file, QStringLiteral("&Close"), K(Qt::CTRL | Qt::Key_W), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction* undo = m_document->undoStack().createUndoAction(this, QStringLiteral("&Undo"));
    undo->setShortcut(K::Undo);
    edit->addAction(undo);
    QAction* redo = m_document->undoStack().createRedoAction(this, QStringLiteral("&Redo"));
    redo->setShortcuts({K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(redo);
    edit->addSeparator();
    action(edit, QStringLiteral("Cu&t"), K::Cut, [this] { cutSelection(); });
    action(edit, QStringLiteral("&Copy"), K::Copy, [this] { copySelection(); });
    action(edit, QStringLiteral("&Paste"), K::Paste, [this] { paste(); });
    action(edit, QStringLiteral("&Delete"), K(Qt::Key_Delete), [this] { deleteSelection(); });
    action(edit, QStringLiteral("Select &All"), K::SelectAll, [this] { selectAll(); });
    edit->addSeparator();
    action(edit, QStringLiteral("Add the &Chosen Element"), K(Qt::CTRL | Qt::Key_Return),
           [this] { addPaletteItem(m_palette->currentId()); });
    action(edit, QStringLiteral("Go to the &Elements List"), K(Qt::Key_F6),
           [this] { m_palette->setFocus(); });
    action(edit, QStringLiteral("Go to the P&age"), K(Qt::Key_F7), [this] { m_view->setFocus(); });
    action(edit, QStringLiteral("Go to the P&roperties"), K(Qt::Key_F8), [this] {
        if (QWidget* first = m_properties->nextInFocusChain())
            first->setFocus();
    });

    QMenu* arrange = menuBar()->addMenu(QStringLiteral("&Arrange"));
    using TemplateEditing::Edge;
    const std::vector<std::tuple<QString, QKeySequence, Edge>> edges = {
        {QStringLiteral("Align &Left Edges"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), Edge::Left},
        {QStringLiteral("Align &Right Edges"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), Edge::Right},
        {QStringLiteral("Align &Top Edges"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), Edge::Top},
        {QStringLiteral("Align &Bottom Edges"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), Edge::Bottom},
        {QStringLiteral("Align &Centres Across"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_H), Edge::HCenter},
        {QStringLiteral("Align &Middles Down"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_M), Edge::VCenter}};
    for (const auto& [text, keys, edge] : edges) {
        const Edge e = edge;
        action(arrange, text, keys, [this, e] { alignSelection(e); });
    }
    arrange->addSeparator();
    action(arrange, QStringLiteral("Distribute &Across"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_J),
           [this] { distributeSelection(Qt::Horizontal); });
    action(arrange, QStringLiteral("Distribute &Down"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
           [this] { distributeSelection(Qt::Vertical); });

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    action(viewMenu, QStringLiteral("Zoom &In"), K::ZoomIn, [this] { m_view->zoomIn(); });
    action(viewMenu, QStringLiteral("Zoom In (=)"), K(Qt::CTRL | Qt::Key_Equal),
           [this] { m_view->zoomIn(); });
    action(viewMenu, QStringLiteral("Zoom &Out"), K::ZoomOut, [this] { m_view->zoomOut(); });
    action(viewMenu, QStringLiteral("&True Size (100 %)"), K(Qt::CTRL | Qt::Key_0),
           [this] { m_view->setZoom(1.0); });
    viewMenu->addSeparator();
    QAction* snap = action(viewMenu, QStringLiteral("&Snap to Grid and Guides"),
                           K(Qt::CTRL | Qt::Key_Semicolon), [this] { m_view->setSnap(!m_view->snaps()); });
    snap->setCheckable(true);
    snap->setChecked(m_view->snaps());
    action(viewMenu, QStringLiteral("&Grid Step..."), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Semicolon),
           [this] { askGridStep(); });
    action(viewMenu, QStringLiteral("Add &Horizontal Guide..."), K(Qt::CTRL | Qt::Key_G),
           [this] { askGuide(Qt::Horizontal); });
    action(viewMenu, QStringLiteral("Add &Vertical Guide..."), K(Qt::CTRL | Qt::ALT | Qt::Key_G),
           [this] { askGuide(Qt::Vertical); });
    action(viewMenu, QStringLiteral("&Clear Guides"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
           [this] { m_view->clearGuides(); });
    QAction* showScan = action(viewMenu, QStringLiteral("Show the S&can"), K(Qt::CTRL | Qt::Key_B),
                               [this] { m_view->setShowScan(!m_view->showsScan()); });
    showScan->setCheckable(true);
    showScan->setChecked(true);

    QMenu* scan = menuBar()->addMenu(QStringLiteral("S&can"));
    action(scan, QStringLiteral("&Import Scan..."), K(Qt::CTRL | Qt::Key_I), [this] {
        const QString path = DesignerDialogs::openFile(this, QStringLiteral("Import Scan"), kScanFilter);
        if (path.isEmpty())
            return;
        int page = 0;
        if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
            const bool ok = guarded(this, [&] {
                const int pages = ScanImport::pdfPageCount(path);
                if (pages > 1) {
                    const auto chosen = DesignerDialogs::askNumber(
                        this,
                        {QStringLiteral("Import Scan"),
                         QStringLiteral("Page of the PDF (1 to %1):").arg(pages), 1, 1, double(pages), 0});
                    page = chosen ? int(*chosen) - 1 : -1;
                }
            });
            if (!ok || page < 0)
                return;
        }
        importScan(path, page);
    });
    action(scan, QStringLiteral("Scale from the &Paper"), K(Qt::CTRL | Qt::ALT | Qt::Key_1),
           [this] { scaleScanFromPaper(); });
    action(scan, QStringLiteral("Scale from &Two Points..."), K(Qt::CTRL | Qt::ALT | Qt::Key_2),
           [this] { askTwoPoints(); });
    action(scan, QStringLiteral("Scale from the Image's &Resolution"), K(Qt::CTRL | Qt::ALT | Qt::Key_3),
           [this] { scaleScanFromResolution(); });
    action(scan, QStringLiteral("Scan &Position and Size..."), K(Qt::CTRL | Qt::ALT | Qt::Key_P),
           [this] { askScanPlace(); });
    action(scan, QStringLiteral("Re&move Scan"), K(Qt::CTRL | Qt::ALT | Qt::Key_R), [this] { removeScan(); });

    QMenu* sample = menuBar()->addMenu(QStringLiteral("Sa&mple"));
    action(sample, QStringLiteral("&Latest Slip of the Account"), K(Qt::CTRL | Qt::ALT | Qt::Key_L),
           [this] { useLatestSlip(); });
    action(sample, QStringLiteral("Slip by &Sr. No..."), K(Qt::CTRL | Qt::ALT | Qt::Key_N),
           [this] { askSlipBySerial(); });
    action(sample, QStringLiteral("&Built-in Sample"), K(Qt::CTRL | Qt::ALT | Qt::Key_B),
           [this] { useBuiltInSample(); });
}

void frmDesigner::addPaletteItem(const QString& id) {
    if (!id.isEmpty())
        m_view->addFromPalette(id, m_view->visibleMiddle());
}

bool frmDesigner::save() {
    return guarded(this, [this] {
        m_document->save();
        Controls::showFigure(
            m_message, QStringLiteral("Message"),
            QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(m_document->filePath())));
    });
}

bool frmDesigner::saveAs(const QString& path) {
    const bool saved = guarded(this, [&] { m_document->saveAs(path); });
    updateTitle();
    return saved;
}

bool frmDesigner::importScan(const QString& path, int pdfPage) {
    return guarded(this, [&] {
        const bool pdf = path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
        const ScanImport::Scan scan = pdf ? ScanImport::importPdfPage(path, pdfPage, m_document->filePath())
                                          : ScanImport::importImage(path, m_document->filePath());
        const ReportTemplate& t = m_document->layout();
        // A stated resolution gives the true size; otherwise the scan is taken as the whole sheet.
        QRectF box = ScanImport::boxFromPaper(t.paper);
        if (scan.dotsPerMm) {
            try {
                box = ScanImport::boxFromResolution(scan.image.size(), *scan.dotsPerMm, QPointF(0, 0));
            } catch (const ReportError&) {
            }
        }
        m_document->change(QStringLiteral("Import the scan"), [&](ReportTemplate& edited) {
            edited.background = Background{scan.path, scan.image, box};
        });
        Controls::showFigure(m_message, QStringLiteral("Message"),
                             QStringLiteral("Scan imported, scaled %1")
                                 .arg(scan.dotsPerMm ? QStringLiteral("from its resolution")
                                                     : QStringLiteral("to the paper")));
    });
}

bool frmDesigner::placeScan(const QRectF& box) {
    return guarded(this, [&] {
        if (!m_document->layout().background)
            throw ReportError(QStringLiteral("The template has no scan; import one first."));
        if (!(box.width() >= 1 && box.height() >= 1))
            throw ReportError(QStringLiteral("A scan is at least 1 mm wide and high. Nothing was changed."));
        m_document->change(QStringLiteral("Place the scan"),
                           [&](ReportTemplate& t) { t.background->box = box; });
    });
}

bool frmDesigner::scaleScanFromPaper() {
    return placeScan(ScanImport::boxFromPaper(m_document->layout().paper));
}

bool frmDesigner::scaleScanFromResolution() {
    const auto& background = m_document->layout().background;
    QRectF box;
    const bool found = guarded(this, [&] {
        if (!background)
            throw ReportError(QStringLiteral("The template has no scan; import one first."));
        const auto stated = ScanImport::statedDotsPerMm(background->image);
        if (!stated)
            throw ReportError(
                QStringLiteral("The scan states no resolution of its own. Scale it from the paper "
                               "or from two points."));
        box = ScanImport::boxFromResolution(background->image.size(), *stated, background->box.topLeft());
    });
    return found && placeScan(box);
}

bool frmDesigner::scaleScanFromTwoPoints(QPointF first, QPointF second, double distanceMm) {
    QRectF box;
    const bool found = guarded(this, [&] {
        const auto& background = m_document->layout().background;
        if (!background)
            throw ReportError(QStringLiteral("The template has no scan; import one first."));
        box = ScanImport::boxFromTwoPoints(background->image.size(), background->box, first, second,
                                           distanceMm);
    });
    return found && placeScan(box);
}

void frmDesigner::askTwoPoints() {
    if (!m_document->layout().background) {
        MsgBox::show(QStringLiteral("The template has no scan; import one first."), MsgBox::Buttons::Ok,
                     MsgBox::Button::Ok, this);
        return;
    }
    Controls::showFigure(
        m_message, QStringLiteral("Message"),
        QStringLiteral("Click two points on the scan whose distance you know (Escape cancels)."));
    m_view->pickTwoPoints([this](QPointF first, QPointF second) {
        const auto distance = DesignerDialogs::askNumber(
            this, {QStringLiteral("Scale from Two Points"),
                   QStringLiteral("Real distance between the points (mm):"),
                   std::hypot(first.x() - second.x(), first.y() - second.y()), 0, 1000, 1});
        if (distance)
            scaleScanFromTwoPoints(first, second, *distance);
    });
}

void frmDesigner::askScanPlace() {
    const auto& background = m_document->layout().background;
    if (!background) {
        MsgBox::show(QStringLiteral("The template has no scan; import one first."), MsgBox::Buttons::Ok,
                     MsgBox::Button::Ok, this);
        return;
    }
    QDialog dialog(this);
    setUpDialogWindow(&dialog, QStringLiteral("dlgScanPlace"), QStringLiteral("Scan Position and Size"));
    auto* form = new QFormLayout(&dialog);
    const QRectF box = background->box;
    const auto number = [&](const char* name, const QString& caption, double value, double minimum) {
        auto* spin = Controls::make<QDoubleSpinBox>(&dialog, QLatin1String(name));
        spin->setRange(minimum, 1000);
        spin->setDecimals(1);
        spin->setSingleStep(0.1);
        spin->setSuffix(QStringLiteral(" mm"));
        spin->setValue(value);
        Controls::name(spin, QString(caption).remove(QLatin1Char('&')));
        form->addRow(caption, spin);
        return spin;
    };
    auto* x = number("txtScanX", QStringLiteral("&X"), box.x(), -1000);
    auto* y = number("txtScanY", QStringLiteral("&Y"), box.y(), -1000);
    auto* w = number("txtScanWidth", QStringLiteral("&Width"), box.width(), 1);
    auto* h = number("txtScanHeight", QStringLiteral("&Height"), box.height(), 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() == QDialog::Accepted)
        placeScan(QRectF(x->value(), y->value(), w->value(), h->value()));
}

void frmDesigner::removeScan() {
    m_document->change(QStringLiteral("Remove the scan"), [](ReportTemplate& t) { t.background.reset(); });
}

bool frmDesigner::useLatestSlip() {
    return guarded(this, [this] {
        const Connection* database = sampleDatabase();
        const QString accno = database && m_document->accountKey() > 0
                                  ? SampleSlip::accountNumber(*database, m_document->accountKey())
                                  : QString();
        const qint64 sid = database && !accno.isEmpty() ? SampleSlip::latestSlipKey(*database, accno) : 0;
        if (sid == 0) {
            useBuiltInSample();
            Controls::showFigure(
                m_message, QStringLiteral("Message"),
                QStringLiteral("The account has no stored slip; the built-in sample is shown."));
            return;
        }
        const SlipRecord slip = SampleSlip::stored(sid);
        m_document->setSample(
            slip, QStringLiteral("Sample: latest slip, Sr. No %1").arg(slip.slip.value("sno").toString()));
    });
}

bool frmDesigner::useSlipBySerial(qint64 serialNumber) {
    return guarded(this, [&] {
        const Connection* database = sampleDatabase();
        if (!database)
            throw ReportError(QStringLiteral("The database cannot be opened: check path.txt."));
        const QString accno = m_document->accountKey() > 0
                                  ? SampleSlip::accountNumber(*database, m_document->accountKey())
                                  : QString();
        const qint64 sid = SampleSlip::latestSlipKey(*database, accno, serialNumber);
        if (sid == 0)
            throw ReportError(
                QStringLiteral("There is no slip with Sr. No %1%2.")
                    .arg(serialNumber)
                    .arg(accno.isEmpty() ? QString() : QStringLiteral(" for account ") + accno));
        m_document->setSample(SampleSlip::stored(sid), QStringLiteral("Sample: Sr. No %1").arg(serialNumber));
    });
}

void frmDesigner::askSlipBySerial() {
    if (const auto serial = DesignerDialogs::askNumber(
            this, {QStringLiteral("Sample Slip"), QStringLiteral("Sr. No of the slip:"), 1, 1, 999999999, 0}))
        useSlipBySerial(qint64(*serial));
}

void frmDesigner::useBuiltInSample() {
    m_document->setSample(SampleSlip::builtIn(), QStringLiteral("Sample: built-in"));
}

void frmDesigner::askGuide(Qt::Orientation orientation) {
    const QSizeF paper = m_document->layout().paper;
    const bool across = orientation == Qt::Horizontal;
    if (const auto at = DesignerDialogs::askNumber(
            this, {across ? QStringLiteral("Horizontal Guide") : QStringLiteral("Vertical Guide"),
                   across ? QStringLiteral("Distance from the top edge (mm):")
                          : QStringLiteral("Distance from the left edge (mm):"),
                   0, 0, across ? paper.height() : paper.width(), 1}))
        m_view->addGuide(orientation, *at);
}

void frmDesigner::askGridStep() {
    if (const auto step =
            DesignerDialogs::askNumber(this, {QStringLiteral("Grid Step"), QStringLiteral("Grid step (mm):"),
                                              m_view->gridStep(), 0.1, 50, 1}))
        m_view->setGridStep(*step);
}

bool frmDesigner::exportTestPdf(const QString& path) {
    return guarded(this, [&] {
        TestPrint::exportPdf(m_document->layout(), m_document->sample(), path);
        Controls::showFigure(m_message, QStringLiteral("Message"),
                             QStringLiteral("Test PDF written to %1").arg(QDir::toNativeSeparators(path)));
    });
}

void frmDesigner::testPrint() {
    guarded(this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setPageLayout(ReportOutput::pageLayout(m_document->layout()));
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted)
            TestPrint::print(m_document->layout(), m_document->sample(), printer);
    });
}

bool frmDesigner::preview() {
    return guarded(this, [this] {
        auto report = std::make_shared<Report>(m_document->layout());
        report->setSavedData({m_document->sample()});
        frmReport& window = Forms::get<frmReport>();
        window.CViewer->setReportSource(report);
        window.CViewer->ViewReport();
        Forms::showForward(&window);
    });
}

void frmDesigner::copySelection() {
    const ReportTemplate& t = m_document->layout();
    if (m_document->selection().empty())
        return;
    clipboard().clear();
    for (const ElementRef ref : m_document->selection())
        clipboard().push_back({t.element(ref), TemplateEditing::pageBox(t, ref)});
}

void frmDesigner::cutSelection() {
    copySelection();
    deleteSelection();
}

void frmDesigner::paste() {
    if (clipboard().empty())
        return;
    for (Clipped& c : clipboard())
        c.pageBox.translate(kPasteStepMm, kPasteStepMm);
    std::vector<ElementRef> added;
    ReportTemplate probe = m_document->layout();
    for (const Clipped& c : clipboard())
        added.push_back(TemplateEditing::add(probe, c.element, c.pageBox.topLeft()));
    m_document->change(
        QStringLiteral("Paste"),
        [&](ReportTemplate& t) {
            for (const Clipped& c : clipboard())
                TemplateEditing::add(t, c.element, c.pageBox.topLeft());
        },
        added);
}

void frmDesigner::deleteSelection() {
    const std::vector<ElementRef> selection = m_document->selection();
    if (selection.empty())
        return;
    m_document->change(
        QStringLiteral("Delete"), [&](ReportTemplate& t) { TemplateEditing::remove(t, selection); },
        std::vector<ElementRef>{});
}

void frmDesigner::selectAll() {
    std::vector<ElementRef> all;
    const ReportTemplate& t = m_document->layout();
    for (bool inBand : {false, true})
        for (size_t i = 0; i < t.list(inBand).size(); ++i)
            all.push_back({inBand, int(i)});
    m_document->select(all);
}

void frmDesigner::alignSelection(TemplateEditing::Edge edge) {
    const std::vector<ElementRef> selection = m_document->selection();
    m_document->change(QStringLiteral("Align"),
                       [&](ReportTemplate& t) { TemplateEditing::align(t, selection, edge); });
}

void frmDesigner::distributeSelection(Qt::Orientation orientation) {
    const std::vector<ElementRef> selection = m_document->selection();
    m_document->change(QStringLiteral("Distribute"),
                       [&](ReportTemplate& t) { TemplateEditing::distribute(t, selection, orientation); });
}
