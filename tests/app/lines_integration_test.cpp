// The line list fetched from a real zenrun-backend on loopback, loaded into the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QJsonArray>
#include <QJsonObject>

#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "backendfixture.h"
#include "core/textutil.h"
#include "linefixture.h"
#include "platform/linux/qthttp.h"

using namespace zenrun;
using namespace zenrun::testing;

namespace {

const QString kUser = QStringLiteral("demo");
const QString kPass = QStringLiteral("demo123");

struct LinesAgainstBackend : ClientFixture {
    BackendFixture backend;
    QtHttp http;

    void SetUp() override {
        ASSERT_TRUE(backend.started()) << backend.error().toStdString();
        // Requests of the client (the refresh) go to the back-end.
        sim.http.setHandler([this](const SimHttp::Request& r) {
            return http.get(r.url, r.readTimeoutMs, r.userAgent);
        });
    }

    // What the login leaves behind: the session and the list of vpnlisturl.
    void login(int langindex) {
        serverhost = backend.host();
        username = kUser;
        viewcode = logincodes(kUser, kPass).viewcode;
        session.serverhost = serverhost;
        session.viewcode = viewcode;
        session.langindex = langindex;
        lineList = gethtml(http, vpnlisturl(session, kUser));
        ASSERT_FALSE(lineList.isEmpty());
        start();
    }

    // Every area of the demo data, shown one after the other, against the data file.
    void expectDemoData(const char* nameKey, const QString& yes, const QString& no) {
        const QJsonArray areas = BackendFixture::demoData()[QStringLiteral("areas")].toArray();
        ASSERT_EQ(form().AreaTxt2->count(), areas.size());
        for (int a = 0; a < areas.size(); ++a) {
            const QJsonObject area = areas[a].toObject();
            SCOPED_TRACE(area[QStringLiteral("name")].toString().toStdString());
            EXPECT_EQ(form().AreaTxt2->itemText(a), area[QLatin1String(nameKey)].toString());
            choose(form().AreaTxt2, a);
            const QJsonArray lines = area[QStringLiteral("lines")].toArray();
            ASSERT_EQ(view().lines().size(), static_cast<std::size_t>(lines.size()));
            for (int i = 0; i < lines.size(); ++i) {
                const QJsonObject want = lines[i].toObject();
                const ps& got = *view().lines()[static_cast<std::size_t>(i)];
                EXPECT_EQ(got.name, want[QLatin1String(nameKey)].toString());
                EXPECT_EQ(form().IPAddrTxt->itemText(i), got.name);
                EXPECT_EQ(got.ip, want[QStringLiteral("address")].toString());
                EXPECT_EQ(got.onlinerate, want[QStringLiteral("onlinerate")].toString());
                EXPECT_EQ(got.l2tpstatus, want[QStringLiteral("l2tp")].toInt() == 1 ? yes : no);
                EXPECT_EQ(got.marknum, want[QStringLiteral("type")].toString());
                EXPECT_EQ(got.delay, QStringLiteral("NA"));
            }
        }
    }
};

TEST_F(LinesAgainstBackend, TheDemoListLoadsWithTheSavedAreaAndLine) {
    saveLast(QStringLiteral("1"), QStringLiteral("2"));
    login(0);
    EXPECT_EQ(form().AreaTxt2->currentText(), QStringLiteral("华南"));
    EXPECT_EQ(form().IPAddrTxt->currentText(), QStringLiteral("厦门电信"));
    EXPECT_EQ(form().linelabel->text(), QStringLiteral("当前节点：厦门电信"));
    EXPECT_EQ(rows(), QStringList({"广州电信", "深圳移动", "厦门电信"}));
    expectDemoData("name", QStringLiteral("支持"), QStringLiteral("不支持"));
}

TEST_F(LinesAgainstBackend, RefreshFetchesTheListInTheLanguageAndKeepsItOnAnEmptyReply) {
    login(0);
    session.langindex = 2;
    form().N14->trigger();
    EXPECT_TRUE(sim.dialogs.boxes.isEmpty());
    EXPECT_EQ(form().AreaTxt2->itemText(0), QStringLiteral("East China"));
    expectDemoData("name_en", QStringLiteral("yes"), QStringLiteral("-"));

    // A code the back-end does not accept gives the empty reply: the list stays.
    session.viewcode = logincodes(kUser, QStringLiteral("wrong")).viewcode;
    form().N14->trigger();
    ASSERT_EQ(sim.dialogs.boxes.size(), 1);
    EXPECT_EQ(sim.dialogs.boxes[0].text,
              QStringLiteral("Unable to update the server list, please try again later"));
    EXPECT_EQ(form().AreaTxt2->itemText(0), QStringLiteral("East China"));
    EXPECT_EQ(view().lines().size(), 3u);
}

}  // namespace
