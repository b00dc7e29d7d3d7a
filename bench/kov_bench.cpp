// Times the window's real actions and kov-cli's commands on one data folder
// (made by bench/make_data.py) and prints a markdown table of medians.
//
//   kov_bench DATAFOLDER [--runs N] [--plistlib] [--window-only]
//
// Everything runs on a scratch copy of the folder, offscreen. Each action
// is timed until the event loop is idle again, so painting counts. The
// whole-process rows spawn kov-cli (and this program itself for the
// window's start-up) and give the wall time and the peak resident memory
// (VmHWM) of the child. --plistlib adds KOV's reader and writer against
// Python's plistlib on the same history file, as ratios.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/mainwindow.h"
#include "lists/referencesheet.h"
#include "log/logtab.h"
#include "storage/datafiles.h"
#include "storage/plist.h"

extern char **environ;

namespace {

int g_runs = 5;
int g_alerts = 0;
// Medians of the whole processes, wall and CPU, by name.
// The kov-cli commands timed, to be timed again beside plistlib.
QList<std::pair<QString, QStringList>> g_commands;

// Until nothing is left to do: posted events, paints, zero timers.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Wall time (what the user waits) and CPU time (what the work costs; far
// less disturbed by other programs on a busy machine).
void row(const char *what, const std::vector<double> &ms, const std::vector<double> &cpu,
         const QString &extra = QString())
{
    const auto [lo, hi] = std::minmax_element(ms.begin(), ms.end());
    std::printf("| %s | %.1f | %s | %.1f–%.1f | %s |\n", what, median(ms),
                cpu.empty() ? "" : qPrintable(QString::number(median(cpu), 'f', 1)), *lo, *hi,
                qPrintable(extra));
    std::fflush(stdout);
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// `prepare` runs untimed before each run, `act` timed (until idle).
void timeAction(const char *what, const std::function<void()> &prepare, const std::function<void()> &act,
                int runs = g_runs)
{
    std::vector<double> ms, cpu;
    const int alertsBefore = g_alerts;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        settle();
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        act();
        settle();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - c);
    }
    row(what, ms, cpu,
        g_alerts != alertsBefore ? QStringLiteral("alerts: %1").arg(g_alerts - alertsBefore) : QString());
}

long vmHwmKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

struct ProcessRun {
    double ms = 0;
    long maxRssKb = 0;
    double cpuMs = 0;
    int status = -1;
};

// A whole process, its output thrown away; wall time and peak memory.
// The peak is the child's own, as /usr/bin/time reports it: a child spawned
// straight from here would count this process's memory as its own.
ProcessRun spawn(const QStringList &command)
{
    QTemporaryDir dir;
    const QString rssFile = dir.filePath(QStringLiteral("rss"));
    const QStringList args = QStringList{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"),
                                         QStringLiteral("%M %U %S"), QStringLiteral("-o"), rssFile} +
                             command;
    std::vector<QByteArray> bytes;
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun out;
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return out;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    out.ms = double(t.nsecsElapsed()) / 1e6;
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile rss(rssFile);
    if (rss.open(QIODevice::ReadOnly)) // "Command exited with non-zero status N" may come first
    {
        const QList<QByteArray> f = rss.readAll().trimmed().split('\n').last().split(' ');
        out.maxRssKb = f.value(0).toLong();
        out.cpuMs = (f.value(1).toDouble() + f.value(2).toDouble()) * 1e3;
    }
    posix_spawn_file_actions_destroy(&actions);
    return out;
}

std::vector<double> timeProcess(const char *what, const QStringList &args, int runs = g_runs)
{
    std::vector<double> ms, cpu;
    long rss = 0;
    int status = 0;
    for (int i = 0; i < runs; ++i) {
        const ProcessRun r = spawn(args);
        ms.push_back(r.ms);
        cpu.push_back(r.cpuMs);
        rss = std::max(rss, r.maxRssKb);
        status = r.status;
    }
    if (args.value(0) == QStringLiteral(KOV_CLI_PATH))
        g_commands.append({QString::fromUtf8(what), args});
    row(what, ms, cpu,
        QStringLiteral("VmHWM %1 MiB, exit %2").arg(double(rss) / 1024, 0, 'f', 0).arg(status));
    return ms;
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files)) {
        QFile::remove(to + QLatin1Char('/') + name);
        QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
    }
}

