#pragma once
#include "DesignDocument.h"
#include "TemplateEditing.h"
#include "UnsavedInput.h"

#include <QMainWindow>
#include <memory>

class DesignView;
class Palette;
class PropertiesPanel;
class QLabel;

// The template designer's window: the page at true size between its rulers,
// the palette of elements on the left, the properties on the right, and a
// status bar with the pointer's position in millimetres, the zoom, the scan's
// scale and the sample slip. Every action has a menu entry and a shortcut.
class frmDesigner : public QMainWindow, public HoldsInput {
    Q_OBJECT
public:
    // Opens layout (a template file, loaded or new); accountKey names its
    // account when known, for the sample slip.
    explicit frmDesigner(ReportTemplate layout, qint64 accountKey = 0);
    ~frmDesigner() override;

    // A window on the template file at path; failures are shown and give null.
    static frmDesigner* openFile(const QString& path, qint64 accountKey = 0);

    DesignDocument& document() { return *m_document; }
    DesignView& view() { return *m_view; }
    Palette& palette() { return *m_palette; }
    PropertiesPanel& properties() { return *m_properties; }
    QString statusText() const;

    // The actions behind the menus, for the keyboard and for tests. Each shows
    // its own failures and tells whether it did its work.
    bool save();
    bool saveAs(const QString& path);
    bool importScan(const QString& path, int pdfPage = 0);
    bool scaleScanFromPaper();
    bool scaleScanFromResolution();
    bool scaleScanFromTwoPoints(QPointF first, QPointF second, double distanceMm);
    bool placeScan(const QRectF& box);
    void removeScan();
    bool useLatestSlip();
    bool useSlipBySerial(qint64 serialNumber);
    void useBuiltInSample();
    bool exportTestPdf(const QString& path);
    bool preview();
    void copySelection();
    void cutSelection();
    void paste();
    void deleteSelection();
    void selectAll();
    void alignSelection(TemplateEditing::Edge edge);
    void distributeSelection(Qt::Orientation orientation);
    void addPaletteItem(const QString& id);

protected:
    void closeEvent(QCloseEvent* event) override;
    QStringList inputState() const override;

private:
    void buildMenus();
    void updateTitle();
    void updateStatus();
    void showPointer(QPointF mm);
    void askScanPlace();
    void askTwoPoints();
    void askSlipBySerial();
    void askGuide(Qt::Orientation orientation);
    void askGridStep();
    void testPrint();
    QString scanScale() const;

    std::unique_ptr<DesignDocument> m_document;
    DesignView* m_view = nullptr;
    Palette* m_palette = nullptr;
    PropertiesPanel* m_properties = nullptr;
    QLabel* m_pointer = nullptr;
    QLabel* m_zoom = nullptr;
    QLabel* m_scan = nullptr;
    QLabel* m_sample = nullptr;
    QLabel* m_message = nullptr;
};
