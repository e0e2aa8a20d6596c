#include "shell/instance_server.h"

#include <memory>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

namespace fotello {

Q_LOGGING_CATEGORY(lcInstance, "fotello.instance", QtCriticalMsg)

InstanceServer::InstanceServer(int fd, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    if (fd >= 0 && !server_->listen(qintptr(fd)))
        ::close(fd);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
    if (server_->isListening())
        qCDebug(lcInstance) << "serving" << server_->fullServerName();
}

bool InstanceServer::isListening() const {
    return server_->isListening();
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto path = std::make_shared<QByteArray>();
        const auto take = [socket, path] {
            *path += socket->readAll();
            if (path->size() > kMaxPath) {
                path->clear();
                socket->abort();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, path, take] {
            take();
            socket->deleteLater();
            if (!path->isEmpty())
                emit pathArrived(*path);
        });
        // What came before the connection was taken is there already.
        if (socket->bytesAvailable() > 0)
            take();
        if (socket->state() == QLocalSocket::UnconnectedState) {
            socket->deleteLater();
            if (!path->isEmpty())
                emit pathArrived(*path);
        }
    }
}

} // namespace fotello
