#include "platform/linux/qthttp.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "backend/mystring.h"

using namespace zenrun;

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// GBK bytes of "中文线路：华东电信".
const char kGbkBody[] = "\xd6\xd0\xce\xc4\xcf\xdf\xc2\xb7\xa3\xba\xbb\xaa\xb6\xab\xb5\xe7\xd0\xc5";

// A cpp-httplib server on a free loopback port, in its own thread.
class LoopbackServer {
public:
    LoopbackServer() {
        svr_.set_keep_alive_timeout(1);
        routes();
        port_ = svr_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { svr_.listen_after_bind(); });
        while (!svr_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackServer() {
        stopping_ = true;
        svr_.stop();
        thread_.join();
    }

    bool bound() const { return port_ > 0; }
    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path));
    }

    // What the last request told the server.
    struct Seen {
        std::string userAgent, body, contentType, method, query, acceptEncoding;
    };
    Seen seen() {
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    // Sleeps up to ms, but lets the server stop at once when the test is over.
    void nap(int ms) {
        for (int i = 0; i < ms / 10 && !stopping_; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    void record(const httplib::Request& req) {
        std::lock_guard lock(mutex_);
        seen_.userAgent = req.get_header_value("User-Agent");
        seen_.body = req.body;
        seen_.contentType = req.get_header_value("Content-Type");
        seen_.method = req.method;
        seen_.query = req.get_param_value("q");
        seen_.acceptEncoding = req.get_header_value("Accept-Encoding");
    }

    void routes() {
        svr_.Get("/ok", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("hello", "text/plain");
        });
        // The declared character set is ignored: bodies are read in the ANSI code page.
        svr_.Get("/gbk", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kGbkBody, "text/plain; charset=utf-8");
        });
        svr_.Get("/utf8", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("\xe4\xb8\xad\xe6\x96\x87", "text/plain; charset=utf-8");
        });
        svr_.Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            res.status = std::stoi(req.matches[1]);
            res.set_content("an error page", "text/html");
        });
        svr_.Get("/redirect",
                 [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/ok"); });
        svr_.Get("/redirect-twice", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/redirect", 301);
        });
        svr_.Get("/loop", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/loop");
        });
        svr_.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            nap(10000);
            res.set_content("late", "text/plain");
        });
        // Headers and a first part arrive, then nothing.
        svr_.Get("/stall-in-body", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain",
                                             [this](size_t offset, httplib::DataSink& sink) {
                                                 if (offset == 0) {
                                                     sink.write("part", 4);
                                                     return true;
                                                 }
                                                 nap(10000);
                                                 sink.done();
                                                 return true;
                                             });
        });
        // Small pieces with short pauses: slower in total than the read time-out, never
        // silent as long.
        svr_.Get("/trickle", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain",
                                             [this](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 15) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 nap(100);
                                                 sink.write("x", 1);
                                                 return true;
                                             });
        });
        svr_.Get("/query", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("ok", "text/plain");
        });
        svr_.Post("/form", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("\xb3\xc9\xb9\xa6", "text/plain");  // 成功 in GBK
        });
        svr_.Post("/form500", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.status = 500;
        });
    }

    httplib::Server svr_;
    int port_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    Seen seen_;
};

class QtHttpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.bound()) << "no loopback port"; }

    QString get(const char* path, int timeoutMs = 5000) {
        return gethtml(http_, server_.url(path), timeoutMs);
    }

    // The server outlives the client, so no request is left hanging on it.
    LoopbackServer server_;
    QtHttp http_;
};

}  // namespace

TEST_F(QtHttpTest, BodyDecodedInTheAnsiCodePage) {
    EXPECT_EQ(get("/ok"), u("hello"));
    EXPECT_EQ(get("/gbk"), u("中文线路：华东电信"));
    // UTF-8 from the server is read as GBK, whatever it declares.
    const QString utf8 = get("/utf8");
    EXPECT_NE(utf8, u("中文"));
    EXPECT_FALSE(utf8.isEmpty());
    EXPECT_TRUE(utf8.startsWith(u("涓"))) << utf8.toStdString();

    // A build for another code page reads and writes in that one.
    QtHttp big5(QByteArrayLiteral("Big5"));
    EXPECT_EQ(big5.encodeForm({{u("k"), u("中")}}), QByteArray("k=%A4%A4"));
    QtHttp utf8http(QByteArrayLiteral("UTF-8"));
    EXPECT_EQ(gethtml(utf8http, server_.url("/utf8"), 5000), u("中文"));
}

