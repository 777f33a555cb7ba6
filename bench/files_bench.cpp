// Times saving and loading a configuration kept in a large INI file among many other
// sections. Prints the median of several runs; not a test.
#include "files/ConfigFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

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

template<typename Operation>
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

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.ini"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(otherSections()) < 0)
        return 1;
    file.close();
    if (!saveConfigFile(path, configNumber(0)).ok)
        return 1;

    const double save =
        medianMilliseconds([&](int run) { return saveConfigFile(path, configNumber(run)).ok; });
    SwitchConfig loaded;
    const double load = medianMilliseconds([&](int) { return loadConfigFile(path, loaded).ok; });
    std::printf("file: %lld bytes, %d other sections\n", QFile(path).size(), kOtherSections);
    std::printf("saveConfigFile: %.2f ms (median of %d)\n", save, kRuns);
    std::printf("loadConfigFile: %.2f ms (median of %d)\n", load, kRuns);
    return save < 0 || load < 0 ? 1 : 0;
}
