// ScreenFit.h: windows and dialogs that fit the screen they open on.
// FitToArea places a rectangle inside a screen's free area; TScreenFit fits
// every window the application shows.
#ifndef QUENLO_APP_SCREENFIT_H
#define QUENLO_APP_SCREENFIT_H

#include <QObject>
#include <QRect>

class QWidget;

// wanted where it lies inside available; otherwise no larger than available
// and moved as little as needed to lie inside it.
QRect FitToArea(const QRect &wanted, const QRect &available) noexcept;

// Fits a window, its frame included where the window system tells it, to the
// free area of its screen; a window that cannot be made smaller (a fixed
// size) is only moved.
void FitToScreen(QWidget &window);

// An application-wide filter: each window is fitted as it is shown.
class TScreenFit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#endif
