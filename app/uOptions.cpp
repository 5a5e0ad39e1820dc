// uOptions.cpp: TfmOptions, its layout and the mapping of the controls to
// the selected attribute.
#include "app/uOptions.h"

#include <algorithm>
#include <exception>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "toolkit/Win1252.h"
#include "highlight/jaVBSSyn.h"
#include "widgets/ColorPickerButton.h"
#include "app/Application.h"
#include "app/uMain.h"

namespace {

// A dropped-down palette stands this many pixels off its button.
constexpr int kPopupSpacing = 8;
constexpr QSize kPickerSize(45, 22);
// The client area where the fonts allow it.
constexpr int kWidth = 410;
constexpr int kHeight = 265;

// The style of each box of StyleBoxes.
constexpr TFontStyle kStyles[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};

TColorPickerButton *MakePicker(QWidget *parent)
{
    auto *picker = new TColorPickerButton(parent);
    picker->SetPopupSpacing(kPopupSpacing);
    picker->SetShowSystemColors(false);
    picker->setFixedSize(kPickerSize);
    return picker;
}

} // namespace

TfmOptions::TfmOptions(IDialogs *dialogs, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), jaVbsSyn(std::make_unique<TjaVbsSyn>())
{
    setWindowTitle(QStringLiteral("Options"));

    pcOptions = new QTabWidget(this);
    tshEdit = new QWidget(pcOptions);
    pcOptions->addTab(tshEdit, QStringLiteral("Editor"));
    gbColours = new QGroupBox(QStringLiteral("Colours"), tshEdit);
    auto *pageLayout = new QVBoxLayout(tshEdit);
    pageLayout->addWidget(gbColours);

    cbElements = new QComboBox(gbColours);
    cbElements->setEditable(false); // pick only
    ccbForeground = MakePicker(gbColours);
    ccbBackground = MakePicker(gbColours);
    cbBold = new QCheckBox(QStringLiteral("Bold"), gbColours);
    cbItalic = new QCheckBox(QStringLiteral("Italic"), gbColours);
    cbUnderline = new QCheckBox(QStringLiteral("Underline"), gbColours);
    cbStrikeout = new QCheckBox(QStringLiteral("Strikeout"), gbColours);

    // Element and the two colours on the left, the style boxes one under the
    // other on the right.
    auto *grid = new QGridLayout(gbColours);
    const auto label = [this](const char *text) { return new QLabel(QString::fromLatin1(text), gbColours); };
    grid->addWidget(label("Element"), 0, 0);
    grid->addWidget(cbElements, 0, 1, 1, 3);
    grid->addWidget(label("Foreground"), 1, 0);
    grid->addWidget(ccbForeground, 1, 1, Qt::AlignLeft);
    grid->addWidget(label("Background"), 2, 0);
    grid->addWidget(ccbBackground, 2, 1, Qt::AlignLeft);
    QLabel *styleLabel = label("Style");
    styleLabel->setFixedHeight(cbBold->sizeHint().height()); // level with "Bold"
    grid->addWidget(styleLabel, 1, 2, Qt::AlignTop);
    auto *styles = new QVBoxLayout;
    for (QCheckBox *box : StyleBoxes())
        styles->addWidget(box);
    grid->addLayout(styles, 1, 3, 4, 1, Qt::AlignTop);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcOptions);
    layout->addLayout(buttons);
    // Fixed, and never smaller than its contents need.
    const QSize needed = layout->sizeHint();
    setFixedSize(std::max(kWidth, needed.width()), std::max(kHeight, needed.height()));

    connect(btnOK, &QPushButton::clicked, this, [this] {
        btnOKClick();
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbElements, &QComboBox::currentIndexChanged, this, &TfmOptions::cbElementsChange);
    for (TColorPickerButton *picker : {ccbForeground, ccbBackground})
        picker->OnChange = [this](TColorPickerButton &) { ccbForegroundChange(); };
    // Toggled, not clicked: setting a box from an element counts as a change
    // as well, and the element being shown stays its own (see cbElementsChange).
    for (QCheckBox *box : StyleBoxes())
        connect(box, &QCheckBox::toggled, this, &TfmOptions::ccbForegroundChange);

    FormCreate();
}

TfmOptions::~TfmOptions() = default;

void TfmOptions::FormCreate()
{
    // A broken stored value is shown as the standard handler shows errors;
    // the dialog still opens, with the defaults where loading stopped, and
    // OK writes sound values over the broken ones.
    try {
        jaVbsSyn->LoadFromRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey);
    } catch (const std::exception &error) {
        HandleException(error, m_dialogs);
    }
    FillElements();
}

void TfmOptions::FillElements()
{
    {
        const QSignalBlocker blocker(cbElements); // no element is shown half-filled
        cbElements->clear();
        for (int i = 0; i < jaVbsSyn->AttrCount(); ++i)
            cbElements->addItem(Win1252::ToUnicode(jaVbsSyn->Attribute(i)->Name()));
        cbElements->setCurrentIndex(0);
    }
    cbElementsChange();
}

TzeHighLightAttributes *TfmOptions::SelectedAttribute() const
{
    return jaVbsSyn->Attribute(cbElements->currentIndex());
}

void TfmOptions::cbElementsChange()
{
    const TzeHighLightAttributes *selected = SelectedAttribute();
    if (!selected)
        return;
    // Setting a control runs ApplyElement with the controls still partly
    // showing the previous element. Every control is set from this copy, so
    // the selected element ends with its own values and no element changes.
    TzeHighLightAttributes scratch(selected->Name());
    scratch.Assign(*selected);
    ccbForeground->SetSelectionColor(scratch.Foreground());
    ccbBackground->SetSelectionColor(scratch.Background());
    const auto boxes = StyleBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setChecked(scratch.Style().Contains(kStyles[i]));
}

void TfmOptions::ccbForegroundChange()
{
    ApplyElement();
}

void TfmOptions::ApplyElement()
{
    TzeHighLightAttributes *selected = SelectedAttribute();
    if (!selected)
        return;
    TzeHighLightAttributes scratch(selected->Name());
    scratch.Assign(*selected);
    scratch.SetForeground(ccbForeground->SelectionColor());
    scratch.SetBackground(ccbBackground->SelectionColor());
    TFontStyles style;
    const auto boxes = StyleBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->isChecked())
            style |= kStyles[i];
    scratch.SetStyle(style);
    selected->Assign(scratch);
}
