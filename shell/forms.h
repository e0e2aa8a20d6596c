#pragma once
// The program's loaded windows, in the order they were loaded.

#include <QList>
#include <QPointer>
#include <QWidget>

namespace fotello {

class Forms {
public:
    static Forms& instance();

    // Windows add themselves when created and remove themselves when destroyed.
    void add(QWidget* form);
    void remove(QWidget* form);

    std::size_t count() const;
    QWidget* at(std::size_t index) const;

    // Closes the window; it stays loaded when its close handler refuses.
    void unload(std::size_t index);

private:
    void prune();
    QList<QPointer<QWidget>> forms_;
};

// Unloads every loaded window, most recently loaded first, stopping at the
// first one that refuses to close.
void UnloadAllForms();

} // namespace fotello
