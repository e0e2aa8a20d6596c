#include "shell/forms.h"

#include "shell/unload_order.h"

namespace fotello {

Forms& Forms::instance() {
    static Forms forms;
    return forms;
}

void Forms::prune() {
    forms_.removeAll(QPointer<QWidget>());
}

void Forms::add(QWidget* form) {
    prune();
    if (!forms_.contains(form))
        forms_.append(form);
}

void Forms::remove(QWidget* form) {
    forms_.removeAll(form);
    prune();
}

std::size_t Forms::count() const {
    std::size_t n = 0;
    for (const auto& f : forms_)
        n += f ? 1 : 0;
    return n;
}

QWidget* Forms::at(std::size_t index) const {
    std::size_t n = 0;
    for (const auto& f : forms_) {
        if (!f)
            continue;
        if (n++ == index)
            return f;
    }
    return nullptr;
}

void Forms::unload(std::size_t index) {
    QWidget* form = at(index);
    if (!form)
        return;
    // close() runs the window's own close handler, which may refuse.
    if (form->close())
        remove(form);
}

void UnloadAllForms() {
    UnloadAllFormsOf(Forms::instance());
}

} // namespace fotello