template <typename W> W *child(const QObject *parent, const char *name)
{
    W *w = parent->findChild<W *>(QLatin1String(name));
    if (!w)
        qFatal("no widget named %s", name);
    return w;
}

void choose(QComboBox *popup, const QString &text)
{
    const int i = popup->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        qFatal("no item %s", qPrintable(text));
    popup->setCurrentIndex(i);
    Q_EMIT popup->activated(i);
}

void wideRange(QWidget *tab, const char *begin, const char *end)
{
    child<QDateTimeEdit>(tab, begin)->setDateTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    child<QDateTimeEdit>(tab, end)->setDateTime(QDateTime(QDate(2030, 12, 31), QTime(23, 59)));
}

std::unique_ptr<kov::MainWindow> startWindow()
{
    auto w = std::make_unique<kov::MainWindow>();
    w->resize(1200, 800);
    w->applicationDidFinishLaunching();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("window not exposed");
    settle();
    return w;
}

// Start-up alone, as a whole process would see it: from here until the
// window is shown, filled and idle; then the peak memory.
int startupOnly()
{
    QElapsedTimer t;
    t.start();
    auto w = startWindow();
    std::printf("%.1f %ld %.1f\n", double(t.nsecsElapsed()) / 1e6, vmHwmKb(), cpuMs());
    return 0;
}

