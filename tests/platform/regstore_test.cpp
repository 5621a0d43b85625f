#include "platform/regstore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace zenrun;

namespace {
const QString kKey = QStringLiteral("\\Software\\zididov");

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
}  // namespace

TEST(RegStore, KeepsTypesAcrossARestart) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user.reg"));
    const QString machine = dir.filePath(QStringLiteral("machine.reg"));
    {
        RegStore reg(user, machine);
        reg.writeString(Hive::CurrentUser, kKey, QStringLiteral("username"),
                        QStringLiteral("  张三 \"x\\y\"\n2 "));
        reg.writeInteger(Hive::CurrentUser, kKey, QStringLiteral("savepassword"), 1);
        reg.writeInteger(Hive::CurrentUser, kKey, QStringLiteral("negative"), -5);
        reg.writeString(Hive::LocalMachine, QStringLiteral("SOFTWARE\\ravadeviz"),
                        QStringLiteral("AREACombobox2"), QStringLiteral("3"));
    }
    RegStore again(user, machine);
    EXPECT_EQ(again.readString(Hive::CurrentUser, kKey, QStringLiteral("USERNAME")),
              QStringLiteral("  张三 \"x\\y\"\n2 "));
    EXPECT_EQ(again.readInteger(Hive::CurrentUser, QStringLiteral("software\\ZIDIDOV"),
                                QStringLiteral("savepassword")),
              1);
    EXPECT_EQ(again.readInteger(Hive::CurrentUser, kKey, QStringLiteral("negative")), -5);
    EXPECT_EQ(again.readString(Hive::LocalMachine, QStringLiteral("\\SOFTWARE\\ravadeviz"),
                               QStringLiteral("AREACombobox2")),
              QStringLiteral("3"));
    // Hives do not see each other.
    EXPECT_FALSE(again.keyExists(Hive::LocalMachine, kKey));
    EXPECT_TRUE(readFile(user).startsWith(QStringLiteral("Windows Registry Editor Version 5.00")));
    EXPECT_TRUE(readFile(user).contains(QStringLiteral("\"savepassword\"=dword:00000001")));
    EXPECT_EQ(QFileInfo(user).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFileDevice::Permissions());
}

TEST(RegStore, MissingValuesReadEmptyAndWrongTypesRaise) {
    RegStore reg;
    EXPECT_FALSE(reg.readString(Hive::CurrentUser, kKey, QStringLiteral("nothing")).has_value());
    EXPECT_FALSE(reg.readInteger(Hive::CurrentUser, kKey, QStringLiteral("nothing")).has_value());
    reg.writeString(Hive::CurrentUser, kKey, QStringLiteral("savelang"), QStringLiteral("1"));
    reg.writeInteger(Hive::CurrentUser, kKey, QStringLiteral("savepassword"), 0);
    EXPECT_THROW(reg.readInteger(Hive::CurrentUser, kKey, QStringLiteral("savelang")),
                 RegistryError);
    EXPECT_THROW(reg.readString(Hive::CurrentUser, kKey, QStringLiteral("savepassword")),
                 RegistryError);
}

TEST(RegStore, AFailedWriteLeavesFileAndMemoryAsTheyWere) {
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("hive"));
    QDir().mkpath(sub);
    const QString user = sub + QStringLiteral("/user.reg");
    RegStore reg(user, {});
    reg.writeString(Hive::CurrentUser, kKey, QStringLiteral("a"), QStringLiteral("old"));
    const QString before = readFile(user);

    // A folder nobody may write into: the replace cannot happen. Root ignores modes, so a
    // file standing where the folder should be makes the same failure for everyone.
    RegStore blocked(dir.filePath(QStringLiteral("hive/user.reg/child.reg")), {});
    EXPECT_THROW(
        blocked.writeString(Hive::CurrentUser, kKey, QStringLiteral("a"), QStringLiteral("x")),
        RegistryError);
    EXPECT_FALSE(blocked.valueExists(Hive::CurrentUser, kKey, QStringLiteral("a")));
    EXPECT_EQ(readFile(user), before);

    // No temporary files are left beside the hive.
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList{QStringLiteral("user.reg")});
}

TEST(RegStore, ParsesWhatItWritesAndSkipsForeignLines) {
    const QString text = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\zididov]\r\n"
        "\"username\"=\"bob\"\r\n"
        "\"savepassword\"=dword:ffffffff\r\n"
        "\"broken\"=hex:00\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\other]\r\n"
        "\"x\"=\"y\"\r\n");
    const auto data = RegStore::parse(text, Hive::CurrentUser);
    ASSERT_EQ(data.size(), 1u);
    const auto& key = data.at(QStringLiteral("software\\zididov"));
    EXPECT_EQ(std::get<QString>(key.values.at(QStringLiteral("username")).value),
              QStringLiteral("bob"));
    EXPECT_EQ(std::get<qint32>(key.values.at(QStringLiteral("savepassword")).value), -1);
    EXPECT_EQ(key.values.count(QStringLiteral("broken")), 0u);
    EXPECT_EQ(
        RegStore::parse(RegStore::serialize(Hive::CurrentUser, data), Hive::CurrentUser).size(),
        1u);
}

// A key path is the bracketed header of its section in the file: a line break in it would
// end the header early and let the rest of the path pose as a key of its own.
TEST(RegStore, KeyPathsWithLineBreaksAreRefused) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("user.reg"));
    RegStore reg(file);
    reg.writeString(Hive::CurrentUser, kKey, QStringLiteral("username"), QStringLiteral("bob"));
    const QString before = readFile(file);
    for (const QString& path :
         {QStringLiteral("Software\\x\n[HKEY_CURRENT_USER\\Software\\zididov]"),
          QStringLiteral("a\rb")}) {
        EXPECT_THROW(reg.writeString(Hive::CurrentUser, path, QStringLiteral("username"),
                                     QStringLiteral("mallory")),
                     RegistryError);
        EXPECT_THROW(reg.writeInteger(Hive::CurrentUser, path, QStringLiteral("n"), 1),
                     RegistryError);
        EXPECT_THROW(reg.createKey(Hive::CurrentUser, path), RegistryError);
    }
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(RegStore(file).readString(Hive::CurrentUser, kKey, QStringLiteral("username")),
              QStringLiteral("bob"));
    // Line breaks in names and values are escaped, and come back.
    const QString odd = QStringLiteral("a\nb\r\"c\\");
    reg.writeString(Hive::CurrentUser, kKey, odd, odd);
    EXPECT_EQ(RegStore(file).readString(Hive::CurrentUser, kKey, odd), odd);
}
