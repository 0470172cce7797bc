#include "CViewer.h"
#include "Controls.h"
#include "MsgBox.h"
#include "PageRenderer.h"
#include "ReportError.h"
#include "SaveFileDialog.h"
#include "WindowHelpers.h"
#include "WorkProgress.h"
#include "frmAlignPrinter.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr std::array<double, 9> kZoomSteps = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

CViewer::PrintDialog& printDialog() {
    static CViewer::PrintDialog dialog = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog box(&printer, parent);
        box.setOption(QAbstractPrintDialog::PrintPageRange, false);
        return box.exec() == QDialog::Accepted;
    };
    return dialog;
}

} // namespace

// The current page on white paper, at true size times the zoom; read and
// drawn only when shown. A page that cannot be read shows why instead.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("page"));
        setAccessibleName(QStringLiteral("Page"));
    }

    void show(PageSet* pages, int index, double zoom) {
        m_page = {};
        m_note.clear();
        m_zoom = zoom;
        QSize size(0, 0);
        if (pages && index >= 0) {
            try {
                m_page = pages->page(index);
                if (!m_page.slip)
                    m_note = QStringLiteral("%1 is no longer stored: another user may have deleted it. It is "
                                            "left out of the print.")
                                 .arg(pages->slipName(index));
            } catch (const std::exception& error) {
                m_page = {};
                m_note = QString::fromUtf8(error.what());
            }
            if (m_page.layout) {
                const QSizeF paper = m_page.layout->paper;
                size = QSize(qRound(paper.width() * logicalDpiX() / PageRenderer::kMmPerInch * zoom),
                             qRound(paper.height() * logicalDpiY() / PageRenderer::kMmPerInch * zoom));
            }
            if (!m_note.isEmpty())
                size = size.expandedTo(QSize(480, 160));
        }
        setFixedSize(size);
        setAccessibleDescription(m_note);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_page.layout && m_note.isEmpty())
            return;
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_note.isEmpty())
            PageRenderer::render(painter, *m_page.layout, *m_page.slip,
                                 PageRenderer::deviceScale(painter, m_zoom), PageRenderer::Mode::Preview);
        else
            painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_note);
        painter.setPen(Qt::gray);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    PageSet::Page m_page;
    QString m_note;
    double m_zoom = 1.0;
};

