// uRecoveryPrompt.cpp: TfmRecoveryPrompt.
#include "app/uRecoveryPrompt.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfmRecoveryPrompt::TfmRecoveryPrompt(const QString &name, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Recover unsaved changes"));
    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    lbQuestion = new QLabel(Question(name), this);
    lbQuestion->setWordWrap(true);
    lbQuestion->setTextFormat(Qt::PlainText);
    auto *buttons = new QDialogButtonBox(this);
    btRecover = buttons->addButton(QStringLiteral("&Recover"), QDialogButtonBox::AcceptRole);
    btDiscard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    btLater = buttons->addButton(QStringLiteral("&Later"), QDialogButtonBox::RejectRole);
    btRecover->setDefault(true);
    btRecover->setAutoDefault(true);
    btDiscard->setAutoDefault(false);
    btLater->setAutoDefault(false);
    connect(btRecover, &QPushButton::clicked, this, [this] { done(raRecover); });
    connect(btDiscard, &QPushButton::clicked, this, [this] { done(raDiscard); });
    connect(btLater, &QPushButton::clicked, this, [this] { done(raLater); });
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(lbQuestion, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    lbQuestion->setMinimumWidth(lbQuestion->fontMetrics().averageCharWidth() * 40);
}

QString TfmRecoveryPrompt::Question(const QString &name)
{
    const QString what = name.isEmpty() ? QStringLiteral("a new script") : name;
    return QStringLiteral("Quenlo closed without saving the changes to %1. Recover them?").arg(what);
}
