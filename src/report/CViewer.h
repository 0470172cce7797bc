#pragma once
#include "PageSet.h"
#include "ReportOutput.h"

#include <QWidget>
#include <functional>
#include <memory>

class QKeyEvent;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QScrollArea;
class PageView;

// The report viewer: the pages of a report at true scale (millimetres on the
// screen's logical resolution) with zoom, page navigation, "Print" and
// "Export PDF", and a status bar naming the template, the page and the zoom.
//
// Display step: setReportSource(report); setDisplayStatusBar(false);
// ViewReport(); then show the window that holds the viewer. Several slips,
// each on its own template, come through setPages instead of a report.
class CViewer : public QWidget {
    Q_OBJECT
public:
    explicit CViewer(QWidget* parent = nullptr);
    ~CViewer() override;

    void setReportSource(std::shared_ptr<Report> report);
    // Shows pages instead of a report; each is read when it is shown or printed.
    void setPages(std::shared_ptr<PageSet> pages);

    // The yes/no display option: the status bar below the page (on by default).
    void setDisplayStatusBar(bool display);

    // Reads the report's data and shows its first page. Throws ReportError
    // (no report source, a failed logon, no slip selected, ...) or DbError.
    void ViewReport();

    int pageCount() const;
    int currentPage() const { return m_page + 1; } // 1-based; 0 with no pages
    void showPage(int page);                       // 1-based, clamped

    // 1.0 is true size.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();

    // The pages as printed, into a PDF file that appears only when complete;
    // throws ReportError.
    ReportOutput::Result exportPdf(const QString& path);
    // The pages on device (a printer in full-page mode) at 100% on each page's
    // template paper, no margins added, in one job, with the alignment of the
    // printer of that name (none for a PDF file); throws ReportError or DbError.
    ReportOutput::Result printTo(QPagedPaintDevice& device, const QString& printerName);

    // The "Print" and "Export PDF" buttons: ask, then print or export; slips
    // left out are named in a note, failures are shown in a message box.
    void printWithDialog();
    void exportPdfWithDialog();

    // Test hooks standing in for the print dialog (true: print) and for the
    // save dialog (empty text: cancelled; the one SaveFileDialog of all windows).
    using PrintDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;
    using SaveDialog = std::function<QString(QWidget* parent, const QString& proposed)>;
    static void setPrintDialog(PrintDialog dialog);
    static void setSaveDialog(SaveDialog dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool turnsPage(QKeyEvent* event);
    void updateControls();
    // Runs an output with a progress dialog when there are many pages (see
    // WorkProgress); a print cannot be taken back once it is being drawn, so
    // "Cancel" goes then.
    ReportOutput::Result
    withProgress(const QString& label, bool cancelWhileDrawing,
                 const std::function<ReportOutput::Result(const ReportOutput::Progress&)>& output);
    void noteLeftOut(const ReportOutput::Result& result);

    std::shared_ptr<Report> m_report; // the report source until ViewReport reads it
    std::shared_ptr<PageSet> m_pages;
    int m_page = -1;
    double m_zoom = 1.0;

    QPushButton* m_first = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_last = nullptr;
    QLabel* m_pageLabel = nullptr;
    QPushButton* m_zoomOut = nullptr;
    QPushButton* m_zoomIn = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_exportPdf = nullptr;
    QPushButton* m_alignPrinter = nullptr;
    QScrollArea* m_scroll = nullptr;
    PageView* m_view = nullptr;
    QLabel* m_status = nullptr;
};
