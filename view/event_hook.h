#pragma once
// Runs a function on one kind of event of a widget, leaving the event to the
// widget: handlers of the main window on controls it does not subclass.

#include <functional>

#include <QEvent>
#include <QObject>

namespace fotello {

class EventHook : public QObject {
public:
    // Owned by the watched object.
    EventHook(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> run)
        : QObject(watched), type_(type), run_(std::move(run)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type_)
            run_(e);
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void(QEvent*)> run_;
};

} // namespace fotello
