#pragma once
// The real dialogs: QMessageBox and QFileDialog. UI thread only.

#include "common/dialogs.h"

#include <QMessageBox>
#include <QPointer>

class QWidget;

namespace marvane {

class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  MessageResult Message(const QString& text, MessageButtons buttons, MessageIcon icon,
                        const QString& title) override;
  std::optional<QString> OpenFile(const FileDialogRequest& request) override;
  std::optional<QString> SaveFile(const FileDialogRequest& request) override;
  void ShowNotice(const QString& text) override;
  void HideNotice() override;

 private:
  QWidget* parent_;
  QPointer<QMessageBox> notice_;
};

}  // namespace marvane
