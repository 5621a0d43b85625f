// Connect against a zenrun-backend on loopback: every IP-check kind reaches link-up on the
// simulated dial-up, and a silent back-end costs the 4000 ms time-out.
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "backendfixture.h"
#include "platform/linux/qthttp.h"
#include "vpnrig.h"

namespace zenrun::testing {
namespace {

struct VpnAgainstBackend : VpnRig {
    std::unique_ptr<BackendFixture> backend;
    QtHttp http;

    void SetUp() override {
        VpnRig::SetUp();
        QJsonObject data = BackendFixture::demoData();
        // One line of each reply kind the demo data does not hold.
        QJsonArray areas = data[QStringLiteral("areas")].toArray();
        QJsonObject area = areas[0].toObject();
        QJsonArray lines = area[QStringLiteral("lines")].toArray();
        for (const char* kind : {"refuse", "empty"}) {
            QJsonObject l = lines[1].toObject();
            l[QStringLiteral("name")] = QStringLiteral("kind-") + QLatin1String(kind);
            l[QStringLiteral("address")] = QStringLiteral("127.0.2.%1").arg(lines.size());
            l[QStringLiteral("ipcheck")] = QLatin1String(kind);
            lines.append(l);
        }
        area[QStringLiteral("lines")] = lines;
        areas[0] = area;
        data[QStringLiteral("areas")] = areas;
        backend = std::make_unique<BackendFixture>(BackendFixture::Options{data, {}});
        ASSERT_TRUE(backend->started()) << backend->error().toStdString();
        sim.http.setHandler([this](const SimHttp::Request& r) {
            return r.method == QLatin1String("POST")
                       ? http.post(r.url, r.form, r.readTimeoutMs, r.userAgent)
                       : http.get(r.url, r.readTimeoutMs, r.userAgent);
        });
        // What the login and the first show leave behind for the demo account.
        session.username = QStringLiteral("demo");
        session.userpass = QStringLiteral("demo123");
        session.serverhost = backend->host();
        const LoginCodes lc = logincodes(session.username, session.userpass);
        const FirstShowCodes fs = firstshowcodes(lc.usercode, lc.passcode);
        session.chaincode1 = fs.chaincode1;
        session.chaincode2 = fs.chaincode2;
        session.viewcode = lc.viewcode;
        session.lineini = IniDocument::parse(gethtml(http, vpnlisturl(session, session.username)));
        ASSERT_FALSE(session.lineini.isEmpty());
        showlines();
    }
};

TEST_F(VpnAgainstBackend, EveryIpCheckKindReachesLinkUp) {
    const struct {
        const char* area;
        const char* line;
        bool dialaccount;
        QString dialUserPrefix;
    } cases[] = {
        {"华南", "广州电信", true, "demo"},   // accept
        {"华东", "上海电信2", false, "zr"},   // issue: a dial account of the back-end's
        {"华南", "深圳移动", true, "zr"},     // account: a dial name for the account's password
        {"华东", "上海电信1", true, "demo"},  // type 1: no IP check
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        pickarea(QString::fromUtf8(c.area));
        for (bool rotation : {false, true}) {
            pick(QString::fromUtf8(c.line));
            rotation ? connect->btn_conn2Click() : connect->btn_connClick();
            ASSERT_NE(session.connhandle, 0) << status().toStdString();
            const auto* conn = sim.ras.connection(session.connhandle);
            EXPECT_EQ(session.dialaccount, c.dialaccount);
            EXPECT_TRUE(conn->user.startsWith(c.dialUserPrefix)) << conn->user.toStdString();
            if (!c.dialaccount) {
                const QStringList grants = backend->grants();
                ASSERT_FALSE(grants.isEmpty());
                EXPECT_EQ(grants.last().split('\t').value(2), conn->user);
                EXPECT_EQ(grants.last().split('\t').value(3), conn->password);
            }
            sim.clock.advance(3000);
            EXPECT_TRUE(session.connected);
            EXPECT_EQ(status(), QStringLiteral("连接成功"));
            EXPECT_EQ(form->statuscheck->enabled(), !c.dialaccount);
            rotation ? disconnect->btn_disconn2Click() : disconnect->btn_disconnClick();
        }
    }
}

TEST_F(VpnAgainstBackend, RefusedAndEmptyReplies) {
    pickarea(QStringLiteral("华东"));
    connectTo(QStringLiteral("kind-refuse"));
    EXPECT_EQ(boxes(),
              QStringList{QStringLiteral("无法向服务器查询线路信息，请重新尝试连接或稍后再试.")});
    EXPECT_TRUE(idle());
    connectTo(QStringLiteral("kind-empty"));
    EXPECT_EQ(status(), QStringLiteral("服务器繁忙或此时网络质量差，请更换线路或稍后再试"));
    EXPECT_TRUE(idle());
}

TEST_F(VpnAgainstBackend, ASilentBackEndCostsTheFourSecondTimeOut) {
    ASSERT_TRUE(backend->setFault(QStringLiteral("/vpnadmin/useradmin/ipcheckkiv11.php"),
                                  QStringLiteral("stall:8000")));
    pickarea(QStringLiteral("华南"));
    QElapsedTimer t;
    t.start();
    connectTo(QStringLiteral("广州电信"));
    const qint64 took = t.elapsed();
    EXPECT_GE(took, 3600) << "Qt may end a coarse 4000 ms timer up to 5 % early";
    EXPECT_LT(took, 7900) << "the read time-out ended the wait, not the back-end";
    EXPECT_EQ(status(), QStringLiteral("服务器繁忙或此时网络质量差，请更换线路或稍后再试"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(ourRoutes(), 0u);
}

}  // namespace
}  // namespace zenrun::testing