CViewer::CViewer(QWidget* parent) : QWidget(parent) {
    auto* toolbar =
        Controls::make<QWidget>(this, QStringLiteral("toolbar"), QStringLiteral("Viewer toolbar"));
    auto* tools = new QHBoxLayout(toolbar);
    tools->setContentsMargins(4, 4, 4, 4);
    auto button = [&](const char* name, const QString& caption, const QString& accessible) {
        auto* b = Controls::make<QPushButton>(toolbar, QLatin1String(name), accessible);
        b->setText(caption);
        b->setAutoDefault(false);
        tools->addWidget(b);
        return b;
    };
    m_first = button("btnFirst", QStringLiteral("&First"), QStringLiteral("First page"));
    m_previous = button("btnPrevious", QStringLiteral("Pre&vious"), QStringLiteral("Previous page"));
    m_pageLabel = Controls::make<QLabel>(toolbar, QStringLiteral("lblPage"), QStringLiteral("Page number"));
    tools->addWidget(m_pageLabel);
    m_next = button("btnNext", QStringLiteral("&Next"), QStringLiteral("Next page"));
    m_last = button("btnLast", QStringLiteral("&Last"), QStringLiteral("Last page"));
    tools->addSpacing(16);
    m_zoomOut = button("btnZoomOut", QStringLiteral("Zoom &Out"), QStringLiteral("Zoom out"));
    m_zoomLabel = Controls::make<QLabel>(toolbar, QStringLiteral("lblZoom"), QStringLiteral("Zoom"));
    tools->addWidget(m_zoomLabel);
    m_zoomIn = button("btnZoomIn", QStringLiteral("Zoom &In"), QStringLiteral("Zoom in"));
    tools->addSpacing(16);
    m_print = button("btnPrint", QStringLiteral("&Print"), QStringLiteral("Print"));
    m_alignPrinter =
        button("btnAlignPrinter", QStringLiteral("&Align Printer..."), QStringLiteral("Align printer"));
    m_exportPdf = button("btnExportPdf", QStringLiteral("E&xport PDF"), QStringLiteral("Export PDF"));
    tools->addStretch();

    m_scroll = Controls::make<QScrollArea>(this, QStringLiteral("pageArea"), QStringLiteral("Report pages"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_scroll);
    m_scroll->setWidget(m_view);
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    m_scroll->installEventFilter(this);
    setFocusProxy(m_scroll);

    m_status = Controls::make<QLabel>(this, QStringLiteral("lblStatus"), QStringLiteral("Status"));
    m_status->setContentsMargins(6, 2, 6, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_status);

    connect(m_first, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { showPage(pageCount()); });
    connect(m_zoomOut, &QPushButton::clicked, this, &CViewer::zoomOut);
    connect(m_zoomIn, &QPushButton::clicked, this, &CViewer::zoomIn);
    connect(m_print, &QPushButton::clicked, this, &CViewer::printWithDialog);
    connect(m_exportPdf, &QPushButton::clicked, this, &CViewer::exportPdfWithDialog);
    connect(m_alignPrinter, &QPushButton::clicked, this, [this] {
        guarded(this, [this] {
            const PageSet::Page page = m_pages && pageCount() > 0 ? m_pages->page(m_page) : PageSet::Page{};
            frmAlignPrinter::showFor(page.layout, window());
        });
    });

    auto shortcut = [this](const QKeySequence& keys, const std::function<void()>& action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { zoomOut(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(1.0); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { showPage(pageCount()); });
    shortcut(QKeySequence::Print, [this] { printWithDialog(); });

    updateControls();
}

CViewer::~CViewer() = default;

void CViewer::setReportSource(std::shared_ptr<Report> report) {
    m_report = std::move(report);
    m_pages.reset();
    m_page = -1;
    updateControls();
}

void CViewer::setPages(std::shared_ptr<PageSet> pages) {
    m_report.reset();
    m_pages = std::move(pages);
    m_page = -1;
    updateControls();
}

void CViewer::setDisplayStatusBar(bool display) {
    m_status->setVisible(display);
}

void CViewer::ViewReport() {
    if (!m_report && m_pages) { // pages are read as they are shown
        m_page = m_pages->count() > 0 ? 0 : -1;
        updateControls();
        return;
    }
    if (!m_report)
        throw ReportError(QStringLiteral("The viewer has no report to show."));
    const auto prompt = [this](const ParameterField& field,
                               quintptr parentWindow) -> std::optional<QVariant> {
        QWidget* owner = parentWindow ? QWidget::find(static_cast<WId>(parentWindow)) : nullptr;
        bool ok = false;
        const QString value = QInputDialog::getText(owner ? owner : this, QStringLiteral("Report"),
                                                    QStringLiteral("Value of %1:").arg(field.name()),
                                                    QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<QVariant>(value) : std::nullopt;
    };
    m_report->slips(prompt);
    m_pages = std::make_shared<ReportPages>(m_report);
    m_page = pageCount() > 0 ? 0 : -1;
    updateControls();
}

bool CViewer::turnsPage(QKeyEvent* event) {
    if (event->modifiers() != Qt::NoModifier)
        return false;
    if (event->key() == Qt::Key_PageDown)
        showPage(currentPage() + 1);
    else if (event->key() == Qt::Key_PageUp)
        showPage(currentPage() - 1);
    else
        return false;
    return true;
}

bool CViewer::eventFilter(QObject* watched, QEvent* event) {
    // Page Up and Page Down turn pages rather than scroll: a slip fits the screen.
    if (watched == m_scroll && event->type() == QEvent::KeyPress && turnsPage(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void CViewer::keyPressEvent(QKeyEvent* event) {
    if (!turnsPage(event))
        QWidget::keyPressEvent(event);
}

int CViewer::pageCount() const {
    return m_pages ? m_pages->count() : 0;
}

void CViewer::showPage(int page) {
    if (pageCount() == 0)
        return;
    m_page = std::clamp(page, 1, pageCount()) - 1;
    updateControls();
}

void CViewer::setZoom(double zoom) {
    m_zoom = std::clamp(zoom, kZoomSteps.front(), kZoomSteps.back());
    updateControls();
}

void CViewer::zoomIn() {
    for (const double step : kZoomSteps) {
        if (step > m_zoom + 1e-9) {
            setZoom(step);
            return;
        }
    }
}

void CViewer::zoomOut() {
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
        if (*it < m_zoom - 1e-9) {
            setZoom(*it);
            return;
        }
    }
}

ReportOutput::Result CViewer::exportPdf(const QString& path) {
    if (!m_pages)
        throw ReportError(QStringLiteral("The viewer has no report to export."));
    return withProgress(QStringLiteral("Writing %1 pages to the PDF file...").arg(pageCount()), true,
                        [&](const ReportOutput::Progress& progress) {
                            return ReportOutput::exportPdf(*m_pages, path, progress);
                        });
}

ReportOutput::Result CViewer::printTo(QPagedPaintDevice& device, const QString& printerName) {
    if (!m_pages)
        throw ReportError(QStringLiteral("The viewer has no report to print."));
    const PrinterAlignment::Alignment alignment = PrinterAlignment::load(printerName);
    return withProgress(QStringLiteral("Printing %1 pages...").arg(pageCount()), false,
                        [&](const ReportOutput::Progress& progress) {
                            return ReportOutput::print(*m_pages, device, progress, alignment);
                        });
}

ReportOutput::Result
CViewer::withProgress(const QString& label, bool cancelWhileDrawing,
                      const std::function<ReportOutput::Result(const ReportOutput::Progress&)>& output) {
    WorkProgress progress(this, label, pageCount(), 2 * pageCount());
    return output([&](int step, int steps) {
        if (!cancelWhileDrawing && step >= steps / 2)
            progress.noLongerCancellable();
        return progress.step(step);
    });
}

void CViewer::noteLeftOut(const ReportOutput::Result& result) {
    if (result.leftOut.isEmpty())
        return;
    MsgBox::show(QStringLiteral("These slips are no longer stored (another user may have deleted them) and "
                                "were left out:\n%1")
                     .arg(result.leftOut.join(QLatin1Char('\n'))),
                 MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
}

void CViewer::printWithDialog() {
    guarded(this, [this] {
        if (!m_pages || pageCount() == 0)
            throw ReportError(QStringLiteral("The viewer has no report to print."));
        QPrinter printer(QPrinter::HighResolution);
        const PageSet::Page first = m_pages->page(0);
        if (first.layout)
            printer.setPageLayout(ReportOutput::pageLayout(*first.layout));
        printer.setFullPage(true);
        printer.setDocName(m_pages->documentName());
        if (!printDialog()(printer, this))
            return;
        // Paper coordinates: the painter's origin is the sheet's corner, and the
        // page is drawn at 100% - nothing is fitted or moved by printer margins.
        printer.setFullPage(true);
        const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
        noteLeftOut(printTo(printer, toFile ? QString() : printer.printerName()));
    });
}

void CViewer::exportPdfWithDialog() {
    guarded(this, [this] {
        if (!m_pages)
            throw ReportError(QStringLiteral("The viewer has no report to export."));
        const QString path = SaveFileDialog::ask(this, QStringLiteral("Export PDF"),
                                                 m_pages->documentName() + QStringLiteral(".pdf"),
                                                 QStringLiteral("PDF files (*.pdf)"));
        if (!path.isEmpty())
            noteLeftOut(exportPdf(path));
    });
}

void CViewer::setPrintDialog(PrintDialog dialog) {
    printDialog() = std::move(dialog);
}

void CViewer::setSaveDialog(SaveDialog dialog) {
    SaveFileDialog::setDialog(std::move(dialog));
}

void CViewer::updateControls() {
    const int pages = pageCount();
    const bool hasPages = pages > 0 && m_page >= 0;
    m_view->show(m_pages.get(), hasPages ? m_page : -1, m_zoom);
    Controls::showFigure(m_pageLabel, QStringLiteral("Page number"),
                         hasPages ? QStringLiteral("Page %1 of %2").arg(currentPage()).arg(pages)
                                  : QString());
    Controls::showFigure(m_zoomLabel, QStringLiteral("Zoom"),
                         QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    // With no pages m_page is -1: neither way is open.
    const bool back = m_page > 0;
    const bool forward = hasPages && m_page < pages - 1;
    m_first->setEnabled(back);
    m_previous->setEnabled(back);
    m_next->setEnabled(forward);
    m_last->setEnabled(forward);
    m_zoomOut->setEnabled(m_zoom > kZoomSteps.front() + 1e-9);
    m_zoomIn->setEnabled(m_zoom < kZoomSteps.back() - 1e-9);
    m_print->setEnabled(hasPages);
    m_exportPdf->setEnabled(hasPages);
    QStringList status;
    if (hasPages)
        status << QDir::toNativeSeparators(m_pages->templatePath(m_page));
    else if (m_report)
        status << QDir::toNativeSeparators(m_report->filePath());
    if (hasPages)
        status << m_pageLabel->text();
    status << m_zoomLabel->text();
    Controls::showFigure(m_status, QStringLiteral("Status"), status.join(QStringLiteral("   ")));
}
