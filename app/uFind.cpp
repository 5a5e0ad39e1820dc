// uFind.cpp: TfmFind.
#include "app/uFind.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmFind::TfmFind(const QString &text, bool selection, bool replace, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    edFind = new QLineEdit(text, this);
    edFind->selectAll();
    edFind->setMinimumWidth(240);
    // Created in reading order, which is the Tab order: what, with, options, buttons.
    if (replace)
        edReplace = new QLineEdit(this);
    cbMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    cbWholeWord = new QCheckBox(QStringLiteral("&Whole word"), this);
    cbSelection = new QCheckBox(QStringLiteral("In &selection"), this);
    cbSelection->setEnabled(selection);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(replace ? QStringLiteral("&Replace") : QStringLiteral("&Find"));
    QPushButton *all = nullptr;
    if (replace) {
        all = buttons->addButton(QStringLiteral("Replace &all"), QDialogButtonBox::ActionRole);
        connect(all, &QPushButton::clicked, this, [this] { done(kReplaceAll); });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Nothing to find, nothing to accept.
    const auto enable = [buttons, all, this] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!edFind->text().isEmpty());
        if (all)
            all->setEnabled(!edFind->text().isEmpty());
    };
    connect(edFind, &QLineEdit::textChanged, this, enable);
    enable();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), edFind);
    if (replace)
        form->addRow(QStringLiteral("Replace wi&th:"), edReplace);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(cbMatchCase);
    layout->addWidget(cbWholeWord);
    layout->addWidget(cbSelection);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
