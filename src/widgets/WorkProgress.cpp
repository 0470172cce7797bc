#include "WorkProgress.h"
#include "AppInfo.h"

#include <QProgressDialog>

WorkProgress::WorkProgress(QWidget* parent, const QString& label, int slips, int steps) {
    if (slips <= kShownAbove)
        return;
    m_dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, steps, parent);
    m_dialog->setObjectName(QStringLiteral("progress"));
    m_dialog->setAccessibleName(label);
    m_dialog->setWindowTitle(kAppTitle);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
}

WorkProgress::~WorkProgress() = default;

bool WorkProgress::step(int step) {
    if (!m_dialog)
        return true;
    m_dialog->setValue(step);
    return !m_cancellable || !m_dialog->wasCanceled();
}

void WorkProgress::noLongerCancellable() {
    if (m_dialog && m_cancellable)
        m_dialog->setCancelButton(nullptr);
    m_cancellable = false;
}
