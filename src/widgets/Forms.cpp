#include "Forms.h"

#include <QEvent>
#include <QPointer>
#include <map>
#include <string>

namespace Forms {

namespace {

// Forgets a window the moment it is asked to close; Qt deletes it later.
class CloseWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

std::map<std::string, QPointer<QWidget>>& registry() {
    static std::map<std::string, QPointer<QWidget>> forms;
    return forms;
}

CloseWatcher& watcher() {
    static CloseWatcher closeWatcher;
    return closeWatcher;
}

bool CloseWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close)
        return false;
    // The window's own close handling decides first: it may keep the window
    // open, and then the window stays the shared instance.
    watched->event(event);
    if (event->isAccepted()) {
        for (auto& [name, form] : registry()) {
            if (form == watched)
                form.clear();
        }
    }
    return true;
}

} // namespace

namespace detail {

QWidget* find(const std::type_info& type) {
    const auto it = registry().find(type.name());
    return it == registry().end() ? nullptr : it->second.data();
}

void remember(const std::type_info& type, QWidget* form) {
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->installEventFilter(&watcher());
    registry()[type.name()] = form;
}

} // namespace detail

void showForward(QWidget* form) {
    form->show();
    form->raise();
    form->activateWindow();
}

bool closeOthers(QWidget* keep) {
    QList<QPointer<QWidget>> open;
    for (auto& [name, form] : registry()) {
        if (form && form != keep)
            open << form;
    }
    for (const QPointer<QWidget>& form : open) {
        // A window may have gone with its owner meanwhile.
        if (form && !form->close())
            return false;
    }
    return true;
}

void closeAll() {
    for (auto& [name, form] : registry()) {
        if (form) {
            QWidget* widget = form.data();
            form.clear();
            widget->close();
            delete widget;
        }
    }
    registry().clear();
}

} // namespace Forms
