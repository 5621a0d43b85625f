#include "lines/singletest.h"

#include <QComboBox>
#include <QEventLoop>
#include <QListWidget>
#include <QPushButton>
#include <thread>

#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "lines/linelist.h"
#include "lines/speedtestform.h"
#include "lines/uimailbox.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"

namespace zenrun {

SingleTest::SingleTest(Session& session, Platform& platform, Tfrmmain& form, TForm1& dialog)
    : session_(session),
      platform_(platform),
      form_(form),
      dialog_(dialog),
      mailbox_(std::make_unique<UiMailbox>()) {}

SingleTest::~SingleTest() = default;

void SingleTest::cesuClick() {
    // One series at a time: the popup item and the retry button stay usable while `cesu` is
    // disabled, and a second series would interleave its lines with the first.
    if (running_) return;
    const QString line = form_.IPAddrTxt->currentText();
    if (line.contains(QStringLiteral("选择服务器"), Qt::CaseInsensitive) ||
        line.trimmed().isEmpty()) {
        form_.IPAddrTxt->setFocus();
        return;
    }
    const QString value = session_.lineini.value(form_.AreaTxt2->currentText(), line, QString());
    const auto record = LineList::parseline(line, value, session_.langindex);
    if (!record) {
        platform_.dialogs->messageBox(
            QString::fromUtf8(kAppTitle),
            langtext(session_, QStringLiteral("Error occurred, please close the program to run"),
                     QStringLiteral("发生错误，请关闭程序再重新运行")),
            MsgIcon::None, MsgButtons::Ok);
        return;
    }

    dialog_.ListBox1->clear();
    dialog_.move(form_.x() + 300, form_.y() + 20);
    dialog_.show();
    host_ = record->ip;
    receiveTimeout_ = kTimeoutMs;

    running_ = true;
    form_.cesu->setEnabled(false);
    for (int i = 0; i < kRequests; ++i) {
        const EchoReply reply = sendecho();
        if (reply.status == EchoReply::Failed) break;
        ICMPReply(reply.rttMs);
        platform_.clock->processEvents();
    }
    form_.cesu->setEnabled(true);
    running_ = false;
}

// The request waits on a helper thread; meanwhile the window handles its events.
EchoReply SingleTest::sendecho() {
    EchoReply reply;
    QEventLoop loop;
    Icmp& icmp = *platform_.icmp;
    const QString host = host_;
    const int timeout = receiveTimeout_;
    waiting_ = &loop;
    std::thread t([&] {
        reply = icmp.echo(host, kPayload, kTtl, timeout);
        // Runs on the UI thread; the loop may be gone by then if the application quit it.
        mailbox_->post([this] {
            if (waiting_) waiting_->quit();
        });
    });
    loop.exec();
    waiting_ = nullptr;
    t.join();
    return reply;
}

void SingleTest::FormShow() {
    dialog_.setWindowTitle(
        langtext(session_, QStringLiteral("Test Speed"), QStringLiteral("速度测试")));
    dialog_.Button1->setText(
        langtext(session_, QStringLiteral("Retry Test"), QStringLiteral("重新测试")));
}

void SingleTest::Button1Click() {
    if (running_) return;
    dialog_.ListBox1->clear();
    cesuClick();
}

void SingleTest::ICMPReply(int rttMs) {
    const QString chosen = form_.IPAddrTxt->currentText();
    if (chosen.isEmpty())
        platform_.dialogs->messageBox(
            QString::fromUtf8(kAppTitle),
            langtext(session_, QStringLiteral("The error occurred, please retry"),
                     QStringLiteral("发生错误，请关闭程序再重新运行")),
            MsgIcon::None, MsgButtons::Ok);
    // A line's name never shows its address, even when the selector holds more than the name.
    const QString name = chosen.section(QLatin1Char(','), 0, 0);
    QString text;
    if (rttMs <= 0)
        text = name + QStringLiteral(":  time<1 ms");
    else if (rttMs < 1000)
        text = name + QStringLiteral(":  time=") + QString::number(rttMs) + QStringLiteral(" ms");
    else
        text = QStringLiteral("Request timed out.");
    dialog_.ListBox1->addItem(text);
}

}  // namespace zenrun
