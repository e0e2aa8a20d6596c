// Fotello: a picture browser, viewer and organiser.
//   fotello [FOLDER | FILE]

#include <climits>
#include <string>
#include <unistd.h>

#include <QApplication>

#include "platform/single_instance.h"
#include "platform/start_path.h"
#include "shell/instance_server.h"
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

std::string workingFolder() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = programFolder();
    // Relative to where the caller stands, since the running instance stands elsewhere.
    const std::string start =
        fotello::AbsoluteStartPath(fotello::StartArgument(argc, argv), workingFolder());
    const std::string lockPath = fotello::InstanceLockPath(folder);
    // A second start ends here, before any window exists: it hands its
    // folder or file to the running one, or, with none, ends silently.
    fotello::SingleInstanceLock instance(lockPath);
    if (instance.otherInstanceRunning()) {
        if (!start.empty())
            fotello::SendToRunningInstance(fotello::InstanceSocketPath(lockPath), start);
        return 0;
    }

    // Our own pixel cap decides what is too large to open.
    qunsetenv("QT_IMAGEIO_MAXALLOC");

    QApplication app(argc, argv);
    QApplication::setApplicationName("Fotello");
    QApplication::setApplicationDisplayName("Fotello");
    QGuiApplication::setDesktopFileName("io.github.fotello.Fotello");

    fotello::FrmFotello window(QString::fromStdString(folder));
    window.setStartLocation(QByteArray::fromStdString(start));
    window.Form_Load();
    window.show();
    fotello::InstanceServer server(instance.takeServerSocket());
    QObject::connect(&server, &fotello::InstanceServer::pathArrived, &window,
                     &fotello::FrmFotello::openHandedLocation);
    return QApplication::exec();
}
