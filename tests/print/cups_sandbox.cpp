#include "cups_sandbox.h"

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <QTest>

namespace fotello::test {

namespace {

QString Tool(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : found;
}

bool WriteText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// A unix socket path must stay short.
QString Template() {
    const QString tmp = QDir::tempPath();
    return (tmp.size() > 60 ? QString("/tmp") : tmp) + "/fotello-cups-XXXXXX";
}

} // namespace

CupsSandbox::CupsSandbox() : dir_(Template()) {
    qputenv("CUPS_SERVER", socket().toLocal8Bit());
    if (geteuid() != 0)
        failure_ = "cups-pdf prints only as root";
    else if (!dir_.isValid() || !writeConfiguration())
        failure_ = "cannot write the scheduler's configuration in " + dir_.path();
    else
        running_ = start();
}

void CupsSandbox::stop() {
    if (cupsd_ && cupsd_->state() != QProcess::NotRunning) {
        cupsd_->terminate();
        if (!cupsd_->waitForFinished(10000))
            cupsd_->kill();
        cupsd_->waitForFinished(10000);
    }
    cupsd_.reset();
    running_ = false;
}

CupsSandbox& CupsSandbox::instance() {
    static CupsSandbox sandbox;
    return sandbox;
}

bool CupsSandbox::writeConfiguration() {
    const QString d = dir_.path();
    // Filters run as the scheduler's user (lp): they must reach the spool.
    ::chmod(QFile::encodeName(d).constData(), 0755);
    for (const char* sub : {"spool/tmp", "cache", "state", "log", "pdf", "pdf-spool"})
        if (!QDir().mkpath(d + "/" + sub))
            return false;
    const QString files = QString("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                                  "CacheDir %1/cache\nStateDir %1/state\n"
                                  "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                  "PageLog %1/log/page_log\nSystemGroup root\n")
                              .arg(d);
    const QString conf = "Listen " + socket() +
                         "\nBrowsing No\nWebInterface No\nLogLevel warn\nDefaultAuthType None\n"
                         "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                         "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                         "</Policy>\n";
    if (!WriteText(d + "/cups-files.conf", files.toLocal8Bit()) ||
        !WriteText(d + "/cupsd.conf", conf.toLocal8Bit()))
        return false;
    // cups-pdf's own settings for this queue, relative to the scheduler's
    // working folder: a PPD choice cannot hold a "/".
    QFile ppd("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    if (!ppd.open(QIODevice::ReadOnly))
        return true; // no queue can be added then
    QByteArray queuePpd = ppd.readAll();
    for (const auto& [key, value] :
         {std::pair{"Out", "pdf"}, {"Spool", "pdf-spool"}, {"Log", "log"}, {"Grp", "root"}})
        queuePpd += QByteArray("*OpenUI *") + key + ": PickOne\n*Default" + key + ": " + value +
                    "\n*" + key + " " + value + ": \"\"\n*CloseUI: *" + key + "\n";
    return WriteText(d + "/pdf-queue.ppd", queuePpd);
}

bool CupsSandbox::start() {
    const QString cupsd = Tool("cupsd");
    if (cupsd.isEmpty()) {
        failure_ = "no cupsd";
        return false;
    }
    cupsd_ = std::make_unique<QProcess>();
    cupsd_->setWorkingDirectory(dir_.path());
    cupsd_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cupsd_->setStandardOutputFile(dir_.path() + "/log/cupsd.out");
    // The scheduler does not outlive a test that crashes.
    cupsd_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_->start(
        cupsd, {"-f", "-c", dir_.path() + "/cupsd.conf", "-s", dir_.path() + "/cups-files.conf"});
    // lpstat -r succeeds either way; its answer says which.
    const auto answers = [this] {
        return run("lpstat", {"-h", socket(), "-r"}).trimmed() == "scheduler is running";
    };
    const auto ended = [this] { return cupsd_->state() == QProcess::NotRunning; };
    if (!cupsd_->waitForStarted() ||
        !QTest::qWaitFor([&] { return answers() || ended(); }, 20000) || ended()) {
        failure_ = "cupsd does not answer; see " + dir_.path() + "/log/error_log";
        return false;
    }
    return true;
}

QString CupsSandbox::run(const QString& program, const QStringList& args, int* exitCode,
                         QString* errors) {
    QProcess p;
    p.start(Tool(program), args);
    const bool done = p.waitForFinished(30000);
    if (exitCode)
        *exitCode = done && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool CupsSandbox::addPdfQueue(const QString& name) {
    int code = -1;
    QString errors;
    if (running_)
        run("lpadmin",
            {"-h", socket(), "-p", name, "-v", "cups-pdf:/", "-E", "-P",
             dir_.path() + "/pdf-queue.ppd", "-o", "Label=1"},
            &code, &errors);
    if (running_ && code != 0)
        failure_ = "lpadmin: " + errors;
    return code == 0;
}

void CupsSandbox::removeQueue(const QString& name) {
    run("lpadmin", {"-h", socket(), "-x", name}); // fails when there is none
}

int CupsSandbox::completedJobs(const QString& queue) const {
    QStringList args{"-h", socket(), "-W", "completed", "-o"};
    if (!queue.isEmpty())
        args << queue;
    return int(run("lpstat", args).split('\n', Qt::SkipEmptyParts).size());
}

QStringList CupsSandbox::waitForPdfs(int count) {
    const QDir out(dir_.path() + "/pdf");
    QStringList files;
    (void)QTest::qWaitFor(
        [&] {
            files = out.entryList({"job_*.pdf"}, QDir::Files);
            return files.size() >= count &&
                   run("lpstat", {"-h", socket(), "-o"}).trimmed().isEmpty();
        },
        60000);
    // "job_12-" after "job_9-": by the number.
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return a.section('-', 0, 0).mid(4).toInt() < b.section('-', 0, 0).mid(4).toInt();
    });
    for (QString& f : files)
        f = out.filePath(f);
    return files;
}

} // namespace fotello::test
