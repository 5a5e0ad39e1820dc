// uRecoveryPrompt.h: the question about a document left unsaved by a Quenlo that died.
// TfmRecoveryPrompt offers Recover (the default), Discard and Later; Escape
// and closing the dialog mean Later, which keeps the snapshot.
#ifndef QUENLO_APP_URECOVERYPROMPT_H
#define QUENLO_APP_URECOVERYPROMPT_H

#include <QDialog>

class QLabel;
class QPushButton;

class TfmRecoveryPrompt : public QDialog {
    Q_OBJECT
public:
    // name: the script's file name, or empty for a script never saved.
    explicit TfmRecoveryPrompt(const QString &name, QWidget *parent = nullptr);

    // The dialog's results.
    enum TAnswer { raLater = QDialog::Rejected, raRecover = QDialog::Accepted, raDiscard = 2 };
    static QString Question(const QString &name);

    QLabel *lbQuestion = nullptr;
    QPushButton *btRecover = nullptr;
    QPushButton *btDiscard = nullptr;
    QPushButton *btLater = nullptr;
};

#endif
