#pragma once
// The rows of the log viewer's list: one row per log entry, oldest first, with the columns "Date", "Time" and
// "Song". The list is filled with a whole listing at once (a log of 100,000 entries is one reset, not 100,000
// insertions) and grows by one row per new entry.
//
// UI thread only.

#include "songlog/songlogentries.h"

#include <QAbstractTableModel>

#include <vector>

namespace marvane {

class SongLogModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { DateColumn, TimeColumn, SongColumn, ColumnCount };

  explicit SongLogModel(QObject* parent = nullptr);

  // Replaces every row.
  void SetEntries(std::vector<SongLogEntry> entries);
  // Adds a row at the end.
  void Append(const SongLogEntry& entry);
  const std::vector<SongLogEntry>& Entries() const { return entries_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::vector<SongLogEntry> entries_;
};

}  // namespace marvane
