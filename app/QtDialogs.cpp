// QtDialogs.cpp: QMessageBox and QFileDialog behind the dialog seam.
#include "app/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

int TQtDialogs::MessageDlg(const QString &text, TMsgDlgType type, int buttons, int defaultButton)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    switch (type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case mtCustom: break; // a plain message
    }
    struct Map { int ours; QMessageBox::StandardButton qt; int result; };
    const Map map[] = {{mbYes, QMessageBox::Yes, mrYes}, {mbNo, QMessageBox::No, mrNo},
                       {mbOK, QMessageBox::Ok, mrOk}, {mbCancel, QMessageBox::Cancel, mrCancel}};
    for (const Map &m : map) {
        if (buttons & m.ours) {
            QPushButton *button = box.addButton(m.qt);
            if (m.ours == defaultButton)
                box.setDefaultButton(button);
        }
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Map &m : map)
        if (m.qt == clicked)
            return m.result;
    return mrCancel;
}

namespace {

std::optional<QString> RunFileDialog(QWidget *parent, const TFileDialogOptions &options, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, options.title, options.initialDir, ConvertDialogFilter(options.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(options.defaultExt);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    // The main window asks before a file is replaced, through this seam.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ApplyDefaultExtension(dialog.selectedFiles().constFirst(), options.defaultExt);
}

} // namespace

std::optional<QString> TQtDialogs::OpenFileName(const TFileDialogOptions &options)
{
    return RunFileDialog(m_parent, options, QFileDialog::AcceptOpen);
}

std::optional<QString> TQtDialogs::SaveFileName(const TFileDialogOptions &options)
{
    return RunFileDialog(m_parent, options, QFileDialog::AcceptSave);
}
