#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/clientapp.h"
#include "backend/loginform.h"
#include "backend/loginrig.h"
#include "backend/updatenotice.h"
#include "ui/mainwindow.h"

namespace zenrun {
namespace {

using testing::pressNotice;

const QString kKey = QStringLiteral("\\Software\\zididov");

TEST(UpdateNotice, DownloadEndsTheProgram) {
    SimPlatform sp;
    Session session;
    testing::FakeBackend backend;
    backend.probePrimary = QStringLiteral("198.51.100.7-11.1-10.0.0.9-(http://dl.test/new.exe)-2");
    backend.install(sp.http);
    ClientApp app(session, sp.platform, {false});
    int exitCode = -1;
    app.seams().exitProcess = [&](int code) { exitCode = code; };
    sp.dialogs.queueModal([](QDialog& d) {
        auto& form = dynamic_cast<Tfrmlogin&>(d);
        form.edt_user->setText(QStringLiteral("alice"));
        form.edt_pass->setText(QStringLiteral("pw"));
        form.btn_login->click();
        return form.result();
    });
    sp.dialogs.queueModal(pressNotice(true));

    EXPECT_FALSE(app.start());
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(session.loginok);
    EXPECT_FALSE(app.mainForm().isVisible());
}

// The assembled client: the stored language reaches the login window before it is shown,
// and a good login lets the main window appear with the login's texts.
TEST(LoginInClient, StoredLanguageAndAGoodLoginShowTheMainWindow) {
    SimPlatform sp;
    Session session;
    testing::FakeBackend backend;
    backend.install(sp.http);
    sp.registry.writeString(Hive::CurrentUser, kKey, "savelang", "1");
    ClientApp app(session, sp.platform, {false});
    app.seams().exitProcess = [](int) { FAIL() << "the program must not end"; };
    QString loginButton;
    sp.dialogs.queueModal([&](QDialog& d) {
        auto& form = dynamic_cast<Tfrmlogin&>(d);
        loginButton = form.btn_login->text();
        form.edt_user->setText(QStringLiteral("alice"));
        form.edt_pass->setText(QStringLiteral("pw"));
        form.btn_login->click();
        return form.result();
    });

    ASSERT_TRUE(app.start());
    EXPECT_EQ(loginButton, "Login");
    EXPECT_TRUE(session.loginok);
    EXPECT_EQ(session.langindex, 2);
    EXPECT_TRUE(app.mainForm().isVisible());
    EXPECT_EQ(app.mainForm().btn_conn->text(), "Connect");
    EXPECT_EQ(app.mainForm().userlabel->text(), "UserName：alice  " + backend.loginReply);
    EXPECT_EQ(sp.dialogs.modalsShown, QStringList{"frmlogin"});
    EXPECT_EQ(sp.registry.readString(Hive::CurrentUser, kKey, "savelang"), "1");
}

}  // namespace
}  // namespace zenrun
