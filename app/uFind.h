// uFind.h: the Find dialog: the text to find and how to match it.
#ifndef QUENLO_APP_UFIND_H
#define QUENLO_APP_UFIND_H

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TfmFind : public QDialog {
    Q_OBJECT
public:
    // text: shown at first; selection: whether "In selection" can be chosen.
    TfmFind(const QString &text, bool selection, QWidget *parent = nullptr);

    QLineEdit *edFind = nullptr;
    QCheckBox *cbMatchCase = nullptr;
    QCheckBox *cbWholeWord = nullptr;
    QCheckBox *cbSelection = nullptr;
};

#endif
