// uShortcuts.cpp: TfmShortcuts and the captions of editor commands.
#include "app/uShortcuts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "toolkit/VirtualKeys.h"

namespace {

// Identifier words that read better written out.
constexpr struct {
    const char *word;
    const char *reading;
} kReadings[] = {
    {"Sel", "select"}, {"Goto", "go to"}, {"XY", "position"}, {"BOL", "to line start"},
    {"EOL", "to line end"}, {"Char", "character"}, {"Marker", "bookmark"}, {"Ime", "input method"},
    {"Str", "text"},
};

// The words of an identifier without its "ec": capitals start a word, a run
// of capitals is one word (BOL), digits are one word.
QStringList IdentWords(QStringView name)
{
    QStringList words;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const QChar before = i > 0 ? name[i - 1] : QChar();
        const QChar after = i + 1 < name.size() ? name[i + 1] : QChar();
        const bool starts = i == 0 || (c.isDigit() != before.isDigit()) ||
                            (c.isUpper() && (before.isLower() || (before.isUpper() && after.isLower())));
        if (starts)
            words << QString();
        words.last() += c;
    }
    return words;
}

QString ShortcutText(const TzeKeyStroke &binding)
{
    const Qt::KeyboardModifiers modifiers = QtModifiersFromShiftState(binding.Shift());
    if (const int qtKey = QtKeyFromVirtualKey(binding.Key()))
        return QKeySequence(QKeyCombination(modifiers, Qt::Key(qtKey))).toString(QKeySequence::NativeText);
    // A key Qt has no name for: its modifiers and its code.
    const QString prefix = QKeySequence(QKeyCombination(modifiers, Qt::Key_A)).toString(QKeySequence::NativeText);
    return prefix.chopped(1) + QStringLiteral("Key 0x%1").arg(binding.Key(), 2, 16, QLatin1Char('0'));
}

// Where an action is: the first menu it is in.
QString ActionPlace(const QAction &action)
{
    for (QObject *object : action.associatedObjects())
        if (auto *menu = qobject_cast<QMenu *>(object))
            return menu->title().remove(QLatin1Char('&')) + QStringLiteral(" menu");
    return QStringLiteral("Window");
}

} // namespace

QString CommandCaption(TzeEditorCommand command)
{
    const auto ident = CommandToIdent(command);
    if (!ident || ident->size() < 3)
        return QStringLiteral("Command %1").arg(command);
    QStringList words = IdentWords(QString::fromLatin1(ident->substr(2)));
    for (QString &word : words) {
        for (const auto &reading : kReadings)
            if (word == QLatin1String(reading.word))
                word = QLatin1String(reading.reading);
        if (word.size() > 1 && word[1].isLower())
            word = word.toLower();
    }
    QString caption = words.join(QLatin1Char(' '));
    caption[0] = caption[0].toUpper();
    return caption;
}

TfmShortcuts::TfmShortcuts(const TzeKeyStrokes &keys, const QList<QAction *> &actions, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Keyboard shortcuts"));
    auto *lbSearch = new QLabel(QStringLiteral("&Search:"), this);
    edSearch = new QLineEdit(this);
    edSearch->setPlaceholderText(QStringLiteral("Keys or command, e.g. ctrl shift or word"));
    edSearch->setClearButtonEnabled(true);
    lbSearch->setBuddy(edSearch);
    lvShortcuts = new QTreeWidget(this);
    lvShortcuts->setHeaderLabels({QStringLiteral("Keys"), QStringLiteral("Command"), QStringLiteral("Where")});
    lvShortcuts->setRootIsDecorated(false);
    lvShortcuts->setUniformRowHeights(true);
    lvShortcuts->setAlternatingRowColors(true);
    auto addRow = [this](const QString &shortcut, const QString &command, const QString &where) {
        return new QTreeWidgetItem(lvShortcuts, {shortcut, command, where});
    };
    for (const QAction *action : actions) {
        QString caption = action->text().remove(QLatin1Char('&'));
        if (caption.endsWith(QLatin1String("...")))
            caption.chop(3);
        for (const QKeySequence &shortcut : action->shortcuts())
            addRow(shortcut.toString(QKeySequence::NativeText), caption, ActionPlace(*action));
    }
    for (int i = 0; i < keys.Count(); ++i) {
        const TzeKeyStroke &binding = keys.Items(i);
        QTreeWidgetItem *row = addRow(ShortcutText(binding), CommandCaption(binding.Command()),
                                      QStringLiteral("Editor"));
        if (const auto ident = CommandToIdent(binding.Command()))
            row->setToolTip(colCommand, QString::fromLatin1(*ident));
    }
    for (int column = colKeys; column <= colWhere; ++column)
        lvShortcuts->resizeColumnToContents(column);
    connect(edSearch, &QLineEdit::textChanged, this, &TfmShortcuts::Filter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *search = new QHBoxLayout;
    search->addWidget(lbSearch);
    search->addWidget(edSearch);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(lvShortcuts);
    layout->addWidget(buttons);
    resize(560, 480);
}

void TfmShortcuts::Filter(const QString &text)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < lvShortcuts->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = lvShortcuts->topLevelItem(i);
        const QString haystack = QStringList{row->text(colKeys), row->text(colCommand), row->text(colWhere)}.join(
            QLatin1Char('\n'));
        bool shown = true;
        for (const QString &word : words)
            shown = shown && haystack.contains(word, Qt::CaseInsensitive);
        row->setHidden(!shown);
    }
}

int TfmShortcuts::VisibleCount() const
{
    int count = 0;
    for (int i = 0; i < lvShortcuts->topLevelItemCount(); ++i)
        count += lvShortcuts->topLevelItem(i)->isHidden() ? 0 : 1;
    return count;
}
