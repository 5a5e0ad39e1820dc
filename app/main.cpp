// main.cpp: starts Quenlo with an optional script file to open.
#include "app/Application.h"
#include "app/QtDialogs.h"
#include "app/uMain.h"

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    // The application title; window captions are the main window's own.
    TApplication::setApplicationName(QStringLiteral("Quenlo"));
    TApplication::setOrganizationName(QStringLiteral("Tavrix"));
    TQtDialogs dialogs;
    SetExceptionDialogs(&dialogs);
    QStringList arguments = TApplication::arguments();
    arguments.removeFirst();
    TfmScript fmScript(arguments, dialogs);
    dialogs.SetParent(&fmScript);
    fmScript.show();
    return TApplication::exec();
}
