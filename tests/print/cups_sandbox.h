#pragma once
// A CUPS scheduler of the test's own: configuration, spool, logs and socket in
// a temporary folder; the system's cupsd and /etc/cups are never touched.
// CUPS_SERVER points at it before Qt asks CUPS anything, and libcups keeps
// the first server it is given: one sandbox per process.
//
// Its PDF queue is cups-pdf, whose output, spool and log folders come from
// the queue's own PPD (cups-pdf reads /etc/cups otherwise), relative to the
// scheduler's working folder. cups-pdf runs only as root: without root there
// is no scheduler and no printer.

#include <memory>

#include <QProcess>
#include <QTemporaryDir>

namespace fotello::test {

class CupsSandbox {
public:
    CupsSandbox();
    ~CupsSandbox() { stop(); }
    void stop();
    // The process-wide sandbox, started on first use.
    static CupsSandbox& instance();

    // Whether the scheduler answers; failure() says why not.
    bool running() const { return running_; }
    const QString& failure() const { return failure_; }
    QString folder() const { return dir_.path(); }

    // lpadmin: the cups-pdf queue, or no queue of that name.
    bool addPdfQueue(const QString& name);
    void removeQueue(const QString& name);
    // Waits until no job is pending and `count` PDF files are written; they
    // come back in job order.
    QStringList waitForPdfs(int count);
    int completedJobs(const QString& queue = {}) const;
    // A command's standard output (empty on failure), e.g. pdfinfo.
    static QString run(const QString& program, const QStringList& args, int* exitCode = nullptr,
                       QString* errors = nullptr);

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
