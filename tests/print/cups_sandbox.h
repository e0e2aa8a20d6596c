#pragma once
// A CUPS scheduler of the test's own: configuration, spool, logs and socket
// in a temporary folder, nothing of the system's cupsd or /etc/cups changed.
// The process is pointed at it (CUPS_SERVER) before Qt asks CUPS anything;
// libcups keeps the first server it is given, so there is one per process.
//
// Its PDF queue is cups-pdf, told by the queue's own PPD to write its files,
// spool and log into folders relative to the scheduler's working folder (the
// sandbox): cups-pdf reads its system-wide configuration from /etc/cups only,
// but takes these settings from the queue's PPD as well. cups-pdf runs only
// as root, so without root there is no scheduler and no printer.

#include <memory>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace fotello::test {

class CupsSandbox {
public:
    CupsSandbox();
    ~CupsSandbox() { stop(); }
    void stop();

    // The scheduler answers (root only); otherwise why not.
    bool running() const { return running_; }
    const QString& failure() const { return failure_; }

    // lpadmin: the cups-pdf queue, or no queue of that name.
    bool addPdfQueue(const QString& name);
    void removeQueue(const QString& name);

    // Waits until no job is pending and `count` PDF files are written; they
    // come back in job order.
    QStringList waitForPdfs(int count);
    // Jobs the scheduler has completed.
    int completedJobs() const;
    // A command's standard output (empty on failure), e.g. pdfinfo.
    static QString run(const QString& program, const QStringList& args, int* exitCode = nullptr,
                       QString* errors = nullptr);
    QString folder() const { return dir_.path(); }

    // The process-wide sandbox, started on first use.
    static CupsSandbox& instance();

private:
    QString socket() const { return dir_.path() + "/cups.sock"; }
    bool writeConfiguration();
    bool start();

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> cupsd_;
    bool running_ = false;
    QString failure_;
};

} // namespace fotello::test