void windowActions(const QString &folder)
{
    QTemporaryDir scratch;
    const QString data = scratch.filePath(QStringLiteral("Tolvanderwerks"));
    copyFolder(folder, data);
    kov::setDataFolderOverride(data);

    // One window goes through every action, as a user's would; the peak
    // memory is taken before start-up is timed again with windows of its
    // own, whose freed memory the process keeps.
    auto w = startWindow();
    QTabWidget *tabs = child<QTabWidget>(w.get(), "theTabView");
    QWidget *tab1 = child<QWidget>(w.get(), "tabMaintenanceLog");
    QTableView *table1 = child<QTableView>(tab1, "tableViewTab1");
    kov::DataStore *store = w->store();
    const kov::RecordList props = store->records(kov::PropertyFileForKOV);
    const kov::RecordList provs = store->records(kov::ProviderFileForKOV);
    const kov::RecordList tasks = store->records(kov::ServiceTaskFileForKOV);
    auto historySize = [&] { return store->records(kov::PropertyHistoryFileForKOV).size(); };

    tabs->setCurrentIndex(0);
    wideRange(tab1, "beginDateTab1", "endDateTab1");
    timeAction("tab 1 Show, everything", nullptr,
               [&] { child<QAbstractButton>(tab1, "showMaintBtn")->click(); });
    const qsizetype shown = table1->model()->rowCount();

    int serial = 0;
    const qsizetype before = historySize();
    timeAction(
        "tab 1 Add",
        [&] {
            choose(child<QComboBox>(tab1, "propertyPopTab1"),
                   props.first().value(kov::PropertyNameKey).toString());
            choose(child<QComboBox>(tab1, "providerPopTab1"),
                   provs.first().value(kov::ProviderNameKey).toString());
            choose(child<QComboBox>(tab1, "serTaskPopTab1"),
                   tasks.first().value(kov::ServiceTaskNameKey).toString());
            child<QLineEdit>(tab1, "laborCostTab1")->setText(QStringLiteral("120.00"));
            child<QLineEdit>(tab1, "noteTab1")->setText(QStringLiteral("bench %1").arg(++serial));
        },
        [&] { child<QAbstractButton>(tab1, "addMaintBtn")->click(); });
    if (historySize() != before + g_runs)
        std::printf("| (Add wrote %lld records, not %d) | | | | |\n", qlonglong(historySize() - before),
                    g_runs);

    timeAction(
        "tab 1 Change",
        [&] {
            const int r = int(table1->model()->rowCount() / 2);
            table1->selectRow(r);
            w->logTab()->respondToTableViewDblClickTab1(r);
            child<QLineEdit>(tab1, "noteTab1")->setText(QStringLiteral("changed %1").arg(++serial));
        },
        [&] { child<QAbstractButton>(tab1, "changeBtnTab1")->click(); });

    const qsizetype beforeDelete = historySize();
    timeAction(
        "tab 1 Delete",
        [&] {
            const int r = int(table1->model()->rowCount() / 3);
            table1->selectRow(r);
            w->logTab()->respondToTableViewDblClickTab1(r);
        },
        [&] { child<QAbstractButton>(tab1, "deleteBtnTab1")->click(); });
    if (historySize() != beforeDelete - g_runs)
        std::printf("| (Delete took %lld records, not %d) | | | | |\n",
                    qlonglong(beforeDelete - historySize()), g_runs);

    for (int to : {1, 2, 3, 0}) {
        const QByteArray name = QStringLiteral("switch to tab %1").arg(to + 1).toUtf8();
        timeAction(
            name.constData(), [&] { tabs->setCurrentIndex(to == 0 ? 3 : to - 1); },
            [&] { tabs->setCurrentIndex(to); });
    }

    tabs->setCurrentIndex(1);
    QWidget *tab2 = child<QWidget>(w.get(), "tabMaintenanceDue");
    for (const char *mode : {"radioLatestTab2", "radioAllTab2", "radioOverdueTab2"}) {
        const QByteArray name = QByteArray("tab 2 Show, ") + QByteArray(mode).mid(5).chopped(4).toLower();
        timeAction(
            name.constData(), [&] { child<QRadioButton>(tab2, mode)->setChecked(true); },
            [&] { child<QAbstractButton>(tab2, "showBtnTab2")->click(); });
    }

    tabs->setCurrentIndex(2);
    QWidget *tab3 = child<QWidget>(w.get(), "tabCostAnalysis");
    wideRange(tab3, "beginDateTab3", "endDateTab3");
    timeAction("tab 3 Show with chart", nullptr,
               [&] { child<QAbstractButton>(tab3, "showBtnTab3")->click(); });

    tabs->setCurrentIndex(3);
    QWidget *tab4 = child<QWidget>(w.get(), "tabReports");
    wideRange(tab4, "beginDateTab4", "endDateTab4");
    if (!child<QCheckBox>(tab4, "reportByPropertyTab4")->isChecked())
        child<QCheckBox>(tab4, "reportByPropertyTab4")->click();
    QStringList documents;
    kov::AlertCenter::instance()->urlOpener = [&](const QUrl &u) {
        return documents.append(u.toLocalFile()), true;
    };
    timeAction(
        "report 1 to PDF, everything", nullptr,
        [&] { child<QAbstractButton>(tab4, "printBtnTab4")->click(); });
    const qint64 pdfBytes = documents.isEmpty() ? 0 : QFileInfo(documents.last()).size();
    for (const QString &d : documents)
        QFile::remove(d);

    for (const QString &file :
         {kov::PropertyFileForKOV, kov::ProviderFileForKOV, kov::ServiceTaskFileForKOV}) {
        const QByteArray name = (QStringLiteral("open sheet ") + file).toUtf8();
        kov::ReferenceSheet *sheet = w->sheetFor(file);
        timeAction(name.constData(), nullptr, [&] { sheet->showOneSheet(); });
        sheet->sheetCloseBtnPressed();
        settle();
    }
    tabs->setCurrentIndex(0);
    const long peakKb = vmHwmKb();
    w.reset();

    // The window is closed outside the timing.
    std::unique_ptr<kov::MainWindow> started;
    timeAction(
        "start-up until idle (in process)", [&] { started.reset(); }, [&] { started = startWindow(); });
    started.reset();

    std::printf("\nTab 1 showed %lld rows; report 1 was %.1f MB of PDF.\n", qlonglong(shown),
                double(pdfBytes) / 1e6);
    std::printf("This process's peak memory (VmHWM) with one window through every action: %.0f MiB.\n\n",
                double(peakKb) / 1024);
    kov::setDataFolderOverride(QString());
}