TEST_F(QtHttpTest, FixedUserAgentReachesTheServer) {
    EXPECT_EQ(get("/ok"), u("hello"));
    EXPECT_EQ(server_.seen().userAgent, "tkoxgnk_vvuoa");
    EXPECT_EQ(server_.seen().method, "GET");
    EXPECT_EQ(server_.seen().acceptEncoding, "identity");
}

TEST_F(QtHttpTest, FailuresGiveEmptyText) {
    for (const char* path : {"/status/404", "/status/500", "/status/403", "/nowhere", "/loop"})
        EXPECT_EQ(get(path), u("")) << path;

    const HttpReply r = http_.get(server_.url("/status/500"), 5000, u("ua"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 500);
    EXPECT_TRUE(r.body.isEmpty());

    for (const QString& bad : {u(""), u("not a url"), u("ftp://127.0.0.1/x"), u("http://")})
        EXPECT_EQ(gethtml(http_, bad, 5000), u("")) << bad.toStdString();
}

TEST_F(QtHttpTest, UnreachablePort) {
    // A port the OS just handed out and nobody listens on any more.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const HttpReply r =
        http_.get(QStringLiteral("http://127.0.0.1:%1/ok").arg(port), 5000, u("ua"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(gethtml(http_, QStringLiteral("http://127.0.0.1:%1/ok").arg(port), 5000), u(""));
}

TEST_F(QtHttpTest, RedirectsAreFollowed) {
    EXPECT_EQ(get("/redirect"), u("hello"));
    EXPECT_EQ(get("/redirect-twice"), u("hello"));
    EXPECT_EQ(server_.seen().userAgent, "tkoxgnk_vvuoa");
}

TEST_F(QtHttpTest, StalledServerTimesOut) {
    // The window keeps being served while the call blocks.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(20);

    QElapsedTimer clock;
    clock.start();
    const HttpReply r = http_.get(server_.url("/stall"), 300, u("ua"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, u("read time-out"));
    // Never before the time-out (a coarse timer would fire up to 5 % early), and well short
    // of the server's ten-second stall.
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_GT(ticks, 0) << "events were not processed while waiting";

    EXPECT_EQ(get("/stall-in-body", 300), u(""));
}

TEST_F(QtHttpTest, ReadTimeOutIsOneOfInactivity) {
    // 15 pieces 100 ms apart take longer than the 1000 ms time-out, but no pause reaches it.
    // (The limit on the whole request is set far off here: this is about the pauses.)
    QtHttp patient(ZENRUN_ANSI_CODEPAGE, 100);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(gethtml(patient, server_.url("/trickle"), 1000), u("xxxxxxxxxxxxxxx"));
    EXPECT_GT(clock.elapsed(), 1000);
}

TEST_F(QtHttpTest, WholeRequestLimitEndsASteadyTrickle) {
    // The same trickle against a time-out of 900 ms: no pause comes near it, even on a slow
    // machine, but here the whole request may last only as long as the time-out itself.
    QtHttp strict(ZENRUN_ANSI_CODEPAGE, 1);
    QElapsedTimer clock;
    clock.start();
    const HttpReply r = strict.get(server_.url("/trickle"), 900, u("ua"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, u("request took too long"));
    EXPECT_TRUE(r.body.isEmpty());
}

TEST_F(QtHttpTest, QueryKeepsItsAnsiPercentEncoding) {
    EXPECT_EQ(get("/query?q=%D6%D0%CE%C4&&x=1"), u("ok"));
    EXPECT_EQ(server_.seen().query, "\xd6\xd0\xce\xc4");
}

TEST_F(QtHttpTest, FormPostInTheAnsiCodePage) {
    const FormFields form = {
        {u("username"), u("张三")}, {u("pass"), u("a&b=c d+e%")}, {u("empty"), u("")}};
    const HttpReply r = http_.post(server_.url("/form"), form, 5000, u("tkoxgnk_vvuoa"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, u("成功"));
    const auto seen = server_.seen();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.userAgent, "tkoxgnk_vvuoa");
    EXPECT_EQ(seen.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.body, "username=%D5%C5%C8%FD&pass=a%26b%3Dc%20d%2Be%25&empty=");
}

TEST_F(QtHttpTest, FormPostFailureReachesTheCaller) {
    const HttpReply r = http_.post(server_.url("/form500"), {{u("a"), u("1")}}, 5000, u("ua"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 500);
    EXPECT_EQ(server_.seen().body, "a=1");
}
