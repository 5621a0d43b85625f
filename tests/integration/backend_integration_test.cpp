// The client's endpoint code against a real zenrun-backend on loopback.
#include <gtest/gtest.h>

#include "app/session.h"
#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "backendfixture.h"
#include "platform/linux/qthttp.h"

using namespace zenrun;
using zenrun::testing::BackendFixture;

namespace {
const QString kNetCheck = QString::fromLatin1(paths::kNetCheck);
}  // namespace

TEST(BackendProbe, PrimaryAnswers) {
    BackendFixture backend;
    ASSERT_TRUE(backend.started()) << backend.error().toStdString();
    QtHttp http;
    Session s;
    ASSERT_TRUE(probehosts(s, http, backend.hosts()));
    EXPECT_EQ(s.serverhost, backend.host());
    EXPECT_EQ(s.userpeerip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s.newversion, QStringLiteral("11.0"));
    EXPECT_EQ(s.serverhostip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s.updateurl, QStringLiteral("http://127.0.0.1:9000/kivclient11/zenrun_11_1.tar.gz"));
    EXPECT_EQ(s.routeenable, QStringLiteral("2"));
}
