// Fotello: a picture browser, viewer and organiser.

#include <climits>
#include <string>
#include <unistd.h>

#include <QApplication>

#include "platform/single_instance.h"
#include "shell/main_window.h"

namespace {

// The executable's folder, where the database and help page live.
std::string programFolder() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string exe(buf, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == 0 ? "/" : exe.substr(0, slash);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = programFolder();
    // A second start ends here, silently, before any window exists.
    fotello::SingleInstanceLock instance(fotello::InstanceLockPath(folder));
    if (instance.otherInstanceRunning())
        return 0;

    // Our own pixel cap decides what is too large to open.
    qunsetenv("QT_IMAGEIO_MAXALLOC");

    QApplication app(argc, argv);
    QApplication::setApplicationName("Fotello");
    QApplication::setApplicationDisplayName("Fotello");

    fotello::FrmFotello window(QString::fromStdString(folder));
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
