#pragma once
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress of printing or exporting many slips: a window-modal dialog
// with a bar and "Cancel", shown only for more than kShownAbove slips.
class WorkProgress {
public:
    static constexpr int kShownAbove = 20;

    WorkProgress(QWidget* parent, const QString& label, int slips, int steps);
    ~WorkProgress();

    // Moves the bar to step and lets the window system (and a click on
    // "Cancel") through; false once the person has cancelled.
    bool step(int step);
    // From now on the work cannot be taken back: "Cancel" goes away.
    void noLongerCancellable();

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancellable = true;
};
