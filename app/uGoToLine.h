// uGoToLine.h: the Go to line dialog: one line number within the script's lines.
#ifndef QUENLO_APP_UGOTOLINE_H
#define QUENLO_APP_UGOTOLINE_H

#include <QDialog>

class QLabel;
class QSpinBox;

class TfmGoToLine : public QDialog {
    Q_OBJECT
public:
    // lineCount: the last line that may be chosen; current: the line shown at first.
    TfmGoToLine(int lineCount, int current, QWidget *parent = nullptr);

    int Line() const;

    QLabel *lbLine = nullptr;
    QSpinBox *seLine = nullptr;
};

#endif
