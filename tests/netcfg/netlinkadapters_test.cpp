// The adapter listing against the kernel, inside a namespace the test creates (needs root).
#include "platform/linux/netlinkadapters.h"

#include <gtest/gtest.h>

#include "testnetns.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

// Lists from a thread that has entered the namespace; the calling thread stays where it is.
std::vector<NetAdapter> listIn(TestNetns& ns, IpHelper& routes) {
    std::vector<NetAdapter> out;
    const QByteArray path = ("/run/netns/" + ns.name()).toLocal8Bit();
    std::thread t([&] {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        const bool entered = setns(fd, CLONE_NEWNET) == 0;
        ::close(fd);
        if (entered) out = listnetlinkadapters(routes);
    });
    t.join();
    return out;
}

const NetAdapter* find(const std::vector<NetAdapter>& list, const char* name) {
    for (const NetAdapter& a : list)
        if (a.name == QLatin1String(name)) return &a;
    return nullptr;
}

TEST(NetlinkAdapters, ListsAddressesAndTheGatewayOfEachInterface) {
    TestNetns ns;
    if (!ns.unusable().isEmpty()) GTEST_SKIP() << ns.unusable().toStdString();
    ASSERT_TRUE(ns.in({"addr", "add", "10.200.0.12/24", "dev", "zr0"}));  // a secondary
    ASSERT_TRUE(ns.in({"route", "add", "172.16.0.0/12", "via", "10.200.1.254", "dev", "zr2"}));
    auto routes = ns.openIpHelper();
    ASSERT_TRUE(routes);

    const std::vector<NetAdapter> list = listIn(ns, *routes);
    for (std::size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i - 1].index, list[i].index);
    const NetAdapter* zr0 = find(list, "zr0");
    const NetAdapter* zr2 = find(list, "zr2");
    const NetAdapter* zr1 = find(list, "zr1");
    const NetAdapter* lo = find(list, "lo");
    ASSERT_TRUE(zr0 && zr2 && zr1 && lo);
    EXPECT_EQ(zr0->index, ns.ifIndex(QStringLiteral("zr0")));
    EXPECT_EQ(zr0->gateway, QStringLiteral("10.200.0.254"));  // the default route's
    EXPECT_EQ(zr0->addresses, (QStringList{"10.200.0.1", "10.200.0.12"}));
    EXPECT_EQ(zr2->gateway, QStringLiteral("10.200.1.254"));
    EXPECT_EQ(zr2->addresses, QStringList{"10.200.1.1"});
    EXPECT_TRUE(zr1->gateway.isEmpty());
    EXPECT_TRUE(zr1->addresses.isEmpty());
    EXPECT_EQ(lo->addresses, QStringList{"127.0.0.1"});
}

}  // namespace
