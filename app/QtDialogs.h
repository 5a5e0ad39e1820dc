// QtDialogs.h: the message boxes and file dialogs of the running application.
// TQtDialogs implements the toolkit's dialog seam over QMessageBox and QFileDialog.
#ifndef QUENLO_APP_QTDIALOGS_H
#define QUENLO_APP_QTDIALOGS_H

#include "toolkit/Dialogs.h"

class QWidget;

class TQtDialogs : public IDialogs {
public:
    explicit TQtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget *parent) noexcept { m_parent = parent; }
    using IDialogs::MessageDlg;
    int MessageDlg(const QString &text, TMsgDlgType type, int buttons, int defaultButton) override;
    std::optional<QString> OpenFileName(const TFileDialogOptions &options) override;
    std::optional<QString> SaveFileName(const TFileDialogOptions &options) override;

private:
    QWidget *m_parent;
};

#endif
