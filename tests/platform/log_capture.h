#pragma once
// Collects the messages of Qt's logging while alive, under the given rules
// (QLoggingCategory's syntax; "" leaves every category at its default).

#include <algorithm>
#include <iterator>
#include <mutex>
#include <vector>

#include <QLoggingCategory>

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
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (LogCapture* self = active_) {
                    std::lock_guard lock(self->mutex_);
                    self->lines_.push_back({type, QString::fromLatin1(context.category), text});
                }
            });
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }

    // Lines of categories whose names start with prefix.
    std::vector<Line> lines(const QString& prefix = QStringLiteral("fotello.")) const {
        std::lock_guard lock(mutex_);
        std::vector<Line> out;
        std::copy_if(lines_.begin(), lines_.end(), std::back_inserter(out),
                     [&](const Line& l) { return l.category.startsWith(prefix); });
        return out;
    }

private:
    static inline LogCapture* active_ = nullptr;
    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

} // namespace fotello::testing
