#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "backend/endpoints.h"
#include "backend/login.h"
#include "backend/loginform.h"
#include "backend/updatenotice.h"
#include "core/session.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"

namespace zenrun::testing {

inline const QString kPrimary = QStringLiteral("127.0.0.1:9000");
inline const QString kSecondary = QStringLiteral("127.0.0.2:9000");

inline Hosts testhosts() {
    Hosts h = Hosts::defaults();
    h.primary = kPrimary;
    h.secondary = kSecondary;
    return h;
}

// A scripted back-end behind the simulated HTTP service. An empty probe reply is a silent
// host; a host listed in postFails raises on the credential POST.
struct FakeBackend {
    QString probePrimary = QStringLiteral("198.51.100.7-11.0-10.0.0.9-(http://dl.test/z.exe)-2");
    QString probeSecondary =
        QStringLiteral("198.51.100.8-11.0-10.0.0.10-(http://dl2.test/z.exe)-1");
    QStringList postFails;
    QString loginReply = QStringLiteral("有效期至2027-01-01");
    QString lines = QStringLiteral(
        "[华东]\nTokyo-01=enc1,98%,1,3\nTokyo-02=enc2,90%,0,1\n[华南]\nHK-01=enc3,99%,1,4\n");
    QString routes = QStringLiteral(
        "[全局加速]\n[游戏A]\nr1=1.2.3.0|255.255.255.0\n[游戏B]\nr1=5.6.7.8|255.255.255.255\n");

    void install(SimHttp& http) {
        http.setHandler([this](const SimHttp::Request& r) {
            auto body = [](const QString& b) { return HttpReply{true, 200, b, {}}; };
            const bool onPrimary = r.url.startsWith(QStringLiteral("http://") + kPrimary);
            if (r.url.contains(QLatin1String(paths::kNetCheck))) {
                const QString reply = onPrimary ? probePrimary : probeSecondary;
                return reply.isEmpty() ? HttpReply{} : body(reply);
            }
            if (r.url.contains(QStringLiteral("usercheckkiv11"))) {
                if (postFails.contains(onPrimary ? kPrimary : kSecondary))
                    return HttpReply{false, 0, {}, QStringLiteral("timed out")};
                return body(loginReply);
            }
            if (r.url.contains(QStringLiteral("vpnlistkiv11"))) return body(lines);
            if (r.url.contains(QStringLiteral("routelistkiv11"))) return body(routes);
            return HttpReply{false, 404, {}, QStringLiteral("not found")};
        });
    }
};

// The main window, one login window and its logic over the simulated platform. The login
// is made on demand so a test can prepare the stored options first.
struct LoginRig {
    SimPlatform sp;
    Session session;
    Tfrmmain main{sp.clock};
    FakeBackend backend;
    std::unique_ptr<Tfrmlogin> form;
    std::unique_ptr<Login> login;

    LoginRig() { backend.install(sp.http); }

    Login& open() {
        login.reset();
        form = std::make_unique<Tfrmlogin>();
        login = std::make_unique<Login>(session, sp.platform, *form, main, testhosts());
        return *login;
    }
    // Types into the fields and presses the login button.
    void submit(const QString& user, const QString& pass) {
        if (!login) open();
        form->edt_user->setText(user);
        form->edt_pass->setText(pass);
        form->btn_login->click();
    }
    QList<SimHttp::Request> requestsTo(const QString& part) const {
        QList<SimHttp::Request> out;
        for (const auto& r : sp.http.requests)
            if (r.url.contains(part)) out.append(r);
        return out;
    }
};

// Presses one of the version notice's buttons when the login runs it.
inline std::function<int(QDialog&)> pressNotice(bool download) {
    return [download](QDialog& d) {
        auto& notice = dynamic_cast<TForm6&>(d);
        EXPECT_EQ(notice.sLabel1->text(), "已经有新版，请立即下载更新，否则可能无法使用");
        (download ? notice.sButton1 : notice.sButton2)->click();
        return notice.result();
    };
}

}  // namespace zenrun::testing
