#pragma once
#include "ElementRef.h"
#include "ReportTemplate.h"
#include "SlipData.h"

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <vector>

// The template being designed, its selection, its sample slip and the undo
// history. Every change goes through change(), so every change can be undone.
class DesignDocument : public QObject {
    Q_OBJECT
public:
    // Kinds of change whose runs merge into one undo step while the selection stays.
    enum Merge { kNoMerge = 0, kNudge = 1, kProperty = 100 };

    explicit DesignDocument(ReportTemplate layout, qint64 accountKey = 0, QObject* parent = nullptr);

    const ReportTemplate& layout() const { return m_layout; }
    const QString& filePath() const { return m_layout.filePath; }
    // The account whose template this is; 0 when not known.
    qint64 accountKey() const { return m_accountKey; }

    QUndoStack& undoStack() { return m_undo; }
    bool isModified() const { return !m_undo.isClean(); }

    const std::vector<ElementRef>& selection() const { return m_selection; }
    void select(std::vector<ElementRef> refs);

    // Runs edit on a copy of the template and makes the result one undo step
    // named what; nothing happens when the file would not change. The
    // selection afterwards is selectionAfter, or the present one. Runs of the
    // same merge kind (not kNoMerge) on the same selection become one step.
    void change(const QString& what, const std::function<void(ReportTemplate&)>& edit,
                std::optional<std::vector<ElementRef>> selectionAfter = std::nullopt, int merge = kNoMerge);

    // Writes the template to its file (see TemplateWriter::save); throws
    // ReportError, whose element (when it names one) becomes the selection.
    void save();
    // Writes it to another file, which becomes the document's.
    void saveAs(const QString& filePath);

    const SlipRecord& sample() const { return m_sample; }
    const QString& sampleName() const { return m_sampleName; }
    void setSample(SlipRecord slip, const QString& name);

signals:
    void layoutChanged();
    void selectionChanged();
    void sampleChanged();

private:
    friend class SnapshotCommand;
    void restore(const ReportTemplate& layout, const std::vector<ElementRef>& selection);

    ReportTemplate m_layout;
    qint64 m_accountKey;
    QUndoStack m_undo;
    std::vector<ElementRef> m_selection;
    SlipRecord m_sample;
    QString m_sampleName;
};
