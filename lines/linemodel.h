#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <vector>

#include "core/linerecord.h"

namespace zenrun {

// The rows of the line list: one shared line record per row, in view order. Flat and
// four columns wide. Lives on the UI thread; the records are read and written there only.
class LineModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LineModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    void setHeaders(const QStringList& headers);
    // Replaces every row; records no longer listed are released unless someone holds them.
    void setLines(std::vector<LineNode> lines);
    void clear() { setLines({}); }

    const std::vector<LineNode>& lines() const { return lines_; }
    LineNode node(int row) const;
    int rowOf(const ps* line) const;

    // Reorders the rows with the line comparison (a merge sort: well defined for a
    // comparison that never reports equality, n log n).
    void sortBy(int column, Qt::SortOrder direction);

    // UI thread: stores a probe result in a record and repaints its row (no re-sort).
    void setDelay(const LineNode& line, const QString& delay, bool lost = false);
    // Any thread: hands the same result to the model's thread as a queued call. The record
    // is kept alive by the call even when the list is rebuilt meanwhile.
    void postDelay(LineNode line, QString delay, bool lost = false);

private:
    void reindex();

    std::vector<LineNode> lines_;
    QHash<const ps*, int> rows_;
    QStringList headers_;
};

}  // namespace zenrun
