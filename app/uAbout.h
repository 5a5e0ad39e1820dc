// uAbout.h: the About Quenlo dialog (version, Qt version, licence) and the
// application icon shown there and on the main window.
#ifndef QUENLO_APP_UABOUT_H
#define QUENLO_APP_UABOUT_H

#include <QDialog>
#include <QIcon>

class QLabel;

// The icon theme's application icon; where the theme has none (a build run
// from its folder) the sizes built into the program, rendered from the same drawing.
QIcon ApplicationIcon();

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget *parent = nullptr);

    QLabel *lbIcon = nullptr;
    QLabel *lbText = nullptr;
};

#endif
