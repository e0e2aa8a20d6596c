#pragma once
// Collects the messages of Qt's logging while alive, under the given rules
// (QLoggingCategory's syntax; "" leaves every category at its default).

#include <mutex>
#include <vector>

#include <QLoggingCategory>
#include <QString>

namespace fotello::testing {

class LogCapture {
public:
    struct Line {
        QtMsgType type;
        QString category;
        QString text;
    };

    explicit LogCapture(const QString& rules) {
        QLoggingCategory::setFilterRules(rules);
        active_ = this;
        previous_ = qInstallMessageHandler(&Handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Lines of categories whose names start with prefix.
    std::vector<Line> lines(const QString& prefix = QStringLiteral("fotello.")) const {
        std::lock_guard lock(mutex_);
        std::vector<Line> out;
        for (const Line& l : lines_)
            if (l.category.startsWith(prefix))
                out.push_back(l);
        return out;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        LogCapture* self = active_;
        if (self == nullptr)
            return;
        std::lock_guard lock(self->mutex_);
        self->lines_.push_back({type, QString::fromLatin1(context.category), text});
    }

    static inline LogCapture* active_ = nullptr;
    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

} // namespace fotello::testing
