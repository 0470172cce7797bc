#include "DesignerTiming.h"
#include "DesignView.h"
#include "ElementItem.h"
#include "Measure.h"
#include "TemplateEditing.h"
#include "TemplateLoader.h"
#include "TemplateWriter.h"
#include "frmDesigner.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <ctime>
#include <stdexcept>

namespace {

constexpr int kElements = 40;

// A 300-dpi scan of an A4 form: ruled boxes and captions, so that it packs like a real scan.
QString makeScan(const QString& folder) {
    const QString path = folder + QStringLiteral("/scan-a4-300dpi.png");
    if (QFile::exists(path))
        return path;
    QImage scan(2480, 3508, QImage::Format_RGB32);
    scan.fill(Qt::white);
    scan.setDotsPerMeterX(11811);
    scan.setDotsPerMeterY(11811);
    QPainter painter(&scan);
    painter.setPen(QPen(Qt::darkBlue, 3));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(40);
    painter.setFont(font);
    for (int row = 0; row < 60; ++row) {
        painter.drawRect(100, 100 + row * 55, 2280, 50);
        painter.drawText(120, 140 + row * 55, QStringLiteral("Caption %1 of the bank's form").arg(row));
        for (int box = 0; box < 20; ++box)
            painter.drawRect(1200 + box * 55, 105 + row * 55, 50, 40);
    }
    painter.end();
    scan.save(path);
    return path;
}

// An A4 template of 40 elements (five of them a cheque-line band) over a copy of the scan.
QString makeTemplate(const QString& folder, const QString& scan, int run) {
    const QString image = QStringLiteral("scan-%1.png").arg(run);
    QFile::remove(folder + QLatin1Char('/') + image);
    QFile::copy(scan, folder + QLatin1Char('/') + image); // a new file: read afresh, as on opening
    const QString path = folder + QStringLiteral("/pv%1.rpt").arg(run + 1);
    ReportTemplate t;
    t.filePath = path;
    t.paper = QSizeF(210, 297);
    t.tables = {{QStringLiteral("tblSlip"), QStringLiteral("slipODBC"), QString()}};
    t.parameters = {{QStringLiteral("slipKey"), 0, QString(), {}}};
    t.selection = QStringLiteral("{tblSlip.sid} = {?slipKey}");
    t.background = Background{folder + QLatin1Char('/') + image, QImage(1, 1, QImage::Format_RGB32),
                              QRectF(0, 0, 210, 297)};
    const QStringList columns{QStringLiteral("tblSlip.sdate"), QStringLiteral("tblSlip.accName"),
                              QStringLiteral("tblAcc.accno"), QStringLiteral("tblSlip.depositedBy")};
    for (int i = 0; i < kElements - 5; ++i) {
        const QPointF at(10 + (i % 3) * 65, 10 + (i / 3) * 12);
        const bool words = i == 0;
        TemplateEditing::add(
            t,
            words ? TemplateEditing::newElement(t, ElementKind::Words)
                  : TemplateEditing::newElement(t, ElementKind::Field,
                                                SlipColumns::qualified(columns[i % columns.size()])),
            at);
    }
    for (const char* column : {"chqno", "chqdate", "bank", "city", "amount"})
        TemplateEditing::add(t,
                             TemplateEditing::newElement(t, ElementKind::Field,
                                                         SlipColumns::column(QStringLiteral("tblSlipDetails"),
                                                                             QString::fromLatin1(column))),
                             QPointF(10 + 38 * (t.lines.elements.size()), 200));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(TemplateWriter::toJson(t, path));
    return path;
}

void sendMouse(QWidget* viewport, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

DesignerFigures measureDesigner(const QString& folder, int repetitions) {
    QDir().mkpath(folder);
    const QString scan = makeScan(folder);
    DesignerFigures figures;

    std::vector<double> opens;
    std::vector<double> openCpu;
    frmDesigner* window = nullptr;
    for (int run = 0; run <= repetitions; ++run) {
        const QString path = makeTemplate(folder, scan, run);
        if (window) {
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const std::clock_t cpuStart = std::clock();
        const double ms = timeMs([&] {
            window = new frmDesigner(TemplateLoader::load(path));
            window->view().setZoom(1.0);
            window->show();
            // Opened is drawn: the window is on the screen and has painted once.
            while (!window->windowHandle()->isExposed())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            window->repaint();
        });
        const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
        if (run > 0) { // the first run warms up
            opens.push_back(ms);
            openCpu.push_back(cpuMs);
        }
    }
    figures.openMs = medianOf(opens);
    figures.openCpuMs = medianOf(openCpu);

    // Drag one element across the page, a pixel step at a time, at 100 %.
    DesignView& view = window->view();
    QWidget* viewport = view.viewport();
    const ElementRef dragged{false, 10};
    view.document().select({dragged});
    const QRectF box = TemplateEditing::pageBox(view.document().layout(), dragged);
    view.centerOn(box.center());
    QPoint at = view.mapFromScene(box.center());
    sendMouse(viewport, QEvent::MouseButtonPress, at);
    std::vector<double> steps;
    for (int i = 0; i < 10 * repetitions + 1; ++i) {
        at += QPoint(i % 40 < 20 ? 3 : -3, i % 20 < 10 ? 2 : -2);
        const double ms = timeMs([&] {
            sendMouse(viewport, QEvent::MouseMove, at);
            viewport->repaint();
        });
        if (i == 0 && TemplateEditing::pageBox(view.document().layout(), dragged) == box &&
            view.item(dragged)->pos() == box.topLeft())
            throw std::runtime_error("the drag does not move the element");
        if (i > 0)
            steps.push_back(ms);
    }
    sendMouse(viewport, QEvent::MouseButtonRelease, at);
    figures.dragStepMs = medianOf(steps);

    std::vector<double> saves;
    for (int run = 0; run <= repetitions; ++run) {
        view.nudge(QPointF(run % 2 == 0 ? 0.5 : -0.5, 0));
        const double ms = timeMs([&] { view.document().save(); });
        if (run > 0)
            saves.push_back(ms);
    }
    figures.saveMs = medianOf(saves);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return figures;
}

QString formatDesignerFigures(const DesignerFigures& f) {
    return QStringLiteral(
               "Template designer (median ms; goals in brackets)\n"
               "  open a template over a 300-dpi A4 scan   %1   (300; %4 ms of it processor time)\n"
               "  one drag step at 100 %, 40 elements      %2   (8)\n"
               "  save                                     %3   (50)\n")
        .arg(f.openMs, 8, 'f', 2)
        .arg(f.dragStepMs, 8, 'f', 2)
        .arg(f.saveMs, 8, 'f', 2)
        .arg(f.openCpuMs, 0, 'f', 0);
}
