#pragma once
// The socket the running instance serves: each connection carries one path
// (its bytes up to the end of the stream) from a later start.

#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>

class QLocalServer;

namespace fotello {

// fotello.instance: the socket served, paths handed over and opened.
Q_DECLARE_LOGGING_CATEGORY(lcInstance)

class InstanceServer : public QObject {
    Q_OBJECT
public:
    // Serves the listening descriptor fd, which it owns from now on.
    InstanceServer(int fd, QObject* parent = nullptr);
    bool isListening() const;

    // Longer is not a path: the connection is dropped.
    static constexpr qsizetype kMaxPath = 64 * 1024;

signals:
    void pathArrived(const QByteArray& path);

private:
    void accept();
    QLocalServer* server_;
};

} // namespace fotello
