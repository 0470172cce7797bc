#include "DesignerTesting.h"
#include "ScanImport.h"

#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>

using namespace ReportTest;
using namespace DesignerTest;

namespace {

// An image of the given size, saved as path, stating dpi when dpi > 0.
QString image(const QString& path, QSize size, int dpi = 0) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (dpi > 0) {
        picture.setDotsPerMeterX(qRound(dpi / 0.0254));
        picture.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    if (!picture.save(path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A PDF of one A5 landscape page (210 x 148 mm).
QString pdf(const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QSizeF(210, 148), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    painter.drawText(QPointF(100, 100), "Form");
    return path;
}

// A PDF whose page tree holds no page.
QString pdfWithoutPages(const QString& path) {
    QByteArray body = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    offsets << body.size();
    body += "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n";
    offsets << body.size();
    body += "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n";
    const qsizetype xref = body.size();
    body += "xref\n0 3\n0000000000 65535 f \n";
    for (const qsizetype at : offsets)
        body += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
    body += "trailer << /Size 3 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(body);
    return path;
}

} // namespace

class TestScanImport : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MsgBox::setTestMode(true);
        MsgBox::clearShown();
    }

    void aScanIsCopiedBesideTheTemplateAtItsTrueSize_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QRectF>("box");
        // 1199 x 561 pixels at 150 dpi: 203 x 95 mm, as the form of pv2.rpt.
        QTest::newRow("PNG stating 150 dpi")
            << "form.png" << QSize(1199, 561) << QRectF(0, 0, 202.996, 94.979);
        QTest::newRow("TIFF stating 300 dpi")
            << "form.tif" << QSize(2480, 1169) << QRectF(0, 0, 209.973, 98.975);
        QTest::newRow("JPEG, no resolution: the paper")
            << "form.jpg" << QSize(800, 400) << QRectF(0, 0, 210, 99);
        QTest::newRow("BMP, no resolution: the paper")
            << "form.bmp" << QSize(640, 300) << QRectF(0, 0, 210, 99);
        // The writer rounds the page to whole points: 595 x 420 pt.
        QTest::newRow("page of a PDF at 300 dpi")
            << "form.pdf" << QSize(2479, 1750) << QRectF(0, 0, 209.889, 148.167);
    }
    void aScanIsCopiedBesideTheTemplateAtItsTrueSize() {
        QFETCH(QString, source);
        QFETCH(QSize, pixels);
        QFETCH(QRectF, box);
        TestEnv env;
        const QString path = writeTemplate(env, "pv4.rpt", slipTemplate({text(10, 10, "X")}));
        const QString file = env.folder() + "/" + source;
        if (source.endsWith(".pdf"))
            pdf(file);
        else
            image(file, pixels, source.endsWith(".png") ? 150 : source.endsWith(".tif") ? 300 : 0);
        frmDesigner* window = open(path);
        QVERIFY(window->importScan(file));
        const auto& background = window->document().layout().background;
        QVERIFY(background);
        QCOMPARE(background->image.size(), pixels);
        QVERIFY2(TemplateCompare::nearBox(background->box, box),
                 qPrintable(QString("%1 x %2").arg(background->box.width()).arg(background->box.height())));
        QCOMPARE(QFileInfo(background->path).dir().absolutePath(), QFileInfo(path).dir().absolutePath());
        QVERIFY(QFileInfo(background->path).fileName().startsWith("pv4-form."));
        QVERIFY(window->statusText().contains("Scan"));
        QVERIFY(window->save());
        QCOMPARE(QFileInfo(TemplateLoader::load(path).background->path).fileName(),
                 QFileInfo(background->path).fileName());
        discard(window);
    }

    void scaleFromTwoPointsAndFromThePaper() {
        TestEnv env;
        const QString path = writeTemplate(env, "pv4.rpt", slipTemplate());
        frmDesigner* window = open(path);
        QVERIFY(window->importScan(image(env.folder() + "/scan.png", QSize(1000, 500))));
        // Shown over the whole 210 x 99 paper; two points 100 pixels apart are 10 mm apart.
        const QRectF shown = window->document().layout().background->box;
        const QPointF first(shown.left() + 100 * shown.width() / 1000, 20);
        const QPointF second(first.x() + 100 * shown.width() / 1000, 20);
        QVERIFY(window->scaleScanFromTwoPoints(first, second, 10));
        const QRectF scaled = window->document().layout().background->box;
        // 0.1 mm a pixel, and the first point stays where it was.
        const QRectF expected(first.x() - 100 * 0.1, 20 - 20 * 500 / shown.height() * 0.1, 100, 50);
        QVERIFY2(TemplateCompare::nearBox(scaled, expected), qPrintable(QString("%1 %2 %3 %4")
                                                                            .arg(scaled.x())
                                                                            .arg(scaled.y())
                                                                            .arg(scaled.width())
                                                                            .arg(scaled.height())));
        QVERIFY(window->scaleScanFromPaper());
        QCOMPARE(window->document().layout().background->box, QRectF(0, 0, 210, 99));
        window->document().undoStack().undo();
        QCOMPARE(window->document().layout().background->box, scaled);
        discard(window);
    }

    void badInputIsRefusedAndChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("unreadable image") << "garbage.png"
                                          << "is no PNG, JPEG, TIFF or BMP image";
        QTest::newRow("image over the size limit") << "huge.png"
                                                   << "is 12001 x 10 pixels; at most 12000 x 12000";
        QTest::newRow("PDF without pages") << "empty.pdf"
                                           << "has no pages";
        QTest::newRow("no PDF at all") << "broken.pdf"
                                       << "cannot be read as a PDF";
        QTest::newRow("distance of 0") << "distance"
                                       << "must be more than 0 mm. Nothing was changed.";
        QTest::newRow("two points at one place") << "points"
                                                 << "lie at one place";
    }
    void badInputIsRefusedAndChangesNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestEnv env;
        const QString path = writeTemplate(env, "pv4.rpt", slipTemplate());
        frmDesigner* window = open(path);
        const QString file = env.folder() + "/" + kind;
        bool done = true;
        if (kind == "distance" || kind == "points") {
            QVERIFY(window->importScan(image(env.folder() + "/scan.png", QSize(100, 50))));
            const ReportTemplate before = window->document().layout();
            done = window->scaleScanFromTwoPoints(QPointF(10, 10), QPointF(kind == "points" ? 10 : 50, 10),
                                                  kind == "points" ? 5 : 0);
            QCOMPARE(window->document().layout().background->box, before.background->box);
        } else {
            if (kind == "garbage.png" || kind == "broken.pdf") {
                QFile bad(file);
                bad.open(QIODevice::WriteOnly);
                bad.write("this is no picture");
            } else if (kind == "huge.png") {
                image(file, QSize(12001, 10));
            } else {
                pdfWithoutPages(file);
            }
            done = window->importScan(file);
            QVERIFY(!window->document().layout().background);
            QCOMPARE(window->document().undoStack().count(), 0);
            QCOMPARE(QDir(env.folder() + "/Reports").entryList(QDir::Files), QStringList{"pv4.rpt"});
        }
        QVERIFY(!done);
        QCOMPARE(MsgBox::shown().size(), qsizetype(1));
        QVERIFY2(shownTexts().front().contains(message), qPrintable(shownTexts().front()));
        discard(window);
    }
};

QTEST_MAIN(TestScanImport)
#include "test_scanimport.moc"
