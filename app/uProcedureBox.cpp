// uProcedureBox.cpp: TProcedureBox.
#include "app/uProcedureBox.h"

#include <algorithm>
#include <iterator>

#include <QSignalBlocker>

#include "toolkit/Win1252.h"

TProcedureBox::TProcedureBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMaxVisibleItems(24);
    setToolTip(QStringLiteral("Classes and procedures of the script"));
    addItem(QString::fromLatin1(kGeneral));
    // Only the user's choice moves the caret, not a selection that follows it.
    connect(this, &QComboBox::activated, this, &TProcedureBox::Chosen);
}

QString TProcedureBox::Label(const vbs::OutlineEntry &entry)
{
    QString label = Win1252::ToUnicode(entry.name);
    if (!entry.className.empty())
        label = Win1252::ToUnicode(entry.className) + QLatin1Char('.') + label;
    switch (entry.kind) {
    case vbs::ekPropertyGet: return label + QStringLiteral(" (Get)");
    case vbs::ekPropertyLet: return label + QStringLiteral(" (Let)");
    case vbs::ekPropertySet: return label + QStringLiteral(" (Set)");
    default: return label;
    }
}

void TProcedureBox::SetOutline(const vbs::Outline &outline)
{
    std::vector<vbs::OutlineEntry> entries;
    entries.reserve(outline.entries.size());
    std::copy_if(outline.entries.begin(), outline.entries.end(), std::back_inserter(entries),
                 [](const vbs::OutlineEntry &e) { return !e.name.empty(); });
    const auto same = [](const vbs::OutlineEntry &a, const vbs::OutlineEntry &b) {
        return a.name == b.name && a.className == b.className && a.kind == b.kind && a.line == b.line &&
               a.nameColumn == b.nameColumn && a.endLine == b.endLine;
    };
    if (std::equal(entries.begin(), entries.end(), m_outline.entries.begin(), m_outline.entries.end(), same))
        return;
    m_outline.entries = std::move(entries);
    const int current = currentIndex();
    const QSignalBlocker quiet(this);
    clear();
    addItem(QString::fromLatin1(kGeneral));
    for (const vbs::OutlineEntry &entry : m_outline.entries)
        addItem(Label(entry));
    setCurrentIndex(std::min(current, count() - 1));
}

void TProcedureBox::SelectLine(int line)
{
    const QSignalBlocker quiet(this);
    setCurrentIndex(vbs::EntryAt(m_outline, line) + 1);
}

void TProcedureBox::Chosen(int index)
{
    if (index < 1 || index > int(m_outline.entries.size()) || !OnChoose)
        return;
    const vbs::OutlineEntry &entry = m_outline.entries[size_t(index - 1)];
    OnChoose(TPoint{entry.nameColumn + 1, entry.line});
}
