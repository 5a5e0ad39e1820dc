// uAbout.cpp: TfmAbout and the application icon.
#include "app/uAbout.h"

#include <QDialogButtonBox>
#include <QDirIterator>
#include <QGridLayout>
#include <QLabel>
#include <QtGlobal>

#include "QuenloVersion.h"

QIcon ApplicationIcon()
{
    const QString name = QLatin1String(kQuenloAppId);
    QIcon builtIn; // every size built in, as :/icons/SIZExSIZE/apps/NAME.png
    QDirIterator sizes(QStringLiteral(":/icons"), {name + QStringLiteral(".png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        builtIn.addFile(sizes.next());
    return QIcon::fromTheme(name, builtIn);
}

TfmAbout::TfmAbout(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Quenlo"));
    constexpr int kIconSize = 64;
    lbIcon = new QLabel(this);
    lbIcon->setPixmap(ApplicationIcon().pixmap(kIconSize, kIconSize));
    lbIcon->setAlignment(Qt::AlignTop);
    // The Qt the program runs on may be newer than the one it was built with.
    QString qt = QStringLiteral("Qt %1").arg(QLatin1String(qVersion()));
    if (qstrcmp(qVersion(), QT_VERSION_STR) != 0)
        qt += QStringLiteral(" (built with %1)").arg(QLatin1String(QT_VERSION_STR));
    lbText = new QLabel(QStringLiteral("<h3>Quenlo %1</h3>"
                                       "<p>Editor for Tavrix VBScript plug-in scripts.</p>"
                                       "<p>Uses %2.</p>"
                                       "<p>Released under the %3 licence.</p>")
                            .arg(QLatin1String(kQuenloVersion), qt, QLatin1String(kQuenloLicense)),
                        this);
    lbText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QGridLayout(this);
    layout->addWidget(lbIcon, 0, 0);
    layout->addWidget(lbText, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    layout->setHorizontalSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
