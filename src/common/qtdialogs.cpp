#include "common/qtdialogs.h"

#include "common/appinfo.h"

#include <QFileDialog>
#include <QMessageBox>

namespace marvane {

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QString SelectedFilter(const FileDialogRequest& request) {
  const QStringList filters = QtFilterFromProgramFilter(request.filter).split(QStringLiteral(";;"));
  const qsizetype index = request.filterIndex - 1;
  return index >= 0 && index < filters.size() ? filters[index] : QString();
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, request.title, request.folder, QtFilterFromProgramFilter(request.filter));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (const QString selected = SelectedFilter(request); !selected.isEmpty()) dialog.selectNameFilter(selected);
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

void QtDialogs::ShowNotice(const QString& text) {
  if (notice_ == nullptr) {
    notice_ = new QMessageBox(QMessageBox::Warning, kAppTitle, text, QMessageBox::Ok, parent_);
    notice_->setWindowModality(Qt::NonModal);
    notice_->setAttribute(Qt::WA_DeleteOnClose);
  }
  notice_->setText(text);
  notice_->show();
}

void QtDialogs::HideNotice() {
  if (notice_ != nullptr) notice_->close();
}

MessageResult QtDialogs::Message(const QString& text, MessageButtons buttons, MessageIcon icon,
                                 const QString& title) {
  QMessageBox box(ToQtIcon(icon), title.isEmpty() ? kAppTitle : title, text, QMessageBox::NoButton, parent_);
  switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    case QMessageBox::Cancel: return MessageResult::Cancel;
    default: break;
  }
  // Closing a Yes/No box with the window's close button counts as No, as the program expects.
  return buttons == MessageButtons::YesNo ? MessageResult::No
         : buttons == MessageButtons::OkCancel || buttons == MessageButtons::YesNoCancel ? MessageResult::Cancel
                                               : MessageResult::Ok;
}

std::optional<QString> QtDialogs::OpenFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::SaveFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

}  // namespace marvane
