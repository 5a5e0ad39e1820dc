// Dialogs.h: the message-box and file-dialog seam.
// The application installs an implementation over Qt's dialogs; tests install
// one that answers from a script. Also converts the framework's filter text.
#ifndef QUENLO_TOOLKIT_DIALOGS_H
#define QUENLO_TOOLKIT_DIALOGS_H

#include <optional>

#include <QString>
#include <QStringList>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct TFileDialogOptions {
    QString title;
    QString initialDir;
    QString filter;      // the framework's form: "Text (*.txt)|*.txt|All files (*.*)|*.*"
    QString defaultExt;  // without the dot
    QString fileName;    // the name proposed in initialDir; empty: none
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // buttons: a combination of TMsgDlgBtn; defaultButton: the one of them
    // that Enter presses (0: the first); result: the pressed button's TModalResult.
    virtual int MessageDlg(const QString &text, TMsgDlgType type, int buttons, int defaultButton) = 0;
    int MessageDlg(const QString &text, TMsgDlgType type, int buttons) { return MessageDlg(text, type, buttons, 0); }
    // The chosen path, or nothing on cancel.
    virtual std::optional<QString> OpenFileName(const TFileDialogOptions &options) = 0;
    virtual std::optional<QString> SaveFileName(const TFileDialogOptions &options) = 0;
};

// Converts "Text (*.txt)|*.txt|All (*.*)|*.*" into Qt's "Text (*.txt);;All (*)".
// The pattern half of each pair is authoritative; "*.*" becomes "*".
QString ConvertDialogFilter(const QString &filter);

// Appends ".ext" when the file name part of path has no extension.
QString ApplyDefaultExtension(const QString &path, const QString &defaultExt);

#endif
