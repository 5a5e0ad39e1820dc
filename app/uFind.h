// uFind.h: the Find and Replace dialog: the text to find, how to match it
// and, for Replace, the text to put in its place.
#ifndef QUENLO_APP_UFIND_H
#define QUENLO_APP_UFIND_H

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TfmFind : public QDialog {
    Q_OBJECT
public:
    // text: shown at first; selection: whether "In selection" can be chosen;
    // replace: the Replace form, whose Replace all ends with kReplaceAll.
    TfmFind(const QString &text, bool selection, bool replace = false, QWidget *parent = nullptr);

    static constexpr int kReplaceAll = 2;

    QLineEdit *edFind = nullptr;
    QLineEdit *edReplace = nullptr; // the Replace form only
    QCheckBox *cbMatchCase = nullptr;
    QCheckBox *cbWholeWord = nullptr;
    QCheckBox *cbSelection = nullptr;
};

#endif
