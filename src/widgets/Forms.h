#pragma once
#include <QWidget>
#include <typeinfo>

// Every window is a single shared instance: the first touch creates it (its
// constructor runs the load step), later touches get the same window, and
// closing it discards it so that the next touch loads it afresh.
namespace Forms {

namespace detail {
QWidget* find(const std::type_info& type);
void remember(const std::type_info& type, QWidget* form);
} // namespace detail

template <class Form> Form& get() {
    if (QWidget* existing = detail::find(typeid(Form)))
        return *static_cast<Form*>(existing);
    auto* form = new Form();
    detail::remember(typeid(Form), form);
    return *form;
}

template <class Form> bool isLoaded() {
    return detail::find(typeid(Form)) != nullptr;
}

// Shows the window, or brings it forward with its contents when it is shown already.
void showForward(QWidget* form);

// Closes every loaded window but keep, each as the operator would; false when
// one stays open (it holds input the operator chose to keep).
bool closeOthers(QWidget* keep);

// Closes every loaded window (tests start each case from nothing).
void closeAll();

} // namespace Forms
