#include "frmDesignerOpen.h"
#include "Controls.h"
#include "DesignerDialogs.h"
#include "FlexGrid.h"
#include "MsgBox.h"
#include "NewTemplate.h"
#include "Statement.h"
#include "TemplateLoader.h"
#include "WindowHelpers.h"
#include "frmDesigner.h"
#include "modData.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

NewTemplateDialog::Runner& runner() {
    static NewTemplateDialog::Runner run = [](NewTemplateDialog& dialog) {
        return dialog.exec() == QDialog::Accepted;
    };
    return run;
}

} // namespace

frmDesignerOpen::frmDesignerOpen() {
    setObjectName(QStringLiteral("frmDesignerOpen"));
    setWindowTitle(QStringLiteral("Cheqora Template Designer"));
    FG = Controls::make<FlexGrid>(this, QStringLiteral("FG"), QStringLiteral("Accounts and their templates"));
    FG->setCols(5);
    const QStringList headers{QString(), QStringLiteral("Account No"), QStringLiteral("Account Name"),
                              QStringLiteral("Active"), QStringLiteral("Template")};
    for (int c = 0; c < headers.size(); ++c)
        FG->setTextMatrix(0, c, headers[c]);
    FG->setColWidth(1, 2200);
    FG->setColWidth(2, 4000);
    FG->setColWidth(3, 900);
    FG->setColWidth(4, 1800);

    cmdOpen = Controls::button(this, QStringLiteral("cmdOpen"), QStringLiteral("&Open"));
    cmdNew = Controls::button(this, QStringLiteral("cmdNew"), QStringLiteral("&New"));
    cmdOpenFile = Controls::button(this, QStringLiteral("cmdOpenFile"), QStringLiteral("Open &File..."));
    cmdClose = Controls::button(this, QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    cmdOpen->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdOpen, cmdNew, cmdOpenFile})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FG);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(cmdOpen, &QPushButton::clicked, this, [this] { openSelected(); });
    connect(cmdNew, &QPushButton::clicked, this, [this] { newForSelected(); });
    connect(FG, &FlexGrid::DblClick, this, [this] { openSelected(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdOpenFile, &QPushButton::clicked, this, [this] {
        const QString path = DesignerDialogs::openFile(this, QStringLiteral("Open Template"),
                                                       QStringLiteral("Templates (*.rpt)"));
        if (!path.isEmpty())
            frmDesigner::openFile(path, NewTemplate::accountKeyOf(path));
    });
    fill();
}

void frmDesignerOpen::fill() {
    guarded(this, [this] {
        QVector<QStringList> rows;
        Statement query(*g_Connection,
                        QStringLiteral("SELECT id, accno, accname, active FROM tblAcc ORDER BY id"));
        while (query.next()) {
            const qint64 key = query.value(0).toLongLong();
            const QString path = NewTemplate::templatePath(key);
            rows.push_back({QString::number(key), query.value(1).toString(), query.value(2).toString(),
                            query.value(3).toInt() != 0 ? QStringLiteral("Yes") : QStringLiteral("No"),
                            QFileInfo::exists(path) ? QFileInfo(path).fileName() : QStringLiteral("none")});
        }
        FG->fill(rows);
    });
}

frmDesigner* frmDesignerOpen::openSelected() {
    const QString key = FG->selectedKey();
    if (key.isEmpty())
        return nullptr;
    const QString path = NewTemplate::templatePath(key.toLongLong());
    if (!QFileInfo::exists(path)) {
        MsgBox::show(QStringLiteral("Account %1 has no template yet (%2). Choose \"New\" to make one.")
                         .arg(FG->textMatrix(FG->rowSel(), 1), QDir::toNativeSeparators(path)),
                     MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
        return nullptr;
    }
    return frmDesigner::openFile(path, key.toLongLong());
}

frmDesigner* frmDesignerOpen::newForSelected() {
    const QString key = FG->selectedKey();
    if (key.isEmpty())
        return nullptr;
    const QString path = NewTemplate::templatePath(key.toLongLong());
    if (QFileInfo::exists(path) &&
        !MsgBox::askYesNo(
            QStringLiteral("Account %1 has a template already (%2). Start a new one in its place? "
                           "The file changes only when you save.")
                .arg(FG->textMatrix(FG->rowSel(), 1), QFileInfo(path).fileName()),
            this))
        return nullptr;
    NewTemplateDialog dialog(this);
    if (!NewTemplateDialog::run(dialog))
        return nullptr;
    frmDesigner* window = nullptr;
    guarded(this, [&] {
        ReportTemplate layout = dialog.copies() ? NewTemplate::copyOf(dialog.source(), path)
                                                : NewTemplate::empty(dialog.paper(), path);
        window = new frmDesigner(std::move(layout), key.toLongLong());
        connect(window, &QObject::destroyed, this, &frmDesignerOpen::fill);
        window->show();
    });
    return window;
}

NewTemplateDialog::NewTemplateDialog(QWidget* parent) : QDialog(parent) {
    setUpDialogWindow(this, QStringLiteral("dlgNewTemplate"), QStringLiteral("New Template"));
    optCopy =
        Controls::make<QRadioButton>(this, QStringLiteral("optCopy"), QStringLiteral("Copy of a template"));
    optCopy->setText(QStringLiteral("&Copy of a template"));
    cmbTemplate =
        Controls::make<QComboBox>(this, QStringLiteral("cmbTemplate"), QStringLiteral("Template to copy"));
    const QDir reports(applicationFolder() + QStringLiteral("/Reports"));
    for (const QString& name : reports.entryList({QStringLiteral("*.rpt")}, QDir::Files, QDir::Name))
        cmbTemplate->addItem(name, reports.absoluteFilePath(name));
    optPaper = Controls::make<QRadioButton>(this, QStringLiteral("optPaper"), QStringLiteral("Empty paper"));
    optPaper->setText(QStringLiteral("&Empty paper"));
    cmbPaper = Controls::make<QComboBox>(this, QStringLiteral("cmbPaper"), QStringLiteral("Paper size"));
    for (const NewTemplate::Paper& p : NewTemplate::presets())
        cmbPaper->addItem(p.name, p.size);
    const auto length = [this](const char* name, const QString& caption) {
        auto* spin = Controls::make<QDoubleSpinBox>(this, QLatin1String(name), caption);
        spin->setRange(TemplateLoader::kMinPaperMm, TemplateLoader::kMaxPaperMm);
        spin->setDecimals(1);
        spin->setSuffix(QStringLiteral(" mm"));
        return spin;
    };
    txtWidth = length("txtWidth", QStringLiteral("Paper width"));
    txtHeight = length("txtHeight", QStringLiteral("Paper height"));

    auto* form = new QFormLayout(this);
    form->addRow(optCopy);
    form->addRow(QStringLiteral("&Template"), cmbTemplate);
    form->addRow(optPaper);
    form->addRow(QStringLiteral("&Paper"), cmbPaper);
    form->addRow(QStringLiteral("&Width"), txtWidth);
    form->addRow(QStringLiteral("&Height"), txtHeight);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const auto choosePaper = [this](int index) {
        const QSizeF size = cmbPaper->itemData(index).toSizeF();
        txtWidth->setValue(size.width());
        txtHeight->setValue(size.height());
    };
    connect(cmbPaper, &QComboBox::currentIndexChanged, this, choosePaper);
    const auto enable = [this] {
        const bool copy = optCopy->isChecked();
        cmbTemplate->setEnabled(copy);
        for (QWidget* w : std::initializer_list<QWidget*>{cmbPaper, txtWidth, txtHeight})
            w->setEnabled(!copy);
    };
    connect(optCopy, &QRadioButton::toggled, this, enable);
    choosePaper(0);
    (cmbTemplate->count() > 0 ? optCopy : optPaper)->setChecked(true);
    optCopy->setEnabled(cmbTemplate->count() > 0);
    enable();
}

bool NewTemplateDialog::copies() const {
    return optCopy->isChecked();
}

QString NewTemplateDialog::source() const {
    return cmbTemplate->currentData().toString();
}

QSizeF NewTemplateDialog::paper() const {
    return QSizeF(txtWidth->value(), txtHeight->value());
}

bool NewTemplateDialog::run(NewTemplateDialog& dialog) {
    return runner()(dialog);
}

void NewTemplateDialog::setRunner(Runner run) {
    runner() = std::move(run);
}
