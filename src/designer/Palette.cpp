#include "Palette.h"
#include "DesignView.h"
#include "PaletteItems.h"

#include <QKeyEvent>
#include <QMimeData>
#include <map>

Palette::Palette(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("palette"));
    setAccessibleName(QStringLiteral("Elements to place"));
    setHeaderHidden(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
    std::map<QString, QTreeWidgetItem*> groups;
    for (const PaletteItems::Item& entry : PaletteItems::all()) {
        QTreeWidgetItem*& group = groups[entry.group];
        if (!group) {
            group = new QTreeWidgetItem(this, {entry.group});
            group->setFlags(Qt::ItemIsEnabled);
            group->setExpanded(true);
        }
        auto* item = new QTreeWidgetItem(group, {entry.label});
        item->setData(0, Qt::UserRole, entry.id);
        item->setToolTip(0, entry.id.startsWith(QLatin1String("field:")) ? entry.id.mid(6) : entry.label);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    }
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString id = item->data(0, Qt::UserRole).toString();
        if (!id.isEmpty())
            emit addRequested(id);
    });
}

QString Palette::currentId() const {
    return currentItem() ? currentItem()->data(0, Qt::UserRole).toString() : QString();
}

void Palette::setCurrentId(const QString& id) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == id)
            return setCurrentItem(*it);
    }
}

QStringList Palette::mimeTypes() const {
    return {QLatin1String(DesignView::kPaletteMime)};
}

QMimeData* Palette::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.isEmpty())
        return nullptr;
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(DesignView::kPaletteMime),
                  items.front()->data(0, Qt::UserRole).toString().toUtf8());
    return mime;
}

void Palette::keyPressEvent(QKeyEvent* event) {
    // Enter adds the item; QTreeWidget would only report it activated on some platforms.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !currentId().isEmpty()) {
        emit addRequested(currentId());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
