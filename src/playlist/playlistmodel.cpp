#include "playlist/playlistmodel.h"

#include "playlist/pathhelpers.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace marvane {

const QString PlaylistModel::kRowsMimeType = QStringLiteral("application/x-marvane-playlist-rows");

PlaylistModel::PlaylistModel(Playlist& playlist, QObject* parent)
    : QAbstractListModel(parent), playlist_(playlist) {}

void PlaylistModel::Refresh() {
  beginResetModel();
  rows_.clear();
  rows_.reserve(playlist_.ListItems.size());
  for (const QString& entry : std::as_const(playlist_.ListItems)) rows_.append(SplitFileName(entry));
  endResetModel();
}

void PlaylistModel::Append(const QString& entry, const QString& rowText) {
  Insert(static_cast<int>(rows_.size()), entry, rowText);
}

void PlaylistModel::AppendMany(const QStringList& entries, const QStringList& rowTexts) {
  Q_ASSERT(entries.size() == rowTexts.size());
  if (entries.isEmpty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
  playlist_.ListItems.append(entries);
  rows_.append(rowTexts);
  endInsertRows();
}

void PlaylistModel::Insert(int row, const QString& entry, const QString& rowText) {
  row = std::clamp(row, 0, static_cast<int>(std::min(rows_.size(), playlist_.ListItems.size())));
  beginInsertRows(QModelIndex(), row, row);
  playlist_.ListItems.insert(row, entry);
  rows_.insert(row, rowText);
  endInsertRows();
}

void PlaylistModel::AppendRowsForNewEntries() {
  const qsizetype first = rows_.size();
  const qsizetype last = playlist_.ListItems.size();
  if (last <= first) return;
  beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(last - 1));
  rows_.reserve(last);
  for (qsizetype i = first; i < last; ++i) rows_.append(SplitFileName(StripExtension(playlist_.ListItems[i])));
  endInsertRows();
}

void PlaylistModel::RemoveRow(int row) {
  if (row < 0 || row >= rows_.size() || row >= playlist_.ListItems.size()) return;
  beginRemoveRows(QModelIndex(), row, row);
  playlist_.ListItems.removeAt(row);
  rows_.removeAt(row);
  endRemoveRows();
}

void PlaylistModel::RemoveRows(QList<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.isEmpty()) return;
  beginResetModel();
  // One pass: keep every entry whose row is not in the sorted list.
  QStringList items;
  QStringList texts;
  items.reserve(playlist_.ListItems.size() - rows.size());
  texts.reserve(items.capacity());
  qsizetype next = 0;
  for (qsizetype i = 0; i < playlist_.ListItems.size(); ++i) {
    if (next < rows.size() && rows[next] == i) {
      ++next;
      continue;
    }
    items.append(playlist_.ListItems[i]);
    texts.append(rows_.value(i));
  }
  playlist_.ListItems = std::move(items);
  rows_ = std::move(texts);
  endResetModel();
}

void PlaylistModel::Clear(bool clearPlayed) {
  beginResetModel();
  playlist_.ListItems.clear();
  if (clearPlayed) playlist_.PlayedList.clear();
  rows_.clear();
  endResetModel();
}

QList<int> PlaylistModel::MoveRows(QList<int> rows, int destination) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.removeIf([this](int r) { return r < 0 || r >= rows_.size() || r >= playlist_.ListItems.size(); });
  if (rows.isEmpty()) return {};
  destination = std::clamp(destination, 0, static_cast<int>(std::min(rows_.size(), playlist_.ListItems.size())));
  Q_EMIT layoutAboutToBeChanged();
  QStringList movedItems;
  QStringList movedTexts;
  int before = 0;  // moved rows that stood above the destination
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
    movedItems.prepend(playlist_.ListItems.takeAt(*it));
    movedTexts.prepend(rows_.takeAt(*it));
    if (*it < destination) ++before;
  }
  const int at = destination - before;
  QList<int> placed;
  for (int i = 0; i < movedItems.size(); ++i) {
    playlist_.ListItems.insert(at + i, movedItems[i]);
    rows_.insert(at + i, movedTexts[i]);
    placed.append(at + i);
  }
  // The view's selection and current row are put right by the editor; stale persistent indexes are dropped.
  const QModelIndexList persistent = persistentIndexList();
  changePersistentIndexList(persistent, QModelIndexList(persistent.size()));
  Q_EMIT layoutChanged();
  return placed;
}

bool PlaylistModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild) {
  const int size = static_cast<int>(std::min(rows_.size(), playlist_.ListItems.size()));
  if (sourceParent.isValid() || destinationParent.isValid() || count <= 0 || sourceRow < 0 ||
      sourceRow + count > size || destinationChild < 0 || destinationChild > size)
    return false;
  if (!beginMoveRows(QModelIndex(), sourceRow, sourceRow + count - 1, QModelIndex(), destinationChild)) return false;
  const QStringList items = playlist_.ListItems.mid(sourceRow, count);
  const QStringList texts = rows_.mid(sourceRow, count);
  playlist_.ListItems.remove(sourceRow, count);
  rows_.remove(sourceRow, count);
  const int at = destinationChild > sourceRow ? destinationChild - count : destinationChild;
  for (int i = 0; i < count; ++i) {
    playlist_.ListItems.insert(at + i, items[i]);
    rows_.insert(at + i, texts[i]);
  }
  endMoveRows();
  return true;
}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_.size()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return rows_[index.row()];
  if (role == Qt::ToolTipRole) return playlist_.ListItems.value(index.row());
  return {};
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions PlaylistModel::supportedDropActions() const { return Qt::MoveAction | Qt::CopyAction; }

QStringList PlaylistModel::mimeTypes() const { return {kRowsMimeType, QStringLiteral("text/uri-list")}; }

QMimeData* PlaylistModel::mimeData(const QModelIndexList& indexes) const {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  for (const QModelIndex& index : indexes)
    if (index.isValid()) out << static_cast<qint32>(index.row());
  auto* mime = new QMimeData;
  mime->setData(kRowsMimeType, bytes);
  return mime;
}

bool PlaylistModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                    const QModelIndex&) const {
  return data != nullptr && (data->hasFormat(kRowsMimeType) || data->hasUrls());
}

bool PlaylistModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                 const QModelIndex& parent) {
  if (data == nullptr || action == Qt::IgnoreAction) return false;
  if (row < 0) row = parent.isValid() ? parent.row() : static_cast<int>(rows_.size());
  if (data->hasFormat(kRowsMimeType)) {
    QList<int> rows;
    QDataStream in(data->data(kRowsMimeType));
    while (!in.atEnd()) {
      qint32 r = 0;
      in >> r;
      rows.append(r);
    }
    const QList<int> placed = MoveRows(rows, row);
    if (!placed.isEmpty() && rowsDragged) rowsDragged(placed);
    // The rows are moved here already: the view must not remove the originals.
    return false;
  }
  QStringList paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  if (paths.isEmpty() || !filesDropped) return false;
  filesDropped(paths, row);
  return false;
}

}  // namespace marvane
