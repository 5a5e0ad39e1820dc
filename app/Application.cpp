// Application.cpp: application object and standard error handler.
#include "app/Application.h"

#include <QMessageBox>

#include "toolkit/Dialogs.h"

namespace {
IDialogs *g_dialogs = nullptr;

void Show(const QString &text, IDialogs *dialogs)
{
    if (!dialogs)
        dialogs = g_dialogs;
    if (dialogs)
        dialogs->MessageDlg(text, mtError, mbOK);
    else
        QMessageBox::critical(nullptr, QApplication::applicationName(), text);
}
} // namespace

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        HandleException(error);
    } catch (...) {
        HandleUnknownException();
    }
    return false;
}

void HandleException(const std::exception &error, IDialogs *dialogs)
{
    Show(QString::fromLocal8Bit(error.what()), dialogs);
}

void HandleUnknownException(IDialogs *dialogs)
{
    Show(QStringLiteral("An unknown error occurred"), dialogs);
}

void SetExceptionDialogs(IDialogs *dialogs) noexcept
{
    g_dialogs = dialogs;
}
