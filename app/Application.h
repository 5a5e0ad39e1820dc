// Application.h: the application object with the standard error handler.
// TApplication catches any exception that escapes an event handler, shows its
// message in a message box and keeps running.
#ifndef QUENLO_APP_APPLICATION_H
#define QUENLO_APP_APPLICATION_H

#include <exception>

#include <QApplication>

class IDialogs;

class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows the message of an exception in an error box (through dialogs when
// given, else a plain QMessageBox), as the application's standard handler does.
void HandleException(const std::exception &error, IDialogs *dialogs = nullptr);
void HandleUnknownException(IDialogs *dialogs = nullptr);

// The dialogs that the standard handler uses; the main window installs its own.
void SetExceptionDialogs(IDialogs *dialogs) noexcept;

#endif
