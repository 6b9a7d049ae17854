#pragma once
// The rows of the Playlist Editor's list: a view over the playlist in memory, one row per entry of ListItems
// (row r stands for position r + 1). The model holds no copy of the list: it keeps only the text each row shows,
// which is the entry's file name, or, for rows added from a playlist file's contents, the name without its
// extension until the list is next rebuilt. Every change goes through the model so that the rows and ListItems
// stay in step; a change of many rows is one reset or one insertion, never one signal per row.
//
// Rows can be dragged to another place in the list, and files dragged from the desktop's file manager
// (text/uri-list) are handed to filesDropped with the row they were dropped on.
//
// UI thread only.

#include "playlist/playlist.h"

#include <QAbstractListModel>
#include <QStringList>

#include <functional>

namespace marvane {

class PlaylistModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // The drag of rows inside the list.
  static const QString kRowsMimeType;

  PlaylistModel(Playlist& playlist, QObject* parent = nullptr);

  Playlist& List() { return playlist_; }

  // Rebuilds every row from ListItems, each showing the entry's file name.
  void Refresh();
  // Appends one entry with its row text.
  void Append(const QString& entry, const QString& rowText);
  // Appends several entries at once.
  void AppendMany(const QStringList& entries, const QStringList& rowTexts);
  // Inserts an entry before row (row = rowCount() appends).
  void Insert(int row, const QString& entry, const QString& rowText);
  // Rows for the entries ListItems gained behind the model's back (a loader appended them), each showing
  // the name without folder and extension.
  void AppendRowsForNewEntries();
  // Removes one row; and the given rows, in one pass.
  void RemoveRow(int row);
  void RemoveRows(QList<int> rows);
  // Empties the list (and the recently played songs with it when clearPlayed).
  void Clear(bool clearPlayed);
  // Moves the given rows, keeping their order, so that they stand before what is now row destination.
  // Returns the rows they occupy afterwards.
  QList<int> MoveRows(QList<int> rows, int destination);

  QString RowText(int row) const { return rows_.value(row); }

  // Files (and folders) dropped from outside onto row (rowCount() when dropped below the last row).
  std::function<void(const QStringList& paths, int row)> filesDropped;
  // Rows moved by a drag that the list view handed over as data, and where they are now. (Moves the view makes
  // through moveRows raise the model's rowsMoved signal instead.)
  std::function<void(const QList<int>& rows)> rowsDragged;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The list view moves dragged rows one block at a time through this; selection follows the rows.
  bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                int destinationChild) override;
  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  Playlist& playlist_;
  QStringList rows_;
};

}  // namespace marvane
