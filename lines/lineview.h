#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "core/linerecord.h"

class QAction;
class QPoint;

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;
class LineModel;
class LineDelegate;

// The line list `vt1` as seen by the user: columns, colours, sorting by header, the click
// that picks a line in the line selector, and the popup menu. Rows are filled by the line
// list logic; probe results reach the records through the model on the UI thread.
class LineView : public QObject {
    Q_OBJECT
public:
    LineView(Session& session, Platform& platform, Tfrmmain& form);
    ~LineView() override;

    LineModel& model() { return *model_; }

    // Rows in view order.
    const std::vector<LineNode>& lines() const;
    void setLines(std::vector<LineNode> lines);

    LineNode focusedNode() const;
    void setFocusedNode(const LineNode& line);  // null clears the focus

    // The header's sort column and direction (column 1, ascending at start).
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortDirection() const { return sortDirection_; }
    void setSort(int column, Qt::SortOrder direction);
    // Sorts by the header's sort column; the comparison applies the header's direction.
    void sort();

    // Header texts and popup captions of the current language.
    void retranslate();

    void vt1HeaderClick(int column);
    void vt1Click();
    void vt1DblClick() { vt1Click(); }
    void N17Click();
    void N18Click();
    void N19Click();
    void popupLineMenu(const QPoint& pos);

    // Work of other subsystems, filled when the client is assembled.
    std::function<void()> onSpeedTest;  // single-line test (cesuClick)
    std::function<void()> onConnect;    // btn_connClick
    std::function<void()> onSorted;     // showpoolstatus after a header click

    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N19 = nullptr;

signals:
    // Any mouse click (or double click) on the list, rows or empty space.
    void clicked();
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupView();
    void showSortIndicator();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    LineModel* model_;
    LineDelegate* delegate_;
    // The view's viewport, whose mouse events we watch. Compared, never followed: events
    // still reach the filter while the main window is being torn down.
    const QObject* viewport_ = nullptr;
    int sortColumn_ = 1;
    Qt::SortOrder sortDirection_ = Qt::AscendingOrder;
};

}  // namespace zenrun
