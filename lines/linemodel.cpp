#include "lines/linemodel.h"

#include <QMetaObject>
#include <numeric>

#include "lines/lineorder.h"

namespace zenrun {

namespace {
// Top-down merge sort of a permutation; takes from the left run while cmp(left, right) < 0.
template <typename Cmp>
void mergesort(std::vector<int>& v, std::vector<int>& buf, std::size_t lo, std::size_t hi,
               const Cmp& cmp) {
    if (hi - lo < 2) return;
    const std::size_t mid = lo + (hi - lo) / 2;
    mergesort(v, buf, lo, mid, cmp);
    mergesort(v, buf, mid, hi, cmp);
    std::size_t i = lo, j = mid, k = lo;
    while (i < mid && j < hi) buf[k++] = cmp(v[i], v[j]) < 0 ? v[i++] : v[j++];
    while (i < mid) buf[k++] = v[i++];
    while (j < hi) buf[k++] = v[j++];
    std::copy(buf.begin() + static_cast<std::ptrdiff_t>(lo),
              buf.begin() + static_cast<std::ptrdiff_t>(hi),
              v.begin() + static_cast<std::ptrdiff_t>(lo));
}
}  // namespace

LineModel::LineModel(QObject* parent) : QAbstractTableModel(parent) {}

int LineModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int LineModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLineColumns;
}

QVariant LineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const LineNode n = node(index.row());
    return n ? QVariant(celltext(*n, index.column())) : QVariant();
}

QVariant LineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < headers_.size() ? QVariant(headers_[section]) : QVariant();
}

bool LineModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                              int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) ||
        section < 0 || section >= kLineColumns)
        return false;
    while (headers_.size() < kLineColumns) headers_.append(QString());
    headers_[section] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

void LineModel::setHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kLineColumns - 1);
}

void LineModel::setLines(std::vector<LineNode> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    reindex();
    endResetModel();
}

LineNode LineModel::node(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= lines_.size()) return {};
    return lines_[static_cast<std::size_t>(row)];
}

int LineModel::rowOf(const ps* line) const {
    return rows_.value(line, -1);
}

void LineModel::reindex() {
    rows_.clear();
    rows_.reserve(static_cast<qsizetype>(lines_.size()));
    for (std::size_t i = 0; i < lines_.size(); ++i)
        rows_.insert(lines_[i].get(), static_cast<int>(i));
}

void LineModel::sortBy(int column, Qt::SortOrder direction) {
    if (lines_.size() < 2 || column < 0 || column >= kLineColumns) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    const std::size_t n = lines_.size();
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> buf(n);
    if (column == kColDelay) {
        std::vector<qint64> keys(n);
        for (std::size_t i = 0; i < n; ++i) keys[i] = delaysortkey(lines_[i]->delay);
        mergesort(order, buf, 0, n, [&](int a, int b) {
            return comparekeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)],
                               direction);
        });
    } else {
        mergesort(order, buf, 0, n, [&](int a, int b) {
            return comparetexts(celltext(*lines_[static_cast<std::size_t>(a)], column),
                                celltext(*lines_[static_cast<std::size_t>(b)], column), direction);
        });
    }

    std::vector<LineNode> sorted(n);
    std::vector<int> newRow(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted[i] = std::move(lines_[static_cast<std::size_t>(order[i])]);
        newRow[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    lines_ = std::move(sorted);
    reindex();

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& idx : from)
        to.append(index(newRow[static_cast<std::size_t>(idx.row())], idx.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LineModel::setDelay(const LineNode& line, const QString& delay, bool lost) {
    if (!line) return;
    line->delay = delay;
    if (lost) ++line->losttimes;
    const int row = rowOf(line.get());
    if (row >= 0) emit dataChanged(index(row, 0), index(row, kLineColumns - 1));
}

void LineModel::postDelay(LineNode line, QString delay, bool lost) {
    QMetaObject::invokeMethod(
        this,
        [this, line = std::move(line), delay = std::move(delay), lost] {
            setDelay(line, delay, lost);
        },
        Qt::QueuedConnection);
}

}  // namespace zenrun
