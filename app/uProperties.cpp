// uProperties.cpp: TfmProperties, its layout and field mapping.
#include "app/uProperties.h"

#include <algorithm>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "toolkit/AsciiCase.h"
#include "toolkit/Win1252.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"

namespace {

QLabel *WrappedLabel(const char *text, QWidget *parent)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setWordWrap(true);
    return label;
}

QString Unicode(const std::string &text) { return Win1252::ToUnicode(text); }
// Edit boxes hold what the user typed; OK is refused while it holds a
// character a script cannot store, so nothing is dropped here.
std::string Bytes(const QString &text) { return Win1252::FromUnicodeDropping(text); }

} // namespace

TfmProperties::TfmProperties(TzeCustomEdit &editor, IDialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_editor(editor), m_dialogs(dialogs), ScriptControl1(std::make_unique<TScriptControl>())
{
    setWindowTitle(QStringLiteral("Properties"));
    ScriptControl1->SetLanguage("VBScript");
    ScriptControl1->OnError = [this](TScriptControl &control) { ScriptControl1Error(control); };

    auto *pages = new QTabWidget(this);
    auto *page = new QWidget(pages);
    pages->addTab(page, QStringLiteral("Script"));
    auto *pageLayout = new QVBoxLayout(page);

    auto *idBox = new QGroupBox(QStringLiteral("Script ID"), page);
    auto *idLayout = new QVBoxLayout(idBox);
    idLayout->addWidget(WrappedLabel("Script ID must be unique, contain no spaces and consist only of alphanumeric "
                                     "characters. Tavrix uses this ID as a unique identifier.", idBox));
    edScriptID = new QLineEdit(idBox);
    idLayout->addWidget(edScriptID);
    pageLayout->addWidget(idBox);

    auto *mainBox = new QGroupBox(QStringLiteral("Main procedure"), page);
    auto *mainLayout = new QVBoxLayout(mainBox);
    mainLayout->addWidget(WrappedLabel("The main procedure is the procedure in the script that will be executed by "
                                       "Tavrix when the script is loaded.", mainBox));
    cbProcedures = new QComboBox(mainBox);
    cbProcedures->setEditable(false);
    mainLayout->addWidget(cbProcedures);
    pageLayout->addWidget(mainBox);

    auto *settingsBox = new QGroupBox(QStringLiteral("Script settings"), page);
    auto *grid = new QGridLayout(settingsBox);
    edScriptName = new QLineEdit(settingsBox);
    edScriptMenu = new QLineEdit(settingsBox);
    edScriptHint = new QLineEdit(settingsBox);
    grid->addWidget(new QLabel(QStringLiteral("Name"), settingsBox), 0, 0);
    grid->addWidget(edScriptName, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Menu caption"), settingsBox), 1, 0);
    grid->addWidget(edScriptMenu, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Hint"), settingsBox), 2, 0);
    grid->addWidget(edScriptHint, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Icon"), settingsBox), 3, 0);
    auto *pnIcon = new QFrame(settingsBox);
    pnIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnIcon->setLineWidth(1);
    pnIcon->setFixedSize(34, 34);
    Image1 = new QLabel(pnIcon);
    Image1->setGeometry(1, 1, 32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    grid->addWidget(pnIcon, 3, 1, Qt::AlignLeft);
    btnLoad = new QPushButton(QStringLiteral("&Load"), settingsBox);
    grid->addWidget(btnLoad, 3, 2, Qt::AlignRight);
    pageLayout->addWidget(settingsBox);
    // The dialog's size is fixed: keep the boxes compact so every edit box gets its height.
    for (QLayout *l : {static_cast<QLayout *>(idLayout), static_cast<QLayout *>(mainLayout), static_cast<QLayout *>(grid)}) {
        l->setContentsMargins(6, 4, 6, 4);
        l->setSpacing(4);
    }
    pageLayout->setContentsMargins(6, 6, 6, 6);
    pageLayout->setSpacing(6);
    connect(btnLoad, &QPushButton::clicked, this, &TfmProperties::btnLoadClick);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    // 359 x 427 where the fonts allow it; taller where the wrapped texts need
    // it, so that no row (the icon's last) is cut off.
    constexpr int kWidth = 359;
    constexpr int kHeight = 427;
    setFixedSize(kWidth, std::max(kHeight, layout->totalHeightForWidth(kWidth)));
}

TfmProperties::~TfmProperties() = default;

void TfmProperties::FillProcedures()
{
    ScriptControl1->AddCode(m_editor.Text()); // raises on a syntax error
    const int count = ScriptControl1->ProceduresCount();
    for (int i = 1; i <= count; ++i)
        cbProcedures->addItem(Unicode(ScriptControl1->ProceduresItem(i).Name));
    cbProcedures->setCurrentIndex(-1);
}

void TfmProperties::LoadFromScript(const TScript &script)
{
    FillProcedures();
    edScriptName->setText(Unicode(script.Name()));
    edScriptMenu->setText(Unicode(script.Menu()));
    m_icon.Assign(script.Icon());
    m_picture = m_icon.Image();
    ShowPicture();
    edScriptHint->setText(Unicode(script.Hint()));
    edScriptID->setText(Unicode(script.ID()));
    cbProcedures->setCurrentIndex(-1);
    for (int i = 0; i < cbProcedures->count(); ++i) {
        if (SameTextIgnoringAsciiCase(Bytes(cbProcedures->itemText(i)), script.Main())) {
            cbProcedures->setCurrentIndex(i);
            break;
        }
    }
}

void TfmProperties::SaveToScript(TScript &script) const
{
    script.SetName(Bytes(edScriptName->text()));
    script.SetMenu(Bytes(edScriptMenu->text()));
    script.Icon().Assign(m_icon); // empty unless the picture is an icon
    script.SetHint(Bytes(edScriptHint->text()));
    script.SetID(Bytes(edScriptID->text()));
    script.SetMain(cbProcedures->currentIndex() >= 0 ? Bytes(cbProcedures->currentText()) : std::string());
}

void TfmProperties::accept()
{
    const std::pair<QLineEdit *, const char *> fields[] = {
        {edScriptID, "Script ID"}, {edScriptName, "Name"}, {edScriptMenu, "Menu caption"}, {edScriptHint, "Hint"}};
    for (const auto &[edit, field] : fields) {
        QStringList unstorable;
        Win1252::FromUnicodeDropping(edit->text(), unstorable);
        if (unstorable.isEmpty())
            continue;
        m_dialogs.MessageDlg(QStringLiteral("The %1 contains '%2', which cannot be stored in a script file.")
                                 .arg(QLatin1String(field), unstorable.constFirst()),
                             mtError, mbOK);
        edit->setFocus();
        return;
    }
    QDialog::accept();
}

void TfmProperties::btnLoadClick()
{
    const auto path = m_dialogs.OpenFileName(TFileDialogOptions{
        QStringLiteral("Open icon file"), QString(), QStringLiteral("Icon files (*.ico)|*.ico|All files (*.*)|*.*"),
        QStringLiteral("ico"), {}});
    if (!path)
        return;
    if (QFileInfo(*path).suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0) {
        TIcon icon;
        icon.LoadFromFile(std::string(QFile::encodeName(*path).constData())); // raises on bad bytes
        m_icon.Assign(icon);
        m_picture = m_icon.Image();
    } else {
        QImage image(*path);
        if (image.isNull())
            throw EInvalidGraphic("Cannot read the picture \"" + std::string(QFileInfo(*path).fileName().toUtf8()) + "\"");
        m_icon.Clear(); // only an icon reaches the document
        m_picture = image;
    }
    ShowPicture();
}

void TfmProperties::ShowPicture()
{
    if (m_picture.isNull()) {
        Image1->clear();
        return;
    }
    // Drawn for the screen's pixels: an icon of the box's own size is
    // enlarged pixel for pixel, so it stays sharp at 200 %.
    constexpr int kBox = 32;
    const qreal ratio = Image1->devicePixelRatioF();
    const Qt::TransformationMode mode =
        m_picture.size() == QSize(kBox, kBox) ? Qt::FastTransformation : Qt::SmoothTransformation;
    QPixmap pixmap = QPixmap::fromImage(m_picture.scaled(QSize(kBox, kBox) * ratio, Qt::KeepAspectRatio, mode));
    pixmap.setDevicePixelRatio(ratio);
    Image1->setPixmap(pixmap);
}
