// uGoToLine.cpp: TfmGoToLine.
#include "app/uGoToLine.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

TfmGoToLine::TfmGoToLine(int lineCount, int current, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Go to line"));
    const int last = std::max(lineCount, 1);
    lbLine = new QLabel(QStringLiteral("&Line number (1 - %1):").arg(last), this);
    seLine = new QSpinBox(this);
    seLine->setRange(1, last);
    seLine->setValue(std::clamp(current, 1, last));
    seLine->selectAll(); // typing replaces the number
    lbLine->setBuddy(seLine);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbLine);
    layout->addWidget(seLine);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TfmGoToLine::Line() const
{
    return seLine->value();
}
