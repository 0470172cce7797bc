#include "DesignDocument.h"
#include "ReportError.h"
#include "SampleSlip.h"
#include "TemplateWriter.h"

#include <QUndoCommand>
#include <algorithm>

// One change as the template before and after it, with the selection of each.
class SnapshotCommand : public QUndoCommand {
public:
    SnapshotCommand(DesignDocument& document, const QString& what, ReportTemplate after,
                    std::vector<ElementRef> selectionAfter, int merge)
        : QUndoCommand(what), m_document(document), m_before(document.layout()),
          m_selectionBefore(document.selection()), m_after(std::move(after)),
          m_selectionAfter(std::move(selectionAfter)), m_merge(merge) {}

    void undo() override { m_document.restore(m_before, m_selectionBefore); }
    void redo() override { m_document.restore(m_after, m_selectionAfter); }
    int id() const override { return m_merge == DesignDocument::kNoMerge ? -1 : m_merge; }

    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const SnapshotCommand*>(other);
        if (next->m_selectionBefore != m_selectionAfter)
            return false;
        m_after = next->m_after;
        m_selectionAfter = next->m_selectionAfter;
        return true;
    }

private:
    DesignDocument& m_document;
    ReportTemplate m_before;
    std::vector<ElementRef> m_selectionBefore;
    ReportTemplate m_after;
    std::vector<ElementRef> m_selectionAfter;
    int m_merge;
};

DesignDocument::DesignDocument(ReportTemplate layout, qint64 accountKey, QObject* parent)
    : QObject(parent), m_layout(std::move(layout)), m_accountKey(accountKey), m_sample(SampleSlip::builtIn()),
      m_sampleName(QStringLiteral("Built-in sample")) {}

void DesignDocument::select(std::vector<ElementRef> refs) {
    std::sort(refs.begin(), refs.end());
    refs.erase(std::unique(refs.begin(), refs.end()), refs.end());
    if (refs == m_selection)
        return;
    m_selection = std::move(refs);
    emit selectionChanged();
}

void DesignDocument::change(const QString& what, const std::function<void(ReportTemplate&)>& edit,
                            std::optional<std::vector<ElementRef>> selectionAfter, int merge) {
    ReportTemplate after = m_layout;
    edit(after);
    // What the file would hold tells a change from none (lengths count to 0.1 mm).
    if (TemplateWriter::toJson(after, filePath()) == TemplateWriter::toJson(m_layout, filePath()))
        return;
    std::vector<ElementRef> selection = selectionAfter ? *selectionAfter : m_selection;
    std::sort(selection.begin(), selection.end());
    m_undo.push(new SnapshotCommand(*this, what, std::move(after), std::move(selection), merge));
}

void DesignDocument::restore(const ReportTemplate& layout, const std::vector<ElementRef>& selection) {
    // The file stays where it is now, whichever step is undone.
    const QString path = m_layout.filePath;
    m_layout = layout;
    m_layout.filePath = path;
    emit layoutChanged();
    m_selection = selection;
    emit selectionChanged();
}

void DesignDocument::save() {
    try {
        TemplateWriter::save(m_layout, filePath());
    } catch (const ReportError& error) {
        if (error.element())
            select({*error.element()});
        throw;
    }
    m_undo.setClean();
}

void DesignDocument::saveAs(const QString& path) {
    const QString previous = m_layout.filePath;
    m_layout.filePath = path;
    try {
        save();
    } catch (...) {
        m_layout.filePath = previous;
        throw;
    }
}

void DesignDocument::setSample(SlipRecord slip, const QString& name) {
    m_sample = std::move(slip);
    m_sampleName = name;
    emit sampleChanged();
}
