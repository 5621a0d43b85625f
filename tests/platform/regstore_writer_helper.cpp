// Writes to a registry store file without end, one value per write, until it is killed:
//   regstore_writer_helper <file>
// It carries on from what the file holds. Write n sets "pad<n mod 20>" to "n-" repeated
// 50 times, so every whole state of the file follows from the highest n in it
// (regstore_kill_test checks that the file is always exactly such a state).
#include <cstdio>

#include "platform/regstore.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    zenrun::RegStore reg(QString::fromLocal8Bit(argv[1]));
    const QString key = QStringLiteral("Software\\zididov");
    long long n = 0;
    for (int j = 0; j < 20; ++j) {
        const auto v = reg.readString(zenrun::Hive::CurrentUser, key,
                                      QStringLiteral("pad%1").arg(j, 2, 10, QLatin1Char('0')));
        if (v) n = std::max(n, v->section(QLatin1Char('-'), 0, 0).toLongLong());
    }
    std::puts("writing");
    std::fflush(stdout);
    for (;;) {
        ++n;
        reg.writeString(zenrun::Hive::CurrentUser, key,
                        QStringLiteral("pad%1").arg(n % 20, 2, 10, QLatin1Char('0')),
                        QStringLiteral("%1-").arg(n).repeated(50));
    }
}
