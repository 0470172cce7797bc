#pragma once
#include <QDialog>
#include <QWidget>
#include <functional>

class FlexGrid;
class QPushButton;
class frmDesigner;

// The designer's first window: the database's accounts with the template
// each has or lacks. "Open" designs an account's template, "New" starts one.
class frmDesignerOpen : public QWidget {
    Q_OBJECT
public:
    frmDesignerOpen();

    FlexGrid* FG = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdOpenFile = nullptr;
    QPushButton* cmdClose = nullptr;

    // Lists the accounts afresh.
    void fill();
    // The designer on the selected account's template; null when none opened.
    frmDesigner* openSelected();
    // Asks how to start (copy or paper) and opens the designer on the new template.
    frmDesigner* newForSelected();
};

// How a new template starts: a copy of an existing template, or empty paper.
class NewTemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewTemplateDialog(QWidget* parent = nullptr);

    bool copies() const;
    QString source() const;
    QSizeF paper() const;

    class QRadioButton* optCopy = nullptr;
    class QRadioButton* optPaper = nullptr;
    class QComboBox* cmbTemplate = nullptr;
    class QComboBox* cmbPaper = nullptr;
    class QDoubleSpinBox* txtWidth = nullptr;
    class QDoubleSpinBox* txtHeight = nullptr;

    // Shows the dialog and tells whether it was accepted; tests answer it instead.
    using Runner = std::function<bool(NewTemplateDialog& dialog)>;
    static bool run(NewTemplateDialog& dialog);
    static void setRunner(Runner runner);
};
