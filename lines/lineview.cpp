#include "lines/lineview.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>

#include "core/langtext.h"
#include "core/session.h"
#include "lines/linedelegate.h"
#include "lines/linemodel.h"
#include "lines/lineorder.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"
#include "ui/uifont.h"

namespace zenrun {

namespace {
constexpr int kHeaderHeight = 22;
constexpr int kColumnWidths[] = {155, 75, 70, 50};
constexpr int kFontPixels = 12;
}  // namespace

LineView::LineView(Session& session, Platform& platform, Tfrmmain& form)
    : QObject(&form),
      session_(session),
      platform_(platform),
      form_(form),
      model_(new LineModel(this)) {
    delegate_ = new LineDelegate(*model_, *form_.vt1, this);
    setupView();
    N17 = form_.linemenu->addAction(QString());
    N17->setObjectName(QStringLiteral("N17"));
    N18 = form_.linemenu->addAction(QString());
    N18->setObjectName(QStringLiteral("N18"));
    N19 = form_.linemenu->addAction(QString());
    N19->setObjectName(QStringLiteral("N19"));
    retranslate();
}

LineView::~LineView() = default;

void LineView::setupView() {
    QTreeView* v = form_.vt1;
    v->setModel(model_);
    v->setItemDelegate(delegate_);
    v->setRootIsDecorated(false);
    v->setItemsExpandable(false);
    v->setUniformRowHeights(true);
    v->setAllColumnsShowFocus(true);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSortingEnabled(false);  // sorted only on request
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    v->setFont(uifont(QStringLiteral("SimSun"), kFontPixels));

    QHeaderView* h = v->header();
    h->setVisible(true);
    h->setFixedHeight(kHeaderHeight);
    h->setSectionsClickable(true);
    h->setSectionsMovable(true);
    h->setStretchLastSection(false);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSortIndicatorShown(true);
    for (int c = 0; c < kLineColumns; ++c) h->resizeSection(c, kColumnWidths[c]);
    showSortIndicator();
    // The header may move its own arrow on a click; the arrow always shows our direction.
    QObject::connect(h, &QHeaderView::sortIndicatorChanged, this,
                     [this](int column, Qt::SortOrder order) {
                         if (column != sortColumn_ || order != sortDirection_) showSortIndicator();
                     });
    viewport_ = v->viewport();
    v->viewport()->installEventFilter(this);
}

void LineView::showSortIndicator() {
    form_.vt1->header()->setSortIndicator(sortColumn_, sortDirection_);
}

void LineView::retranslate() {
    auto t = [this](const char* english, const char* chinese) {
        return langtext(session_, QString::fromUtf8(english), QString::fromUtf8(chinese));
    };
    model_->setHeaders({t("Line name", "线路名称"), t("Delay(ms)", "延时(ms)"),
                        t("Online rate", "在线率"), QStringLiteral("L2TP")});
    N17->setText(t("Speed test", "单个测速"));
    N18->setText(t("Connect", "启动连接"));
    N19->setText(t("copy line name", "复制线路名称"));
}

const std::vector<LineNode>& LineView::lines() const {
    return model_->lines();
}

void LineView::setLines(std::vector<LineNode> lines) {
    model_->setLines(std::move(lines));
}

LineNode LineView::focusedNode() const {
    return model_->node(form_.vt1->currentIndex().row());
}

void LineView::setFocusedNode(const LineNode& line) {
    const int row = line ? model_->rowOf(line.get()) : -1;
    if (row < 0) {
        form_.vt1->setCurrentIndex({});
        return;
    }
    const QModelIndex idx = model_->index(row, 0);
    form_.vt1->setCurrentIndex(idx);
    form_.vt1->scrollTo(idx);
}

void LineView::setSort(int column, Qt::SortOrder direction) {
    sortColumn_ = column;
    sortDirection_ = direction;
    showSortIndicator();
}

void LineView::sort() {
    model_->sortBy(sortColumn_, sortDirection_);
}

void LineView::vt1HeaderClick(int column) {
    setSort(column,
            sortDirection_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    sort();
    if (onSorted) onSorted();
}

void LineView::vt1Click() {
    const LineNode line = focusedNode();
    if (!line) {
        form_.IPAddrTxt->setCurrentIndex(form_.IPAddrTxt->count() > 0 ? 0 : -1);
        return;
    }
    if (line->name.isEmpty()) return;
    form_.IPAddrTxt->setCurrentIndex(form_.IPAddrTxt->findText(line->name, Qt::MatchFixedString));
    form_.linelabel->setText(
        langtext(session_, QStringLiteral("Line:"), QStringLiteral("当前节点：")) +
        form_.IPAddrTxt->currentText());
}

void LineView::N17Click() {
    if (onSpeedTest) onSpeedTest();
}

void LineView::N18Click() {
    if (onConnect) onConnect();
}

void LineView::N19Click() {
    platform_.dialogs->setClipboardText(form_.IPAddrTxt->currentText());
}

void LineView::popupLineMenu(const QPoint& pos) {
    form_.linemenu->popup(form_.vt1->viewport()->mapToGlobal(pos));
}

bool LineView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_) {
        // The view moves the focus on the press; the click is reported once it is done.
        const auto* me = dynamic_cast<QMouseEvent*>(event);
        // A right click opens the popup without moving the focus: the popup acts on the
        // line of the selector, which is the focused row's.
        if (me && me->button() == Qt::RightButton) return true;
        if (event->type() == QEvent::MouseButtonRelease && me && me->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &LineView::clicked, Qt::QueuedConnection);
        else if (event->type() == QEvent::MouseButtonDblClick && me &&
                 me->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &LineView::doubleClicked, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zenrun
