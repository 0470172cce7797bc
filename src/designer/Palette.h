#pragma once
#include <QTreeWidget>

// The list of everything a template can place, grouped. An item is dragged
// onto the page, or added with Enter where the page shows its middle.
class Palette : public QTreeWidget {
    Q_OBJECT
public:
    explicit Palette(QWidget* parent = nullptr);

    // The id of the chosen item (see PaletteItems); empty for a group.
    QString currentId() const;
    // Chooses the item with that id.
    void setCurrentId(const QString& id);

signals:
    void addRequested(const QString& id);

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
    void keyPressEvent(QKeyEvent* event) override;
};
