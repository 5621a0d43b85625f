#include "lines/linelist.h"

#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <stdexcept>

#include "backend/endpoints.h"
#include "backend/mystring.h"
#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "core/textutil.h"
#include "lines/lineview.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
const QString kLastLineKey = QStringLiteral("\\SOFTWARE\\ravadeviz");
const QColor kCurrentTitle = Qt::green;

struct L2tpTexts {
    QString yes, no;
    explicit L2tpTexts(int langindex)
        : yes(langtext(langindex, QStringLiteral("yes"), QStringLiteral("支持"))),
          no(langtext(langindex, QStringLiteral("-"), QStringLiteral("不支持"))) {}
};

std::optional<ps> makeline(const QString& name, const QString& value, const L2tpTexts& l2tp) {
    if (value.isEmpty()) return std::nullopt;
    const std::array<QString, 5> f = strings(value).split5(QStringLiteral(","));
    ps line;
    line.name = name;
    line.ip = decodelineaddr(f[0]);
    line.delay = QStringLiteral("NA");
    line.onlinerate = f[1];
    // Only the number 1 means L2TP; anything else, a text included, means no L2TP.
    bool ok = false;
    const int flag = f[2].toInt(&ok, 10);
    line.l2tpstatus = ok && flag == 1 ? l2tp.yes : l2tp.no;
    line.marknum = f[3];
    return line;
}
}  // namespace

LineList::LineList(Session& session, Platform& platform, Tfrmmain& form, LineView& view)
    : session_(session), platform_(platform), form_(form), view_(view) {}

std::optional<ps> LineList::parseline(const QString& name, const QString& value, int langindex) {
    return makeline(name, value, L2tpTexts(langindex));
}

std::vector<ps> LineList::records(const IniDocument& list, const QString& area,
                                  const QString& filter, int langindex) {
    const L2tpTexts l2tp(langindex);
    const QStringList entries = list.sectionValues(area);
    // A repeated name reads the value of its first line, as the list's reader does; looked
    // up here in one pass so that a large area stays linear.
    QHash<QString, QString> firstValue;
    firstValue.reserve(entries.size());
    for (const QString& entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        const QString key = entry.left(eq).toCaseFolded();
        if (!firstValue.contains(key)) firstValue.insert(key, entry.mid(eq + 1));
    }
    std::vector<ps> out;
    out.reserve(static_cast<std::size_t>(entries.size()));
    for (const QString& entry : entries) {
        const QString name = entry.left(entry.indexOf(QLatin1Char('=')));
        if (!filter.isEmpty() && !name.contains(filter, Qt::CaseSensitive)) continue;
        if (std::optional<ps> line = makeline(name, firstValue.value(name.toCaseFolded()), l2tp))
            out.push_back(std::move(*line));
    }
    return out;
}

