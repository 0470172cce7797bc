#pragma once
#include "CViewer.h"

#include <QWidget>

// The report preview window "Report": the viewer CViewer fills it entirely.
// It opens maximized, as a window of its own with no owner.
class frmReport : public QWidget {
    Q_OBJECT
public:
    frmReport();

    ::CViewer* CViewer = nullptr;

    // The window's id, handed to the report as the owner of its dialogs.
    quintptr hWnd();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
};
