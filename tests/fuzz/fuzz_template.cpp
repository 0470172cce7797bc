// Feeds arbitrary bytes to the report template loader, as a damaged or
// hand-edited Reports/pv<key>.rpt would.
#include "ReportError.h"
#include "TemplateLoader.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

// A Reports folder with a background image a template may name (scan.png)
// and a file that only pretends to be one (fake.png).
QString templatePath() {
    static QTemporaryDir folder;
    static const QString path = [] {
        QDir(folder.path()).mkpath(QStringLiteral("Reports"));
        const QString reports = folder.path() + QStringLiteral("/Reports/");
        QImage scan(20, 10, QImage::Format_RGB32);
        scan.fill(Qt::white);
        scan.save(reports + QStringLiteral("scan.png"));
        QFile fake(reports + QStringLiteral("fake.png"));
        if (fake.open(QIODevice::WriteOnly))
            fake.write("not an image");
        return reports + QStringLiteral("pv1.rpt");
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const ReportTemplate t = TemplateLoader::parse(contents, templatePath());
        // What loads keeps within the bounds the loader promises.
        if (t.elements.size() + t.lines.elements.size() > static_cast<size_t>(TemplateLoader::kMaxElements))
            __builtin_trap();
        if (t.paper.width() < TemplateLoader::kMinPaperMm || t.paper.width() > TemplateLoader::kMaxPaperMm ||
            t.paper.height() < TemplateLoader::kMinPaperMm || t.paper.height() > TemplateLoader::kMaxPaperMm)
            __builtin_trap();
        for (const Element& e : t.elements) {
            if (e.box.right() > t.paper.width() + 0.01 || e.box.bottom() > t.paper.height() + 0.01)
                __builtin_trap();
        }
    } catch (const ReportError&) {
        // A described refusal is the expected answer to a bad template.
    }
    return 0;
}
