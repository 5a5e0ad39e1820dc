// ScreenFit.cpp: FitToArea, FitToScreen and TScreenFit.
#include "app/ScreenFit.h"

#include <algorithm>

#include <QEvent>
#include <QScreen>
#include <QWidget>

QRect FitToArea(const QRect &wanted, const QRect &available) noexcept
{
    if (available.isEmpty() || available.contains(wanted))
        return wanted;
    const int width = std::min(wanted.width(), available.width());
    const int height = std::min(wanted.height(), available.height());
    const int x = std::clamp(wanted.x(), available.x(), available.x() + available.width() - width);
    const int y = std::clamp(wanted.y(), available.y(), available.y() + available.height() - height);
    return QRect(x, y, width, height);
}

void FitToScreen(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    // The frame's margins, known once the window system has framed it.
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    const QRect fitted = FitToArea(frame, screen->availableGeometry()).marginsRemoved(margins);
    if (fitted == client)
        return;
    const QSize size = fitted.size().expandedTo(window.minimumSize()).boundedTo(window.maximumSize());
    window.setGeometry(QRect(fitted.topLeft(), size));
}

bool TScreenFit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        // Menus, tips and popups place themselves.
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            FitToScreen(*widget);
    }
    return QObject::eventFilter(watched, event);
}