void wholeProcesses(const QString &folder, const QString &self)
{
    // Kept to the end: the commands run again beside plistlib.
    static QTemporaryDir scratch;
    const QString data = scratch.filePath(QStringLiteral("Tolvanderwerks"));
    copyFolder(folder, data);

    // The window's start-up as a process: spawned, timed by the child
    // itself from main until idle, and as a whole.
    std::vector<double> whole, inside, insideCpu;
    long rss = 0;
    for (int i = 0; i < g_runs; ++i) {
        QProcess p;
        p.start(self, {QStringLiteral("--startup-only"), data});
        QElapsedTimer t;
        t.start();
        p.waitForFinished(-1);
        whole.push_back(double(t.nsecsElapsed()) / 1e6);
        const QList<QByteArray> parts = p.readAllStandardOutput().trimmed().split(' ');
        inside.push_back(parts.value(0).toDouble());
        rss = std::max(rss, parts.value(1).toLong());
        insideCpu.push_back(parts.value(2).toDouble());
    }
    row("window process: launch until idle", whole, {},
        QStringLiteral("VmHWM %1 MiB").arg(double(rss) / 1024, 0, 'f', 0));
    row("window process: launch until idle, CPU of the whole process", inside, insideCpu,
        QStringLiteral("wall: from main until idle"));

    const QString cli = QStringLiteral(KOV_CLI_PATH);
    const QStringList base{cli, QStringLiteral("--data-dir"), data};
    const QString from = QStringLiteral("2000-01-01");
    timeProcess("`kov-cli check`", base + QStringList{QStringLiteral("check")});
    timeProcess("`kov-cli log --from 2000-01-01 --format json`",
                base + QStringList{QStringLiteral("log"), QStringLiteral("--from"), from,
                                   QStringLiteral("--format"), QStringLiteral("json")});
    timeProcess("`kov-cli due`", base + QStringList{QStringLiteral("due")});
    timeProcess("`kov-cli costs --from 2000-01-01`",
                base + QStringList{QStringLiteral("costs"), QStringLiteral("--from"), from});
    static QTemporaryDir out;
    timeProcess("`kov-cli report 1 --from 2000-01-01`",
                base + QStringList{QStringLiteral("report"), QStringLiteral("1"), QStringLiteral("--from"),
                                   from, QStringLiteral("--output"), out.path()});
}

