// SPDX-License-Identifier: GPL-3.0-or-later
// Times saving and loading a configuration kept in a large INI file among many other
// sections, and opening a file of nothing but line breaks at the size bound: time and peak
// resident memory, each in a process of its own. Prints the median of several runs; not a test.
#include "files/ConfigFile.h"
#include "files/OpenFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace veldo;

namespace {

constexpr int kOtherSections = 10000;
constexpr int kRuns = 9;

QByteArray otherSections()
{
    QByteArray text;
    for (int i = 0; i < kOtherSections; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "[Other section " + n + "]\nName=Some value held by entry " + n
              + "\nPath=/home/user/documents/folder/" + n + ".txt\nCount=" + n + "\n\n";
    }
    return text;
}

SwitchConfig configNumber(int run)
{
    SwitchConfig config;
    for (int m = 0; m < kCodeCount; ++m) {
        const int number = run * kCodeCount + m;
        config.setCode(m, QStringLiteral("%1").arg(number, kCodeLength, 16, QLatin1Char('0')).toUpper());
    }
    for (int output = 0; output < kOutputCount; ++output)
        config.outputs.at(std::size_t(output)).type = OutputType((output + run) % kTypeCount);
    return config;
}

template <typename Operation>
double medianMilliseconds(Operation operation)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!operation(run))
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

struct LineBreaks {
    const char *name;
    QByteArray start; // a byte order mark, or nothing
    QByteArray lineBreak;
};

// Opens a file of one kind of line break as large as a file may be, in a child process so
// that its peak memory is its own; prints time and peak.
bool openLineBreaks(const QString &path, const LineBreaks &breaks)
{
    {
        QFile file(path);
        const qsizetype count = (qsizetype(kMaxConfigFileSize) - breaks.start.size()) / breaks.lineBreak.size();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(breaks.start + breaks.lineBreak.repeated(count)) < 0)
            return false;
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        QElapsedTimer timer;
        timer.start();
        SwitchConfig config;
        const bool ok = loadConfigFile(path, config).ok();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("Open of 16 MiB of %s line breaks: %.0f ms, peak %.0f MiB\n", breaks.name, ms, double(usage.ru_maxrss) / 1024);
        std::fflush(stdout);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.ini"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(otherSections()) < 0)
        return 1;
    file.close();
    if (!saveConfigFile(path, configNumber(0)).ok())
        return 1;

    const double save =
        medianMilliseconds([&](int run) { return saveConfigFile(path, configNumber(run)).ok(); });
    SwitchConfig loaded;
    const double load = medianMilliseconds([&](int) { return loadConfigFile(path, loaded).ok(); });
    std::printf("file: %lld bytes, %d other sections\n", QFile(path).size(), kOtherSections);
    std::printf("saveConfigFile: %.2f ms (median of %d)\n", save, kRuns);
    std::printf("loadConfigFile: %.2f ms (median of %d)\n", load, kRuns);
    const LineBreaks kinds[] = {{"LF", "", "\n"}, {"CR", "", "\r"}, {"CRLF", "", "\r\n"}, {"UTF-16 LF", "\xFF\xFE", QByteArray("\n\0", 2)}};
    bool opened = true;
    for (const LineBreaks &breaks : kinds)
        opened = openLineBreaks(dir.filePath(QStringLiteral("breaks.ini")), breaks) && opened;
    return save < 0 || load < 0 || !opened ? 1 : 0;
}
