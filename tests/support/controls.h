#pragma once
// Window tests reach a window's controls the way plug-ins do: by name.

#include <stdexcept>

#include <QObject>
#include <QString>

namespace fotello::test {

// The child called `name`; a missing control fails the test.
template <class T> T* Control(const QObject& window, const QString& name) {
    T* control = window.findChild<T*>(name);
    if (control == nullptr) // gtest reports the exception as this test's failure
        throw std::runtime_error("no control " + name.toStdString());
    return control;
}

} // namespace fotello::test
