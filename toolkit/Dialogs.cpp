// Dialogs.cpp: filter and extension rules of the file dialogs.
#include "toolkit/Dialogs.h"

#include <QFileInfo>

QString ConvertDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        const QString joined = patterns.join(QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses of the label.
        const qsizetype open = label.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && label.endsWith(QLatin1Char(')')))
            label = label.left(open).trimmed();
        result << QStringLiteral("%1 (%2)").arg(label, joined);
    }
    return result.join(QStringLiteral(";;"));
}

QString ApplyDefaultExtension(const QString &path, const QString &defaultExt)
{
    if (path.isEmpty() || defaultExt.isEmpty())
        return path;
    const QFileInfo info(path);
    if (!info.fileName().contains(QLatin1Char('.')))
        return path + QLatin1Char('.') + defaultExt;
    return path;
}