// KOV's reader and writer against plistlib on the same history file, timed
// inside (no start-up). A shared machine runs faster and slower by turns, so
// each run of KOV is paired with a run of plistlib made right after it, and
// the ratio is the median of the pairs' ratios.
void againstPlistlib(const QString &folder)
{
    const QString path = folder + QStringLiteral("/PropertyHistoryFileForKOV");
    static const char *script = R"(
import plistlib, sys, time
t = time.process_time()
with open(sys.argv[1], 'rb') as f:
    value = plistlib.load(f)
read = time.process_time() - t
t = time.process_time()
plistlib.dumps(value, sort_keys=True)
print(read * 1e3, (time.process_time() - t) * 1e3)
)";
    auto plistlibRun = [&] {
        QProcess py;
        py.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
        py.waitForFinished(-1);
        const QList<QByteArray> p = py.readAllStandardOutput().trimmed().split(' ');
        return std::pair(p.value(0).toDouble(), p.value(1).toDouble());
    };
    std::vector<double> readMs, writeMs, readCpu, writeCpu, pyRead, pyWrite, readRatio, writeRatio;
    QByteArray written;
    for (int i = 0; i < g_runs; ++i) {
        kov::DataFileStatus status;
        QElapsedTimer t;
        t.start();
        double c = cpuMs();
        const kov::RecordList records = kov::readDataFile(path, &status);
        readMs.push_back(double(t.nsecsElapsed()) / 1e6);
        readCpu.push_back(cpuMs() - c);
        QVariantList list;
        for (const kov::Record &r : records)
            list.append(r);
        t.start();
        c = cpuMs();
        written = kov::writePlist(list);
        writeMs.push_back(double(t.nsecsElapsed()) / 1e6);
        writeCpu.push_back(cpuMs() - c);
        const auto [read, write] = plistlibRun();
        pyRead.push_back(read);
        pyWrite.push_back(write);
        readRatio.push_back(read / readCpu.back());
        writeRatio.push_back(write / writeCpu.back());
    }
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const bool same = written == f.readAll();
    // Ratios of CPU time, which another program on the machine disturbs least.
    row("KOV reader (file to records)", readMs, readCpu,
        QStringLiteral("plistlib %1 ms CPU: **%2× as fast**")
            .arg(median(pyRead), 0, 'f', 1)
            .arg(median(readRatio), 0, 'f', 1));
    row("KOV writer (records to bytes)", writeMs, writeCpu,
        QStringLiteral("plistlib %1 ms CPU: **%2× as fast**; bytes %3")
            .arg(median(pyWrite), 0, 'f', 1)
            .arg(median(writeRatio), 0, 'f', 1)
            .arg(same ? QStringLiteral("identical to the file") : QStringLiteral("DIFFER from the file")));
    const QStringList pyLoad{QStringLiteral("/usr/bin/python3"), QStringLiteral("-c"),
                             QStringLiteral("import plistlib,sys; plistlib.load(open(sys.argv[1],'rb'))"), path};
    timeProcess("`python3` plistlib load, whole process", pyLoad);
    std::printf("\n| whole process, as a share of plistlib's load (median of %d pairs, each run beside one of "
                "plistlib) | wall | CPU |\n|---|---:|---:|\n",
                g_runs);
    for (const auto &[name, args] : std::as_const(g_commands)) {
        std::vector<double> wall, cpu;
        for (int i = 0; i < g_runs; ++i) {
            const ProcessRun kov = spawn(args);
            const ProcessRun py = spawn(pyLoad);
            wall.push_back(kov.ms / py.ms);
            if (py.cpuMs > 0)
                cpu.push_back(kov.cpuMs / py.cpuMs);
        }
        std::printf("| %s | %.2f | %.2f |\n", qPrintable(name), median(wall), cpu.empty() ? 0.0 : median(cpu));
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tolvanderwerks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOV bench"));
    QStringList args = app.arguments();
    const bool startup = args.removeAll(QStringLiteral("--startup-only")) > 0;
    const bool plistlib = args.removeAll(QStringLiteral("--plistlib")) > 0;
    // The window's actions alone, for a profiler.
    const bool windowOnly = args.removeAll(QStringLiteral("--window-only")) > 0;
    const qsizetype runsAt = args.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < args.size()) {
        g_runs = std::max(1, args.at(runsAt + 1).toInt());
        args.remove(runsAt, 2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kov_bench DATAFOLDER [--runs N] [--plistlib] [--window-only]\n");
        return 2;
    }
    const QString folder = QDir(args.at(1)).absolutePath();
    QObject::connect(kov::AlertCenter::instance(), &kov::AlertCenter::alertShown, &app, [] { ++g_alerts; });
    kov::AlertCenter::instance()->showSheets = false;
    kov::AlertCenter::instance()->modalAnswer = [](const kov::AlertRecord &) {
        return kov::AlertFirstButtonReturn;
    };
    if (startup) {
        kov::setDataFolderOverride(folder);
        return startupOnly();
    }
    QSettings().clear();

    std::printf("| action | median ms | CPU ms | range ms | notes |\n|---|---:|---:|---:|---|\n");
    windowActions(folder);
    if (windowOnly)
        return 0;
    std::printf("| whole process | median ms | CPU ms | range ms | notes |\n|---|---:|---:|---:|---|\n");
    wholeProcesses(folder, QCoreApplication::applicationFilePath());
    if (plistlib) {
        std::printf(
            "\n| against plistlib | median ms | CPU ms | range ms | notes |\n|---|---:|---:|---:|---|\n");
        againstPlistlib(folder);
    }
    return 0;
}
