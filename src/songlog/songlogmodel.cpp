#include "songlog/songlogmodel.h"

namespace marvane {

SongLogModel::SongLogModel(QObject* parent) : QAbstractTableModel(parent) {}

void SongLogModel::SetEntries(std::vector<SongLogEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

void SongLogModel::Append(const SongLogEntry& entry) {
  const int row = static_cast<int>(entries_.size());
  beginInsertRows(QModelIndex(), row, row);
  entries_.push_back(entry);
  endInsertRows();
}

int SongLogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int SongLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SongLogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const SongLogEntry& entry = entries_[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case DateColumn: return entry.Date;
    case TimeColumn: return entry.Time;
    case SongColumn: return entry.Song;
    default: return {};
  }
}

QVariant SongLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case DateColumn: return QStringLiteral("Date");
    case TimeColumn: return QStringLiteral("Time");
    case SongColumn: return QStringLiteral("Song");
    default: return {};
  }
}

}  // namespace marvane
