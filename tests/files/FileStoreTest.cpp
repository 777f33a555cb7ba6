// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DiskCalls.h"
#include "files/FileReason.h"
#include "files/FileStore.h"
#include "files/IniFile.h"
#include "files/OpenFile.h"

#include "support/FileFixture.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace veldo;
using namespace veldo::test;
using namespace Qt::StringLiterals;

namespace {

// Both longer than a full disk lets a file grow; the new one shorter, so that an in-place
// write must cut the old end off.
const QByteArray kBefore = ';' + QByteArray(2000, '-') + "\n[Output0]\nCode A=111111111111\n";
const QByteArray kAfter = ';' + QByteArray(1500, '-') + "\n[Output1]\nCode A=222222222222\n";
constexpr char kAttribute[] = "user.veldo";
constexpr int kSizeLimit = 1024;

QByteArray nameOf(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat statusOf(const QString &path)
{
    struct stat status {};
    ::stat(nameOf(path).constData(), &status);
    return status;
}

QByteArray attributeOf(const QString &path)
{
    char value[16];
    const ssize_t size = ::getxattr(nameOf(path).constData(), kAttribute, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, size);
}

QStringList entriesOf(const QDir &folder)
{
    return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The disk calls of a save in turn, each write at most 512 bytes; the one at place failing
// (from 1) fails with EIO and is marked '!'. The mode of the file written is kept.
struct DiskLog {
    static inline QStringList calls;
    static inline int failing = 0;
    static inline mode_t mode = 0;
    static bool fails(const char *call)
    {
        calls << QString::fromLatin1(call) + (calls.size() + 1 == failing ? "!" : "");
        errno = EIO;
        return calls.size() == failing;
    }
    static ssize_t write(int fd, const void *bytes, size_t size, off_t at)
    {
        mode = statusOf(u"/proc/self/fd/"_s + QString::number(fd)).st_mode & 07777;
        return fails("write") ? -1 : ::pwrite(fd, bytes, std::min<size_t>(size, 512), at);
    }
    static int sync(int fd) { return fails("sync") ? -1 : ::fsync(fd); }
    static int rename(int from, const char *name, int to, const char *newName, unsigned flags) { return fails("rename") ? -1 : ::renameat2(from, name, to, newName, flags); }
};

} // namespace

// A save of a file that others may see: the folder's mode; the owner and group of the file,
// mode 0666; "hard" or "sym" link, "full disk", or none; whether it is saved by a rename (it is
// saved unless the disk is full). Rows named "nobody, ..." save as nobody.
using SaveCase = std::tuple<int, int, QString, bool>;

// A file beside the saved one: its name, where "PID" stands for this process's; whether it is
// old; whether another user owns it; whether the save removes it.
using StaleCase = std::tuple<QString, bool, bool, bool>;

// What is put under the name; the reason a read gives ("": read; empty for a name with nothing
// under it); the reason a save gives ("": saved).
using Refusal = std::tuple<QString, QString, QString>;

class FileStoreTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir.isValid() && ::chmod(nameOf(dir.path()).constData(), 0755) == 0); }

    void saveKeepsWhatOthersSee_data()
    {
        QTest::addColumn<SaveCase>("saveCase");

        const int other = 4321, root = 0, nobody = int(kNobodyUid);
        QTest::newRow("writable folder") << SaveCase{0755, other, "", true};
        QTest::newRow("read-only folder") << SaveCase{0555, other, "", false};
        QTest::newRow("hard link") << SaveCase{0755, other, "hard", false};
        QTest::newRow("symlink") << SaveCase{0755, other, "sym", true};
        QTest::newRow("full disk, in place") << SaveCase{0555, other, "full disk", false};
        QTest::newRow("nobody, read-only folder") << SaveCase{0555, nobody, "", false};
        QTest::newRow("nobody, sticky folder, root's file") << SaveCase{01777, root, "", false};
    }

    void saveKeepsWhatOthersSee()
    {
        if (!isRoot())
            QSKIP("hands files to other users: run as root");
        QFETCH(SaveCase, saveCase);
        const auto &[folderMode, owner, setup, renamed] = saveCase;
        const bool asNobody = QByteArray(QTest::currentDataTag()).startsWith("nobody"), saved = setup != "full disk";
        const QDir folder(dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
        const QString file = folder.filePath(QString(246, u'c') + u".ini"_s); // 250 bytes, too long for a temporary name
        QString saveAs = file;
        QVERIFY(folder.mkpath(u"."_s) && putFileBytes(file, kBefore));
        QVERIFY(::chown(nameOf(file).constData(), uid_t(owner), gid_t(owner)) == 0 && ::chmod(nameOf(file).constData(), 0666) == 0);
        const bool withAttribute = ::setxattr(nameOf(file).constData(), kAttribute, "kept", 4, 0) == 0;
        if (setup == "hard")
            QVERIFY(::link(nameOf(file).constData(), nameOf(folder.filePath(u"other.ini"_s)).constData()) == 0);
        if (setup == "sym") // beside the folder: only the target's folder counts
            QVERIFY(QFile::link(file, saveAs = folder.path() + u".ini"_s));
        const struct stat before = statusOf(file);
        const QStringList entries = entriesOf(folder);
        QVERIFY(::chmod(nameOf(folder.path()).constData(), mode_t(folderMode)) == 0);

        const int outcome = runInChild([&saveAs] {
            const FileResult result = replaceFileBytes(saveAs, kAfter);
            return result.ok() ? 0 : fileReason(result).isEmpty() ? 2 : 1;
        }, {.dropToNobody = asNobody, .fileSizeLimit = setup == "full disk" ? std::optional<unsigned long>(kSizeLimit) : std::nullopt});
        const struct stat after = statusOf(file);
        QVERIFY2(outcome == (saved ? 0 : 1), "saved, or refused with a reason");
        QCOMPARE(fileBytes(file), saved ? kAfter : kBefore);
        QCOMPARE(after.st_ino != before.st_ino, renamed);
        const auto seen = [](const struct stat &s) { return std::tuple(s.st_uid, s.st_gid, s.st_mode, s.st_nlink); };
        QVERIFY2(seen(after) == seen(before), "owner, group, mode and links kept");
        QCOMPARE(attributeOf(file), withAttribute ? "kept"_ba : QByteArray());
        QCOMPARE(entriesOf(folder), entries);
        QVERIFY(setup != "sym" || QFileInfo(saveAs).isSymLink());
    }

    void removesOnlyItsOwnStaleTempFiles_data()
    {
        QTest::addColumn<StaleCase>("staleCase");
        QTest::newRow("old, of an ended save") << StaleCase{".veldo-999999999-aB3dE6.tmp", true, false, true};
        QTest::newRow("recent") << StaleCase{".veldo-999999999-aB3dE7.tmp", false, false, false};
        QTest::newRow("of this process") << StaleCase{".veldo-PID-aB3dE6.tmp", true, false, false};
        QTest::newRow("five random letters") << StaleCase{".veldo-999999999-aB3dE.tmp", true, false, false};
        QTest::newRow("another ending") << StaleCase{".veldo-999999999-aB3dE6.tmp.ini", true, false, false};
        QTest::newRow("another user's") << StaleCase{".veldo-999999999-aB3dE8.tmp", true, true, false};
    }

    void removesOnlyItsOwnStaleTempFiles()
    {
        QFETCH(StaleCase, staleCase);
        auto [name, old, othersFile, removed] = staleCase;
        if (othersFile && !isRoot())
            QSKIP("gives a file to another user: run as root");
        const QDir folder(dir.filePath(u"stale "_s + QString::fromLatin1(QTest::currentDataTag())));
        name.replace(u"PID"_s, QString::number(::getpid()));
        const QByteArray path = nameOf(folder.filePath(name));
        const timespec longAgo[2] = {{0, UTIME_OMIT}, {1, 0}};
        QVERIFY(folder.mkpath(u"."_s) && putFileBytes(folder.filePath(name), "mine"));
        QVERIFY(!old || ::utimensat(AT_FDCWD, path.constData(), longAgo, 0) == 0);
        QVERIFY(!othersFile || ::chown(path.constData(), 4321, 4321) == 0);
        QVERIFY(replaceFileBytes(folder.filePath(u"config.ini"_s), kAfter).ok());
        QCOMPARE(entriesOf(folder), (removed ? QStringList{u"config.ini"_s} : QStringList{name, u"config.ini"_s}));
    }

    void refusals_data()
    {
        QTest::addColumn<Refusal>("refusal");

        const QString denied = u"Permission denied"_s, tooLarge = u"The file is 40.0 GiB, more than a configuration file can be (16 MiB)"_s;
        QTest::newRow("read-only file") << Refusal{"0444", "", denied};
        QTest::newRow("write-only file") << Refusal{"0200", denied, ""};
        QTest::newRow("missing folder") << Refusal{"missing", "", "The folder does not exist"};
        QTest::newRow("new file in a read-only folder") << Refusal{"0555 folder", "", denied};
        QTest::newRow("folder") << Refusal{"folder", "The name is a folder, not a file", "The name is a folder, not a file"};
        QTest::newRow("pipe without a writer") << Refusal{"fifo", "The name is not a plain file", "The name is not a plain file"};
        QTest::newRow("40 GiB sparse file") << Refusal{"sparse", tooLarge, tooLarge};
    }

    void refusals()
    {
        QFETCH(Refusal, refusal);
        const auto &[kind, readReason, saveReason] = refusal;
        const bool nothingThere = kind == "missing" || kind.endsWith(u" folder");
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag())) + (nothingThere ? u"/x"_s : u""_s);
        const QByteArray name = nameOf(path);
        QFile file(path);
        const mode_t mode = mode_t(kind.left(4).toInt(nullptr, 8));
        if (kind.startsWith(u'0'))
            QVERIFY(kind.endsWith(u" folder") ? QDir().mkpath(path.chopped(2)) && ::chmod(nameOf(path.chopped(2)).constData(), mode) == 0
                                              : putFileBytes(path, kBefore) && ::chmod(name.constData(), mode) == 0);
        QVERIFY(kind != "folder" || QDir().mkpath(path));
        QVERIFY(kind != "fifo" || ::mkfifo(name.constData(), 0666) == 0);
        QVERIFY(kind != "sparse" || (file.open(QIODevice::WriteOnly) && file.resize(qint64(40) << 30)));
        const struct stat before = statusOf(path);
        QByteArray bytes = "shown";
        const FileResult read = readFileBytes(path, bytes);
        QCOMPARE(fileReason(read), readReason);
        QCOMPARE(bytes, readReason.isEmpty() && !nothingThere ? kBefore : QByteArray());
        QCOMPARE(fileReason(replaceFileBytes(path, kAfter)), saveReason);
        const struct stat after = statusOf(path);
        QCOMPARE(after.st_mode, before.st_mode);
        if (saveReason.isEmpty()) { // read back as the owner may: a write-only file is readable for root alone
            QVERIFY(::chmod(name.constData(), 0600) == 0);
            QCOMPARE(fileBytes(path), kAfter);
        }
        const auto kept = [](const struct stat &s) { return std::tuple(s.st_ino, s.st_size, s.st_blocks, s.st_mtim.tv_nsec); };
        QVERIFY2(saveReason.isEmpty() || kept(after) == kept(before), "a refused save changes nothing");
    }

    // A save that grows a file to the bound is written; one byte more, and nothing is.
    void sizeBoundIs16MiB()
    {
        const QString path = dir.filePath(u"bound"_s);
        const QByteArray before = "[S]\nk=\n" + QByteArray(16 * 1024 * 1024 - 7 - 10, ';'), value(10, 'v');
        const auto setTo = [&](const QByteArray &value) { return fileReason(editIniFile(path, [&](IniDocument &document) { return document.setValue(u"S"_s, u"k"_s, QString::fromLatin1(value)); })); };
        QVERIFY(putFileBytes(path, before));
        QCOMPARE(setTo(value + 'v'), u"The file would be 16.0 MiB, more than a configuration file can be (16 MiB); it was left as it was"_s);
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(setTo(value), QString());
        QCOMPARE(fileBytes(path), "[S]\nk=" + value + before.sliced(6));
        QCOMPARE(fileReason(checkFileSize(16 * 1024 * 1024)), QString());
        QCOMPARE(fileReason(checkFileSize(16 * 1024 * 1024 + 1)), u"The file is 16.0 MiB, more than a configuration file can be (16 MiB)"_s);
    }

    // Saved from a folder that holds a file of the same name: only the file named is read and
    // written, a fresh copy private from its first byte whatever the umask, the data flushed
    // before it takes the name or the save ends; a failed call leaves the file as it was.
    void saveGoesOnlyIntoItsFile_data()
    {
        QTest::addColumn<int>("failing"); // the call that fails, by its place among the calls; 0: none
        QTest::addColumn<QString>("calls");

        // Rows named "in place" hard-link the file, which keeps the save off the rename.
        QTest::newRow("by rename") << 0 << "write write write write sync rename sync";
        QTest::newRow("by rename, a write fails") << 3 << "write write write!";
        QTest::newRow("by rename, the flush fails") << 5 << "write write write write sync!";
        QTest::newRow("in place") << 0 << "write write write write sync";
        QTest::newRow("in place, a write fails") << 3 << "write write write! write write write write sync";
        QTest::newRow("in place, the flush fails") << 5 << "write write write write sync! write write write write sync";
    }

    void saveGoesOnlyIntoItsFile()
    {
        QFETCH(int, failing);
        QFETCH(QString, calls);
        const bool inPlace = QByteArray(QTest::currentDataTag()).startsWith("in place");
        const QDir folder(dir.filePath(u"names "_s + QString::fromLatin1(QTest::currentDataTag())));
        const QByteArray other = "[Output0]\r\nCode A=999999999999\r\n";
        QVERIFY(folder.mkpath(u"sub"_s) && putFileBytes(folder.filePath(u"config.ini"_s), other) && putFileBytes(folder.filePath(u"sub/config.ini"_s), kBefore));
        QVERIFY(::chmod(nameOf(folder.filePath(u"sub/config.ini"_s)).constData(), 0640) == 0);
        QVERIFY(!inPlace || ::link(nameOf(folder.filePath(u"sub/config.ini"_s)).constData(), nameOf(folder.filePath(u"sub/link.ini"_s)).constData()) == 0);
        const QStringList entries = entriesOf(QDir(folder.filePath(u"sub"_s)));
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        DiskLog::calls.clear(), DiskLog::failing = failing;
        const DiskCalls system = std::exchange(diskCalls(), DiskCalls{DiskLog::write, DiskLog::sync, DiskLog::rename});
        const mode_t umask = ::umask(0);
        const bool saved = WriteIniString(u"Output0"_s, u"Code A"_s, u"222222222222"_s, u"sub/config.ini"_s);
        ::umask(umask);
        diskCalls() = system;
        QVERIFY(QDir::setCurrent(home));
        QCOMPARE(DiskLog::mode, mode_t(inPlace ? 0640 : 0600));
        QCOMPARE(DiskLog::calls.join(u' '), calls);
        QCOMPARE(saved, failing == 0);
        QCOMPARE(fileBytes(folder.filePath(u"sub/config.ini"_s)), saved ? QByteArray(kBefore).replace("111111111111", "222222222222") : kBefore);
        QCOMPARE(fileBytes(folder.filePath(u"config.ini"_s)), other);
        QCOMPARE(entriesOf(QDir(folder.filePath(u"sub"_s))), entries);
    }

    void othersCannotRedirectASave_data()
    {
        QTest::addColumn<QString>("target"); // where another user's link in a sticky folder points
        QTest::addColumn<QString>("reason"); // rows "... after the read" swap the link in between read and write

        const QString placed = u"x.ini is a symbolic link that another user put in a shared folder; it is not followed"_s;
        QTest::newRow("root's file, swapped in after the read") << "secret" << "The file changed while it was being saved; nothing was written";
        QTest::newRow("root's file") << "secret" << placed;
        QTest::newRow("a file root would create") << "created.ini" << placed;
    }

    void othersCannotRedirectASave()
    {
        if (!isRoot())
            QSKIP("another user's link needs root to drop to nobody");
        QFETCH(QString, target);
        QFETCH(QString, reason);
        const bool afterRead = QByteArray(QTest::currentDataTag()).endsWith("after the read");
        const QDir shared(dir.filePath(u"shared-"_s + QString::fromLatin1(QTest::currentDataTag())));
        const QByteArray name = nameOf(shared.filePath(u"x.ini"_s)), swap = nameOf(shared.filePath(u"swap"_s));
        const QString secret = dir.filePath(u"secret"_s);
        const QByteArray targetPath = nameOf(dir.filePath(target));
        QVERIFY(shared.mkpath(u"."_s) && ::chmod(nameOf(shared.path()).constData(), 01777) == 0);
        QVERIFY(putFileBytes(secret, "root's own\n") && ::chmod(nameOf(secret).constData(), 0600) == 0);
        QVERIFY(putFileBytes(QFile::decodeName(name), kBefore) && ::chown(name.constData(), kNobodyUid, kNogroupGid) == 0);
        const auto placeLink = [&] {
            return runInChild([&] { return ::symlink(targetPath.constData(), swap.constData()) == 0
                                        && ::rename(swap.constData(), name.constData()) == 0 ? 0 : 1; },
                              {.dropToNobody = true});
        };
        QVERIFY(afterRead || placeLink() == 0);

        const FileResult saved = editIniFile(QFile::decodeName(name), [&](IniDocument &document) {
            return (!afterRead || placeLink() == 0) && document.setValue(u"Output1"_s, u"Code A"_s, u"222222222222"_s);
        });
        QCOMPARE(fileReason(saved), reason);
        QCOMPARE(fileBytes(secret), "root's own\n"_ba);
        QVERIFY2(!QFileInfo::exists(dir.filePath(u"created.ini"_s)), "no file created through the link");
        QVERIFY(QFileInfo(QFile::decodeName(name)).isSymLink());
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(FileStoreTest)
#include "FileStoreTest.moc"
