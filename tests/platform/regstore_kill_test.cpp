// The registry store killed with SIGKILL in the middle of its writes, again and again: the
// file is always one whole state (the old or the new one), never a mix or a torn half.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include "platform/regstore.h"

namespace zenrun {
namespace {

// What the file holds after write n of the writer helper.
QByteArray stateafter(long long n) {
    RegStore::HiveData data;
    RegStore::Key& key = data[QStringLiteral("software\\zididov")];
    key.path = QStringLiteral("Software\\zididov");
    for (long long m = std::max(1LL, n - 19); m <= n; ++m) {
        const QString name = QStringLiteral("pad%1").arg(m % 20, 2, 10, QLatin1Char('0'));
        key.values[name] = {name, QStringLiteral("%1-").arg(m).repeated(50)};
    }
    return RegStore::serialize(Hive::CurrentUser, data).toUtf8();
}

long long highest(const QByteArray& file) {
    long long n = 0;
    for (const auto& [path, key] : RegStore::parse(QString::fromUtf8(file), Hive::CurrentUser))
        for (const auto& [name, entry] : key.values)
            if (const auto* s = std::get_if<QString>(&entry.value))
                n = std::max(n, s->section(QLatin1Char('-'), 0, 0).toLongLong());
    return n;
}

TEST(RegStoreKilled, FileIsAlwaysAWholeState) {
    const int trials = qEnvironmentVariableIsSet("ZENRUN_KILL_TRIALS")
                           ? qEnvironmentVariableIntValue("ZENRUN_KILL_TRIALS")
                           : 40;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("zenrun/user.reg"));
    long long last = 0;
    int advanced = 0;
    for (int t = 0; t < trials; ++t) {
        QProcess writer;
        writer.start(QStringLiteral(REGSTORE_WRITER_HELPER), {file});
        ASSERT_TRUE(writer.waitForStarted(10000));
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << "the writer did not start writing";
        QThread::usleep(QRandomGenerator::global()->bounded(50000));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit);

        QFile f(file);
        if (!f.exists()) {
            ASSERT_EQ(last, 0) << "trial " << t << ": the file vanished";
            continue;
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        const long long n = highest(text);
        ASSERT_GE(n, last) << "trial " << t << ": the file went back";
        ASSERT_EQ(text, stateafter(n))
            << "trial " << t << ": not a whole state after write " << n << ":\n"
            << text.left(400).toStdString();
        ASSERT_EQ(f.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
        if (n > last) ++advanced;
        last = n;
    }
    // The kills did not all land before the first write (how many writes fit in a trial
    // depends on how busy the machine is).
    EXPECT_GT(advanced, 0);
    // A kill before the atomic replace may leave its temporary file; the next start of a
    // store removes those that are old enough to belong to no running write.
    QDir folder(dir.filePath(QStringLiteral("zenrun")));
    const QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : left) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                      QFileDevice::FileModificationTime);
    }
    RegStore(file).readString(Hive::CurrentUser, QStringLiteral("Software\\zididov"),
                              QStringLiteral("pad00"));
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("user.reg")})
        << "left by the kills: " << left.join(QLatin1Char(' ')).toStdString();
    std::printf("temporary files left by the kills: %lld\n",
                static_cast<long long>(left.size() - 1));
    std::printf("%d kills, %d of them after new writes, %lld writes in all\n", trials, advanced,
                last);
}

}  // namespace
}  // namespace zenrun