void LineList::selectindex(QComboBox* combo, int index) const {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void LineList::fillkeys(const QString& area) {
    form_.IPAddrTxt->clear();
    form_.IPAddrTxt->addItems(session_.lineini.keys(area));
    selectindex(form_.IPAddrTxt, 0);
}

void LineList::fillareas() {
    const QStringList areas = session_.lineini.sections();
    for (QComboBox* combo : {form_.AreaTxt2, form_.AreaTxt}) {
        combo->clear();
        combo->addItems(areas);
    }
    fillkeys(form_.AreaTxt->currentText());
}

FrameBar::Item* LineList::addtitle(const QString& caption, bool searchTitles) {
    FrameBar::Item* item = form_.sb.add(caption);
    item->onClick = [this, item, searchTitles] {
        areatitleclick(item, searchTitles ? form_.linenametxt->text() : QString());
    };
    return item;
}

void LineList::addtitles(bool searchTitles) {
    form_.sb.clear();
    form_._zz = form_._XZ = nullptr;
    const QStringList areas = session_.lineini.sections();
    for (const QString& area : areas) addtitle(area, searchTitles);
    if (!areas.isEmpty()) form_._zz = form_._XZ = form_.sb.find(areas.first());
}

void LineList::addselectedtitle(bool searchTitles) {
    if (form_.AreaTxt2->currentIndex() < 0) throw std::runtime_error("no area selected");
    form_._zz = form_._XZ = addtitle(form_.AreaTxt2->currentText(), searchTitles);
}

// A missing value or "-1" stands for the first entry; a value that is no number is an error.
int LineList::savedindex(const QString& valueName) const {
    const std::optional<QString> saved =
        platform_.registry->readString(Hive::LocalMachine, kLastLineKey, valueName);
    if (!saved || *saved == QLatin1String("-1")) return 0;
    bool ok = false;
    const int index = saved->toInt(&ok, 10);
    if (!ok) throw RegistryError("saved index is not a number");
    return index;
}

void LineList::loadareas() {
    fillareas();
    addtitles(false);
    platform_.registry->createKey(Hive::LocalMachine, kLastLineKey);
    selectindex(form_.AreaTxt, savedindex(QStringLiteral("AREACombobox2")));
    fillkeys(form_.AreaTxt->currentText());
    selectindex(form_.AreaTxt2, savedindex(QStringLiteral("AREACombobox2")));
    fillkeys(form_.AreaTxt2->currentText());
    selectindex(form_.IPAddrTxt, savedindex(QStringLiteral("IPCombobox2")));
    addselectedtitle(false);
    form_.com_game->clear();
}

void LineList::refusebusy() {
    platform_.dialogs->messageBox(QString::fromUtf8(kAppTitle),
                                  langtext(session_, QStringLiteral("please close bat speed"),
                                           QStringLiteral("请先关闭测速")),
                                  MsgIcon::Information, MsgButtons::Ok);
}

bool LineList::filllines(const QString& area, const QString& filter) {
    if (session_.pinging) {
        refusebusy();
        return false;
    }
    if (form_._XZ && form_.sb.contains(form_._XZ)) {
        form_._XZ->titleColor = Qt::black;
        form_._XZ->titleBold = false;
    }
    std::vector<LineNode> lines;
    for (ps& line : records(session_.lineini, area, filter, session_.langindex))
        lines.push_back(std::make_shared<ps>(std::move(line)));
    view_.setLines(std::move(lines));
    shownArea_ = area;
    return true;
}

void LineList::areatitleclick(FrameBar::Item* item, const QString& filter) {
    if (!item || !filllines(item->caption, filter)) return;
    form_._XZ = item;
    item->titleColor = kCurrentTitle;
    item->titleBold = true;
}

void LineList::AreaTxt2Change() {
    const QString area = form_.AreaTxt2->currentText();
    if (!filllines(area, {})) {
        // The list still shows the old area: so must the selector, or the line saved at
        // close would pair this area with a line index of the other.
        const int shown = form_.AreaTxt2->findText(shownArea_, Qt::MatchFixedString);
        if (shown >= 0 || shownArea_.isEmpty()) form_.AreaTxt2->setCurrentIndex(shown);
        return;
    }
    if (!session_.lineini.keys(area).isEmpty()) {
        fillkeys(area);
        form_.linenametxt->clear();
    } else {
        form_.IPAddrTxt->clear();
    }
}

void LineList::AreaTxtChange() {
    fillkeys(form_.AreaTxt->currentText());
}

void LineList::selectFirstArea() {
    selectindex(form_.AreaTxt2, 0);
    AreaTxt2Change();
}

void LineList::N14Click() {
    // A sweep reads the records of the shown list; the list is rebuilt only after it ends.
    if (session_.pinging) {
        refusebusy();
        return;
    }
    form_.N14->setEnabled(false);  // the request pumps events: no second refresh meanwhile
    const QString reply = gethtml(*platform_.http, flushvpnlisturl(session_));
    form_.N14->setEnabled(true);
    IniDocument list = IniDocument::parse(reply);
    // A reply without a single area (an error page, a cut transfer) would empty the list.
    if (list.isEmpty()) {
        platform_.dialogs->messageBox(
            QString::fromUtf8(kAppTitle),
            langtext(session_,
                     QStringLiteral("Unable to update the server list, please try again later"),
                     QStringLiteral("无法更新服务器列表，请稍后再试")),
            MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    session_.lineini = std::move(list);
    try {
        loadareas();
    } catch (...) {
        // The saved area is gone from the new list: start from its first area.
        selectindex(form_.AreaTxt2, 0);
    }
    AreaTxt2Change();
}

void LineList::linenamesearchClick() {
    // Refused before anything changes: the area lists stay as the list shows them.
    if (session_.pinging) {
        refusebusy();
        return;
    }
    session_.searcharea = form_.AreaTxt2->currentIndex();
    fillareas();
    addtitles(true);
    selectindex(form_.AreaTxt2, session_.searcharea);
    fillkeys(form_.AreaTxt2->currentText());
    if (form_.AreaTxt2->currentIndex() >= 0) addselectedtitle(true);
    form_.com_game->clear();

    const QString area = form_.AreaTxt2->currentText();
    if (!filllines(area, form_.linenametxt->text())) return;
    if (!session_.lineini.keys(area).isEmpty())
        fillkeys(area);
    else
        form_.IPAddrTxt->clear();

    if (view_.lines().empty()) return;
    session_.connnode = view_.lines().front();
    form_.IPAddrTxt->setCurrentIndex(
        form_.IPAddrTxt->findText(session_.connnode->name, Qt::MatchFixedString));
}

}  // namespace zenrun
