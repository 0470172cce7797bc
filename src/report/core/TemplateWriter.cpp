#include "TemplateWriter.h"
#include "ReportError.h"
#include "TemplateLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <cmath>
#include <variant>

namespace TemplateWriter {

namespace {

// A JSON value whose object keys keep the order they were given in.
struct Value;
using Members = std::vector<std::pair<QString, Value>>;
using Items = std::vector<Value>;

struct Number {
    QString text;
};

struct Value {
    std::variant<Number, QString, bool, Items, Members> v;
};

// Lengths (and font sizes) to 0.1, without a trailing ".0" or a "-0".
Value length(double mm) {
    const double rounded = std::round(mm * 10) / 10;
    return Value{Number{QString::number(rounded == 0 ? 0.0 : rounded, 'g', 12)}};
}

Value whole(qint64 n) {
    return Value{Number{QString::number(n)}};
}

Value text(const QString& s) {
    return Value{s};
}

Value flag(bool b) {
    return Value{b};
}

QString quoted(const QString& s) {
    const QByteArray compact = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(compact.mid(1, compact.size() - 2));
}

void write(const Value& value, int depth, QString& out) {
    const QString inner(2 * (depth + 1), QLatin1Char(' '));
    const QString outer(2 * depth, QLatin1Char(' '));
    if (const auto* n = std::get_if<Number>(&value.v)) {
        out += n->text;
    } else if (const auto* s = std::get_if<QString>(&value.v)) {
        out += quoted(*s);
    } else if (const auto* b = std::get_if<bool>(&value.v)) {
        out += *b ? QStringLiteral("true") : QStringLiteral("false");
    } else if (const auto* items = std::get_if<Items>(&value.v)) {
        if (items->empty()) {
            out += QStringLiteral("[]");
            return;
        }
        out += QStringLiteral("[\n");
        for (size_t i = 0; i < items->size(); ++i) {
            out += inner;
            write((*items)[i], depth + 1, out);
            out += i + 1 < items->size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += outer + QLatin1Char(']');
    } else if (const auto* members = std::get_if<Members>(&value.v)) {
        if (members->empty()) {
            out += QStringLiteral("{}");
            return;
        }
        out += QStringLiteral("{\n");
        for (size_t i = 0; i < members->size(); ++i) {
            out += inner + quoted((*members)[i].first) + QStringLiteral(": ");
            write((*members)[i].second, depth + 1, out);
            out += i + 1 < members->size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += outer + QLatin1Char('}');
    }
}

QString written(const Value& value) {
    QString out;
    write(value, 0, out);
    return out;
}

QString alignWord(Qt::Alignment align) {
    if (align & Qt::AlignRight)
        return QStringLiteral("right");
    if (align & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

Members style(const TextStyle& s) {
    return {{"font", text(s.family)},
            {"size", length(s.sizePt)},
            {"bold", flag(s.bold)},
            {"align", text(alignWord(s.align))}};
}

QString typeWord(ElementKind kind) {
    switch (kind) {
    case ElementKind::Text:
        break;
    case ElementKind::Field:
        return QStringLiteral("field");
    case ElementKind::Total:
        return QStringLiteral("total");
    case ElementKind::Count:
        return QStringLiteral("count");
    case ElementKind::Words:
        return QStringLiteral("words");
    }
    return QStringLiteral("text");
}

Value element(const Element& e, const TextStyle& defaults) {
    Members m{{"type", text(typeWord(e.kind))},
              {"x", length(e.box.x())},
              {"y", length(e.box.y())},
              {"width", length(e.box.width())},
              {"height", length(e.box.height())}};
    switch (e.kind) {
    case ElementKind::Text:
        m.emplace_back("text", text(e.text));
        break;
    case ElementKind::Field:
        m.emplace_back("field", text(e.column->table + QLatin1Char('.') + e.column->column));
        if (e.column->kind == SlipColumns::Kind::Date)
            m.emplace_back("format", text(e.dateFormat));
        else if (e.column->kind == SlipColumns::Kind::Amount)
            m.emplace_back("format", text(FieldFormat::amountPatternText(e.amountPattern)));
        break;
    case ElementKind::Total:
        m.emplace_back("format", text(FieldFormat::amountPatternText(e.amountPattern)));
        break;
    case ElementKind::Count:
        break;
    case ElementKind::Words: {
        const AmountInWords::Currency standard;
        m.emplace_back("numbering", text(e.numbering == AmountInWords::Numbering::Indian
                                             ? QStringLiteral("indian")
                                             : QStringLiteral("international")));
        if (e.currency.unit != standard.unit)
            m.emplace_back("currency", text(e.currency.unit));
        if (e.currency.subunit != standard.subunit)
            m.emplace_back("subunit", text(e.currency.subunit));
        break;
    }
    }
    if (e.characterPitch > 0)
        m.emplace_back("pitch", length(e.characterPitch));
    const Members own = style(e.style);
    const Members standard = style(defaults);
    for (size_t i = 0; i < own.size(); ++i) {
        if (written(own[i].second) != written(standard[i].second))
            m.push_back(own[i]);
    }
    if (e.wrap != (e.kind == ElementKind::Words))
        m.emplace_back("wrap", flag(e.wrap));
    if (e.wrap && e.linePitch > 0)
        m.emplace_back("linePitch", length(e.linePitch));
    if (e.wrap && e.firstLineIndent > 0)
        m.emplace_back("indent", length(e.firstLineIndent));
    return Value{m};
}

Value parameterValue(const QVariant& v) {
    if (v.typeId() == QMetaType::QString)
        return text(v.toString());
    if (v.typeId() == QMetaType::Double) {
        const QByteArray compact = QJsonDocument(QJsonArray{v.toDouble()}).toJson(QJsonDocument::Compact);
        return Value{Number{QString::fromUtf8(compact.mid(1, compact.size() - 2))}};
    }
    return whole(v.toLongLong());
}

Value document(const ReportTemplate& t, const QString& filePath) {
    Members root{{"format", text(QStringLiteral("cheqora-report"))}, {"version", whole(1)}};
    if (!t.name.isEmpty())
        root.emplace_back("name", text(t.name));
    root.emplace_back("paper", Value{Members{{"width", length(t.paper.width())},
                                             {"height", length(t.paper.height())},
                                             {"orientation", text(t.orientation == QPageLayout::Landscape
                                                                      ? QStringLiteral("landscape")
                                                                      : QStringLiteral("portrait"))}}});
    root.emplace_back("offset",
                      Value{Members{{"x", length(t.printOffset.x())}, {"y", length(t.printOffset.y())}}});
    if (t.background) {
        const QRectF& box = t.background->box;
        root.emplace_back(
            "background",
            Value{Members{{"image", text(QFileInfo(filePath).dir().relativeFilePath(t.background->path))},
                          {"x", length(box.x())},
                          {"y", length(box.y())},
                          {"width", length(box.width())},
                          {"height", length(box.height())}}});
    }
    Items tables;
    for (const TemplateTable& table : t.tables)
        tables.push_back(Value{Members{{"name", text(table.name)},
                                       {"connection", Value{Members{{"DSN", text(table.dataSource)},
                                                                    {"Password", text(table.password)}}}}}});
    root.emplace_back("tables", Value{tables});
    Items parameters;
    for (const TemplateParameter& p : t.parameters) {
        Items values;
        for (const QVariant& v : p.values)
            values.push_back(parameterValue(v));
        parameters.push_back(Value{Members{{"name", text(p.name)},
                                           {"kind", whole(p.kindCode)},
                                           {"text", text(p.textAttribute)},
                                           {"values", Value{values}}}});
    }
    root.emplace_back("parameters", Value{parameters});
    root.emplace_back("selection", text(t.selection));
    root.emplace_back("defaults", Value{style(t.defaults)});
    Items elements;
    for (const Element& e : t.elements)
        elements.push_back(element(e, t.defaults));
    root.emplace_back("elements", Value{elements});
    if (t.lines.lineCount > 0) {
        Items band;
        for (const Element& e : t.lines.elements)
            band.push_back(element(e, t.defaults));
        root.emplace_back("lines", Value{Members{{"y", length(t.lines.firstLineY)},
                                                 {"pitch", length(t.lines.pitch)},
                                                 {"count", whole(t.lines.lineCount)},
                                                 {"elements", Value{band}}}});
    }
    return Value{root};
}

} // namespace

QByteArray toJson(const ReportTemplate& t, const QString& filePath) {
    return (written(document(t, filePath)) + QLatin1Char('\n')).toUtf8();
}

void save(const ReportTemplate& t, const QString& filePath) {
    const QByteArray contents = toJson(t, filePath);
    TemplateLoader::parse(contents, filePath);

    const auto failure = [&](const QString& why) {
        return ReportError(QStringLiteral("The template '%1' cannot be written: %2")
                               .arg(QDir::toNativeSeparators(filePath), why));
    };
    if (QFileInfo::exists(filePath)) {
        const QString backup = filePath + QStringLiteral(".bak");
        QFile::remove(backup);
        QFile previous(filePath);
        if (!previous.copy(backup))
            throw failure(QStringLiteral("the previous file cannot be kept as %1 (%2)")
                              .arg(QDir::toNativeSeparators(backup), previous.errorString()));
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
        throw failure(file.errorString());
}

} // namespace TemplateWriter
