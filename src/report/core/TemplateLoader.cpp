#include "TemplateLoader.h"
#include "ReportError.h"
#include "SelectionFormula.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <map>
#include <optional>

namespace TemplateLoader {

namespace {

QString typeName(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("true/false");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("text");
    case QJsonValue::Array:
        return QStringLiteral("a list");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

// Background images as drawn, by file. Every print opens its template afresh;
// the image is read again only when its file has changed. A few templates are
// kept: one per account in use at the same time.
class BackgroundImages {
public:
    std::optional<QImage> find(const QFileInfo& file) const {
        const auto it = m_images.find(file.absoluteFilePath());
        if (it == m_images.end() || it->second.modified != file.lastModified() ||
            it->second.size != file.size())
            return std::nullopt;
        return it->second.image;
    }

    void keep(const QFileInfo& file, const QImage& image) {
        if (m_images.size() >= kKept)
            m_images.clear();
        m_images[file.absoluteFilePath()] = {file.lastModified(), file.size(), image};
    }

private:
    static constexpr size_t kKept = 8;
    struct Entry {
        QDateTime modified;
        qint64 size = 0;
        QImage image;
    };
    std::map<QString, Entry> m_images;
};

BackgroundImages& backgroundImages() {
    static BackgroundImages images;
    return images;
}

// A number as the template writes it: ten digits where they say it all, else
// as many as it takes (5.0000000001 is not 5).
QString figure(double value) {
    const QString shortened = QString::number(value, 'g', 10);
    return shortened.toDouble() == value ? shortened
                                         : QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Reads the keys of one JSON object with type and range checks; finish()
// refuses the keys nobody asked for, so that a misspelt key is an error.
class Fields {
public:
    Fields(QJsonObject object, QString where, const QString& file)
        : m_object(std::move(object)), m_where(std::move(where)), m_file(file) {}

    bool has(const QString& key) const { return m_object.contains(key); }

    QJsonValue value(const QString& key) {
        m_used.insert(key);
        return m_object.value(key);
    }

    double number(const QString& key, double min, double max, std::optional<double> fallback = {}) {
        const QJsonValue v = value(key);
        if (v.isUndefined() && fallback)
            return *fallback;
        requireType(key, v, QJsonValue::Double, QStringLiteral("a number"));
        const double n = v.toDouble();
        if (n < min || n > max)
            fail(QStringLiteral("\"%1\" is %2; it must lie between %3 and %4")
                     .arg(key, figure(n), figure(min), figure(max)));
        return n;
    }

    int integer(const QString& key, int min, int max, std::optional<int> fallback = {}) {
        const double n = number(key, min, max, fallback ? std::optional<double>(*fallback) : std::nullopt);
        if (n != static_cast<int>(n))
            fail(QStringLiteral("\"%1\" must be a whole number, not %2").arg(key, figure(n)));
        return static_cast<int>(n);
    }

    QString text(const QString& key, int maxLength, std::optional<QString> fallback = {}) {
        const QJsonValue v = value(key);
        if (v.isUndefined() && fallback)
            return *fallback;
        requireType(key, v, QJsonValue::String, QStringLiteral("text"));
        const QString s = v.toString();
        if (s.size() > maxLength)
            fail(QStringLiteral("\"%1\" is longer than %2 characters").arg(key).arg(maxLength));
        return s;
    }

    // One of the given words, without regard to case.
    QString choice(const QString& key, const QStringList& words, const QString& fallback) {
        const QString s =
            text(key, 40, fallback.isNull() ? std::nullopt : std::optional<QString>(fallback)).toLower();
        if (!words.contains(s))
            fail(QStringLiteral("\"%1\" must be one of %2, not \"%3\"")
                     .arg(key, words.join(QStringLiteral(", ")), s));
        return s;
    }

    bool flag(const QString& key, bool fallback) {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return fallback;
        requireType(key, v, QJsonValue::Bool, QStringLiteral("true or false"));
        return v.toBool();
    }

    QJsonObject object(const QString& key, bool required) {
        const QJsonValue v = value(key);
        if (v.isUndefined() && !required)
            return {};
        requireType(key, v, QJsonValue::Object, QStringLiteral("an object { ... }"));
        return v.toObject();
    }

    QJsonArray array(const QString& key, int maxCount, bool required) {
        const QJsonValue v = value(key);
        if (v.isUndefined() && !required)
            return {};
        requireType(key, v, QJsonValue::Array, QStringLiteral("a list [ ... ]"));
        const QJsonArray a = v.toArray();
        if (a.size() > maxCount)
            fail(QStringLiteral("\"%1\" holds %2 entries; at most %3 are allowed")
                     .arg(key)
                     .arg(a.size())
                     .arg(maxCount));
        return a;
    }

    void finish() const {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (!m_used.contains(it.key()))
                fail(QStringLiteral("the key \"%1\" is unknown or does not apply here").arg(it.key()));
        }
    }

    [[noreturn]] void fail(const QString& problem) const {
        throw ReportError::inTemplate(m_file,
                                      m_where.isEmpty() ? problem : m_where + QStringLiteral(": ") + problem);
    }

private:
    void requireType(const QString& key, const QJsonValue& v, QJsonValue::Type type,
                     const QString& expected) {
        if (v.isUndefined())
            fail(QStringLiteral("\"%1\" is missing").arg(key));
        if (v.type() != type)
            fail(QStringLiteral("\"%1\" must be %2, not %3").arg(key, expected, typeName(v)));
    }

    QJsonObject m_object;
    QString m_where;
    const QString& m_file;
    QSet<QString> m_used;
};

QJsonObject asObject(const QJsonValue& v, const QString& where, const QString& file) {
    if (!v.isObject())
        throw ReportError::inTemplate(
            file, QStringLiteral("%1 must be an object { ... }, not %2").arg(where, typeName(v)));
    return v.toObject();
}

Qt::Alignment alignment(const QString& word) {
    if (word == QLatin1String("center"))
        return Qt::AlignHCenter;
    if (word == QLatin1String("right"))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

TextStyle readStyle(Fields& f, const TextStyle& defaults) {
    TextStyle style;
    style.family = f.text(QStringLiteral("font"), 100, defaults.family);
    style.sizePt = f.number(QStringLiteral("size"), 4, 72, defaults.sizePt);
    style.bold = f.flag(QStringLiteral("bold"), defaults.bold);
    const QString defaultAlign = defaults.align == Qt::AlignRight     ? QStringLiteral("right")
                                 : defaults.align == Qt::AlignHCenter ? QStringLiteral("center")
                                                                      : QStringLiteral("left");
    style.align = alignment(
        f.choice(QStringLiteral("align"),
                 {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")}, defaultAlign));
    return style;
}

class Loader {
public:
    explicit Loader(const QString& filePath) : m_file(filePath) { m_t.filePath = filePath; }

    ReportTemplate read(const QJsonObject& root) {
        Fields f(root, QString(), m_file);
        const QString format = f.text(QStringLiteral("format"), 40);
        if (format != QLatin1String("cheqora-report"))
            f.fail(QStringLiteral("\"format\" must be \"cheqora-report\", not \"%1\"").arg(format));
        f.integer(QStringLiteral("version"), 1, 1);
        m_t.name = f.text(QStringLiteral("name"), 200, QString());
        readPaper(f.object(QStringLiteral("paper"), true));
        readOffset(f.object(QStringLiteral("offset"), false));
        if (f.has(QStringLiteral("background")))
            readBackground(f.object(QStringLiteral("background"), true));
        readTables(f.array(QStringLiteral("tables"), 3, true));
        readParameters(f.array(QStringLiteral("parameters"), 20, false));
        readDefaults(f.object(QStringLiteral("defaults"), false));

        const QJsonArray elements = f.array(QStringLiteral("elements"), kMaxElements, false);
        const QJsonObject lines = f.object(QStringLiteral("lines"), false);
        const qsizetype lineElements = lines.value(QStringLiteral("elements")).toArray().size();
        if (elements.size() + lineElements > kMaxElements)
            f.fail(QStringLiteral("it holds %1 elements; at most %2 are allowed")
                       .arg(elements.size() + lineElements)
                       .arg(kMaxElements));
        if (f.has(QStringLiteral("lines")))
            readLines(lines);
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const QString where = QStringLiteral("element %1").arg(i + 1);
            m_t.elements.push_back(readElement(asObject(elements[i], where, m_file), where, false));
        }

        m_t.selection = f.text(QStringLiteral("selection"), 2000, QString());
        checkedSelection(m_t, m_t.selection);
        f.finish();
        return m_t;
    }

private:
    void readPaper(const QJsonObject& object) {
        Fields f(object, QStringLiteral("paper"), m_file);
        const double width = f.number(QStringLiteral("width"), kMinPaperMm, kMaxPaperMm);
        const double height = f.number(QStringLiteral("height"), kMinPaperMm, kMaxPaperMm);
        m_t.paper = QSizeF(width, height);
        const QString orientation =
            f.choice(QStringLiteral("orientation"), {QStringLiteral("portrait"), QStringLiteral("landscape")},
                     width > height ? QStringLiteral("landscape") : QStringLiteral("portrait"));
        m_t.orientation =
            orientation == QLatin1String("landscape") ? QPageLayout::Landscape : QPageLayout::Portrait;
        f.finish();
    }

    void readOffset(const QJsonObject& object) {
        Fields f(object, QStringLiteral("offset"), m_file);
        m_t.printOffset =
            QPointF(f.number(QStringLiteral("x"), -50, 50, 0), f.number(QStringLiteral("y"), -50, 50, 0));
        f.finish();
    }

    // The image ready to draw: converted once here, not on every paint of the preview.
    static QImage readImage(const Fields& f, const QString& path) {
        QImageReader reader(path);
        const QSize size = reader.size();
        if (size.width() > kMaxImagePixels || size.height() > kMaxImagePixels)
            f.fail(QStringLiteral("the image \"%1\" is %2 x %3 pixels; at most %4 x %4 are allowed")
                       .arg(QDir::toNativeSeparators(path), QString::number(size.width()),
                            QString::number(size.height()), QString::number(kMaxImagePixels)));
        QImage image = reader.read();
        if (image.isNull())
            f.fail(QStringLiteral("the image \"%1\" cannot be read: %2")
                       .arg(QDir::toNativeSeparators(path), reader.errorString()));
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        return image;
    }

    void readBackground(const QJsonObject& object) {
        Fields f(object, QStringLiteral("background"), m_file);
        Background background;
        const QString image = f.text(QStringLiteral("image"), 500);
        background.path = QFileInfo(m_file).dir().absoluteFilePath(image);
        background.box = QRectF(f.number(QStringLiteral("x"), -kMaxPaperMm, kMaxPaperMm, 0),
                                f.number(QStringLiteral("y"), -kMaxPaperMm, kMaxPaperMm, 0),
                                f.number(QStringLiteral("width"), 1, kMaxPaperMm, m_t.paper.width()),
                                f.number(QStringLiteral("height"), 1, kMaxPaperMm, m_t.paper.height()));
        f.finish();

        const QFileInfo file(background.path);
        // A folder, a device or a FIFO is no picture, and reading a FIFO would never end.
        if (!file.isFile())
            f.fail(QStringLiteral("the image \"%1\" %2")
                       .arg(QDir::toNativeSeparators(background.path),
                            file.exists() ? QStringLiteral("is not an image file")
                                          : QStringLiteral("does not exist")));
        if (const std::optional<QImage> known = backgroundImages().find(file)) {
            background.image = *known;
        } else {
            background.image = readImage(f, background.path);
            backgroundImages().keep(file, background.image);
        }
        m_t.background = std::move(background);
    }

    void readTables(const QJsonArray& tables) {
        if (tables.isEmpty())
            throw ReportError::inTemplate(m_file,
                                          QStringLiteral("\"tables\" is empty; tblSlip must be read"));
        for (qsizetype i = 0; i < tables.size(); ++i) {
            const QString where = QStringLiteral("table %1").arg(i + 1);
            Fields f(asObject(tables[i], where, m_file), where, m_file);
            const QString given = f.text(QStringLiteral("name"), 100);
            const auto name = SlipColumns::table(given);
            if (!name)
                f.fail(QStringLiteral(
                           "\"%1\" is no table a slip report reads; use tblSlip, tblSlipDetails or tblAcc")
                           .arg(given));
            if (m_t.readsTable(*name))
                f.fail(QStringLiteral("%1 is listed twice").arg(*name));
            Fields connection(f.object(QStringLiteral("connection"), false),
                              where + QStringLiteral(" connection"), m_file);
            m_t.tables.push_back({*name, connection.text(QStringLiteral("DSN"), 100, QString()),
                                  connection.text(QStringLiteral("Password"), 100, QString())});
            connection.finish();
            f.finish();
        }
        if (!m_t.readsTable(SlipColumns::kSlipTable))
            throw ReportError::inTemplate(m_file, QStringLiteral("\"tables\" must list tblSlip"));
    }

    void readParameters(const QJsonArray& parameters) {
        for (qsizetype i = 0; i < parameters.size(); ++i) {
            const QString where = QStringLiteral("parameter %1").arg(i + 1);
            Fields f(asObject(parameters[i], where, m_file), where, m_file);
            TemplateParameter p;
            p.name = f.text(QStringLiteral("name"), 64);
            if (p.name.trimmed().isEmpty())
                f.fail(QStringLiteral("\"name\" is empty"));
            if (m_t.parameter(p.name))
                f.fail(QStringLiteral("the name \"%1\" is used twice").arg(p.name));
            p.kindCode = f.integer(QStringLiteral("kind"), 0, 255, 0);
            p.textAttribute = f.text(QStringLiteral("text"), 200, QString());
            const QJsonArray values = f.array(QStringLiteral("values"), 100, false);
            for (const QJsonValue& v : values) {
                if (!v.isDouble() && !v.isString())
                    f.fail(QStringLiteral("\"values\" may hold numbers and texts, not %1").arg(typeName(v)));
                const double n = v.toDouble();
                p.values << (v.isString() ? QVariant(v.toString())
                             : n == static_cast<qint64>(n) && std::abs(n) < 1e15
                                 ? QVariant(static_cast<qint64>(n))
                                 : QVariant(n));
            }
            f.finish();
            m_t.parameters.push_back(std::move(p));
        }
    }

    void readDefaults(const QJsonObject& object) {
        Fields f(object, QStringLiteral("defaults"), m_file);
        m_defaults = readStyle(f, m_defaults);
        f.finish();
    }

    void readLines(const QJsonObject& object) {
        Fields f(object, QStringLiteral("lines"), m_file);
        LineBand& band = m_t.lines;
        band.firstLineY = f.number(QStringLiteral("y"), 0, m_t.paper.height());
        band.pitch = f.number(QStringLiteral("pitch"), 1, m_t.paper.height());
        band.lineCount = f.integer(QStringLiteral("count"), 1, 50);
        const QJsonArray elements = f.array(QStringLiteral("elements"), kMaxElements, true);
        f.finish();
        if (!m_t.readsTable(SlipColumns::kLineTable))
            f.fail(QStringLiteral("cheque lines are printed, so \"tables\" must list tblSlipDetails"));
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const QString where = QStringLiteral("lines, element %1").arg(i + 1);
            band.elements.push_back(readElement(asObject(elements[i], where, m_file), where, true));
        }
    }

    Element readElement(const QJsonObject& object, const QString& where, bool inBand) {
        Fields f(object, where, m_file);
        Element e;
        const QString type =
            f.choice(QStringLiteral("type"),
                     {QStringLiteral("text"), QStringLiteral("field"), QStringLiteral("total"),
                      QStringLiteral("count"), QStringLiteral("words")},
                     QString());
        const double x = f.number(QStringLiteral("x"), 0, m_t.paper.width());
        const double y = f.number(QStringLiteral("y"), 0, m_t.paper.height());
        const double width = f.number(QStringLiteral("width"), 0.1, m_t.paper.width());
        const double height = f.number(QStringLiteral("height"), 0.1, m_t.paper.height());
        e.box = QRectF(x, y, width, height);
        const double lastLineTop =
            inBand ? m_t.lines.firstLineY + (m_t.lines.lineCount - 1) * m_t.lines.pitch : 0;
        constexpr double kTolerance = 0.001;
        if (x + width > m_t.paper.width() + kTolerance ||
            lastLineTop + y + height > m_t.paper.height() + kTolerance)
            f.fail(QStringLiteral("the box (x %1, y %2, %3 x %4 mm%5) does not fit on the paper (%6 x %7 mm)")
                       .arg(figure(x), figure(y), figure(width), figure(height),
                            inBand ? QStringLiteral(", on the last cheque line") : QString(),
                            figure(m_t.paper.width()), figure(m_t.paper.height())));
        e.style = readStyle(f, m_defaults);
        e.characterPitch = f.has(QStringLiteral("pitch")) ? f.number(QStringLiteral("pitch"), 0.5, 50) : 0;

        bool wrapByDefault = false;
        if (type == QLatin1String("text")) {
            e.kind = ElementKind::Text;
            e.text = f.text(QStringLiteral("text"), 1000);
        } else if (type == QLatin1String("field")) {
            e.kind = ElementKind::Field;
            readField(f, e, inBand);
        } else if (type == QLatin1String("total")) {
            e.kind = ElementKind::Total;
            requireLines(f, QStringLiteral("a total"));
            e.amountPattern = amountPattern(f);
        } else if (type == QLatin1String("count")) {
            e.kind = ElementKind::Count;
            requireLines(f, QStringLiteral("the number of cheques"));
        } else {
            e.kind = ElementKind::Words;
            requireLines(f, QStringLiteral("the amount in words"));
            e.numbering = f.choice(QStringLiteral("numbering"),
                                   {QStringLiteral("indian"), QStringLiteral("international")},
                                   QStringLiteral("indian")) == QLatin1String("indian")
                              ? AmountInWords::Numbering::Indian
                              : AmountInWords::Numbering::International;
            e.currency.unit = f.text(QStringLiteral("currency"), 40, e.currency.unit);
            e.currency.subunit = f.text(QStringLiteral("subunit"), 40, e.currency.subunit);
            wrapByDefault = true;
        }
        e.wrap = f.flag(QStringLiteral("wrap"), wrapByDefault);
        if (e.wrap) {
            e.linePitch =
                f.has(QStringLiteral("linePitch")) ? f.number(QStringLiteral("linePitch"), 1, 100) : 0;
            e.firstLineIndent = f.number(QStringLiteral("indent"), 0, width, 0);
        }
        f.finish();
        return e;
    }

    void readField(Fields& f, Element& e, bool inBand) {
        const QString name = f.text(QStringLiteral("field"), 100);
        e.column = SlipColumns::qualified(name);
        if (!e.column)
            f.fail(QStringLiteral(
                       "\"field\" names \"%1\", which is no column of tblSlip, tblSlipDetails or tblAcc")
                       .arg(name));
        if (!m_t.readsTable(e.column->table))
            f.fail(QStringLiteral("the field %1 needs %2 in \"tables\"").arg(name, e.column->table));
        if (e.column->table == SlipColumns::kLineTable && !inBand)
            f.fail(QStringLiteral("the cheque-line field %1 belongs in \"lines\"").arg(name));
        if (e.column->kind == SlipColumns::Kind::Date) {
            e.dateFormat = f.text(QStringLiteral("format"), 40, QStringLiteral("dd-MM-yyyy"));
            if (const QString problem = FieldFormat::datePatternProblem(e.dateFormat); !problem.isEmpty())
                f.fail(problem);
        } else if (e.column->kind == SlipColumns::Kind::Amount) {
            e.amountPattern = amountPattern(f);
        }
    }

    FieldFormat::AmountPattern amountPattern(Fields& f) {
        const QString text = f.text(QStringLiteral("format"), 40, QStringLiteral("0.00"));
        const auto pattern = FieldFormat::amountPattern(text);
        if (!pattern)
            f.fail(QStringLiteral(
                       "the amount format \"%1\" is unknown; use \"0.00\", \"#,##0.00\" or \"#,##,##0.00\"")
                       .arg(text));
        return *pattern;
    }

    void requireLines(Fields& f, const QString& what) {
        if (!m_t.readsTable(SlipColumns::kLineTable))
            f.fail(QStringLiteral("%1 needs tblSlipDetails in \"tables\"").arg(what));
    }

private:
    const QString& m_file;
    ReportTemplate m_t;
    // The built-in style, which a template's "defaults" change.
    TextStyle m_defaults{QStringLiteral("Arial"), 10, false, Qt::AlignLeft};
};

} // namespace

ReportTemplate parse(const QByteArray& contents, const QString& filePath) {
    if (contents.trimmed().isEmpty())
        throw ReportError::inTemplate(filePath, QStringLiteral("the file is empty"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents, &error);
    if (error.error != QJsonParseError::NoError)
        throw ReportError::inTemplate(filePath,
                                      QStringLiteral("the file is not valid JSON (%1 at character %2)")
                                          .arg(error.errorString())
                                          .arg(error.offset + 1));
    if (!document.isObject())
        throw ReportError::inTemplate(filePath, QStringLiteral("the file must hold one JSON object { ... }"));
    return Loader(filePath).read(document.object());
}

std::vector<SelectionFormula::Condition> checkedSelection(const ReportTemplate& t, const QString& formula) {
    std::vector<SelectionFormula::Condition> conditions = SelectionFormula::parse(formula, t.filePath);
    for (const SelectionFormula::Condition& c : conditions) {
        if (!t.readsTable(c.column.table))
            throw ReportError::inTemplate(
                t.filePath, QStringLiteral("the selection reads {%1.%2}, but \"tables\" does not list %1")
                                .arg(c.column.table, c.column.column));
        if (!c.parameter.isEmpty() && !t.parameter(c.parameter))
            throw ReportError::inTemplate(
                t.filePath, QStringLiteral("the selection names the parameter {?%1}, which the template "
                                           "does not have")
                                .arg(c.parameter));
    }
    return conditions;
}

ReportTemplate load(const QString& filePath) {
    const QFileInfo info(filePath);
    if (!info.exists())
        throw ReportError::inTemplate(filePath, QStringLiteral("the file does not exist"));
    if (!info.isFile())
        throw ReportError::inTemplate(filePath, QStringLiteral("this is not a file"));
    if (info.size() > kMaxFileBytes)
        throw ReportError::inTemplate(filePath,
                                      QStringLiteral("the file is %1 bytes long; a template is at most %2")
                                          .arg(info.size())
                                          .arg(kMaxFileBytes));
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError::inTemplate(filePath,
                                      QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    return parse(file.read(kMaxFileBytes + 1), filePath);
}

} // namespace TemplateLoader
