// uCompletion.cpp: TCodeAssist and the names and signatures it shows. Keys
// reach the editor through an event filter that hands each one on at once
// and then lets the list and the hint follow, so nothing typed waits for
// them or goes anywhere else.
#include "app/uCompletion.h"

#include <algorithm>

#include <QAbstractListModel>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>

#include "toolkit/Win1252.h"
#include "vbscript/VbsBuiltins.h"
#include "vbscript/VbsParser.h"

namespace {

constexpr bool IsNameChar(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0xC0;
}

constexpr bool IsLetter(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0xC0;
}

// The column (1-based) where the name that ends before column x starts.
int NameStart(std::string_view line, int x)
{
    int start = std::min(x, int(line.size()) + 1);
    while (start > 1 && IsNameChar(line[size_t(start - 2)]))
        --start;
    return start;
}

// Whether column x (1-based) of line is code: not in a string or comment.
bool InCode(std::string_view line, int x)
{
    bool inString = false;
    for (int i = 0; i < x - 1 && i < int(line.size()); ++i) {
        if (line[size_t(i)] == '"')
            inString = !inString;
        else if (line[size_t(i)] == '\'' && !inString)
            return false;
    }
    return !inString;
}

} // namespace

// The rows of the list: a range of the names, First on.
class TNameListModel : public QAbstractListModel {
public:
    explicit TNameListModel(const std::vector<std::string> &names, QObject *parent)
        : QAbstractListModel(parent), m_names(names)
    {
    }
    void SetRange(std::size_t first, std::size_t count)
    {
        beginResetModel();
        m_first = first;
        m_count = count;
        endResetModel();
    }
    std::size_t First() const noexcept { return m_first; }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_count);
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || std::size_t(index.row()) >= m_count)
            return {};
        return Win1252::ToUnicode(m_names[m_first + std::size_t(index.row())]);
    }

private:
    const std::vector<std::string> &m_names;
    std::size_t m_first = 0;
    std::size_t m_count = 0;
};

std::vector<std::string> CompletionNames(const vbs::Outline &outline, int line)
{
    std::vector<std::pair<std::string, std::string_view>> all; // folded, as spelt
    const auto add = [&all](std::string_view name) {
        if (!name.empty())
            all.emplace_back(vbs::FoldName(name), name);
    };
    // The entry of the line, and the class it belongs to.
    const int at = vbs::EntryAt(outline, line);
    int inClass = -1;
    if (at >= 0) {
        const vbs::OutlineEntry &entry = outline.entries[size_t(at)];
        if (entry.kind == vbs::ekClass)
            inClass = at;
        for (int i = at - 1; i >= 0 && inClass < 0 && !entry.className.empty(); --i)
            if (outline.entries[size_t(i)].kind == vbs::ekClass && outline.entries[size_t(i)].name == entry.className)
                inClass = i;
    }
    for (const vbs::OutlineEntry &entry : outline.entries)
        add(entry.name);
    for (const vbs::DeclaredName &name : outline.names)
        if (name.entry < 0 || name.entry == at || name.entry == inClass)
            add(name.name);
    for (const vbs::BuiltinFunction &function : vbs::BuiltinFunctions())
        add(function.name);
    for (const std::string_view constant : vbs::BuiltinConstants())
        add(constant);
    for (const std::string_view keyword : vbs::KeywordSpellings())
        add(keyword);
    // Stable: of the names that fold alike the script's comes first and stays.
    std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    all.erase(std::unique(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.first == b.first; }),
              all.end());
    std::vector<std::string> names;
    names.reserve(all.size());
    for (const auto &[folded, name] : all)
        names.emplace_back(name);
    return names;
}

std::optional<TSignature> SignatureOf(std::string_view name, const vbs::Outline &outline)
{
    TSignature signature;
    if (const vbs::BuiltinFunction *function = vbs::FindBuiltin(name)) {
        signature.Text = vbs::Signature(*function);
        signature.Variadic = function->variadic;
        const int offset = int(function->name.size()) + 1;
        for (const vbs::ParameterSpan &span : vbs::ParameterSpans(function->parameters))
            signature.Parameters.emplace_back(offset + span.offset, span.length);
        return signature;
    }
    const std::string folded = vbs::FoldName(name);
    for (const vbs::OutlineEntry &entry : outline.entries) {
        if (entry.kind == vbs::ekClass || vbs::FoldName(entry.name) != folded)
            continue;
        signature.Text = entry.name + "(";
        for (const std::string &parameter : entry.parameters) {
            if (!signature.Parameters.empty())
                signature.Text += ", ";
            signature.Parameters.emplace_back(int(signature.Text.size()), int(parameter.size()));
            signature.Text += parameter;
        }
        signature.Text += ")";
        return signature;
    }
    return std::nullopt;
}

QString HintHtml(const TSignature &signature, int argument)
{
    const int count = int(signature.Parameters.size());
    const int bold = argument < count ? argument : signature.Variadic && count > 0 ? count - 1 : -1;
    const auto piece = [&signature](int from, int to) {
        return Win1252::ToUnicode(std::string_view(signature.Text).substr(size_t(from), size_t(to - from)))
            .toHtmlEscaped();
    };
    if (bold < 0)
        return piece(0, int(signature.Text.size()));
    const auto [offset, length] = signature.Parameters[size_t(bold)];
    return piece(0, offset) + QStringLiteral("<b>") + piece(offset, offset + length) + QStringLiteral("</b>") +
           piece(offset + length, int(signature.Text.size()));
}

TCodeAssist::TCodeAssist(TzeCustomEdit &editor, std::function<const vbs::Outline &()> outline)
    : QObject(&editor), m_editor(editor), m_viewport(editor.viewport()), m_outline(std::move(outline))
{
    // Both are windows of their own that never take the focus from the editor.
    m_view = new QListView(&editor);
    m_view->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    m_view->setAttribute(Qt::WA_ShowWithoutActivating);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformItemSizes(true);
    m_model = new TNameListModel(m_names, this);
    m_view->setModel(m_model);
    connect(m_view, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_view->setCurrentIndex(index);
        InsertCurrent();
    });
    m_hint = new QLabel(&editor);
    m_hint->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    m_hint->setAttribute(Qt::WA_ShowWithoutActivating);
    m_hint->setFocusPolicy(Qt::NoFocus);
    m_hint->setTextFormat(Qt::RichText);
    m_hint->setForegroundRole(QPalette::ToolTipText);
    m_hint->setBackgroundRole(QPalette::ToolTipBase);
    m_hint->setAutoFillBackground(true);
    m_hint->setFrameShape(QFrame::Box);
    m_hint->setMargin(2);
    editor.installEventFilter(this);
    m_viewport->installEventFilter(this);
}

TCodeAssist::~TCodeAssist() = default;

void TCodeAssist::SetAutoOpen(bool value)
{
    m_autoOpen = value;
    if (!value)
        CloseList();
}

bool TCodeAssist::ListVisible() const
{
    return m_view->isVisible();
}

QStringList TCodeAssist::ListedNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names << m_model->data(m_model->index(row), Qt::DisplayRole).toString();
    return names;
}

int TCodeAssist::CurrentRow() const
{
    return m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
}

void TCodeAssist::OpenList()
{
    const TPoint caret = m_editor.CaretXY();
    const std::string line = m_editor.LineText();
    const int start = NameStart(line, caret.X);
    if (m_editor.ReadOnly() || caret.X > int(line.size()) + 1 || !InCode(line, start))
        return;
    m_start = TPoint{start, caret.Y};
    m_model->SetRange(0, 0);
    m_names = CompletionNames(m_outline(), caret.Y);
    m_folded.clear();
    m_folded.reserve(m_names.size());
    for (const std::string &name : m_names)
        m_folded.push_back(vbs::FoldName(name));
    if (Refresh())
        m_view->show();
}

void TCodeAssist::CloseList()
{
    m_view->hide();
}

bool TCodeAssist::Refresh()
{
    const TPoint caret = m_editor.CaretXY();
    const std::string line = m_editor.LineText();
    if (caret.Y != m_start.Y || caret.X < m_start.X || caret.X > int(line.size()) + 1) {
        CloseList();
        return false;
    }
    const std::string_view prefix = std::string_view(line).substr(size_t(m_start.X - 1), size_t(caret.X - m_start.X));
    if (!std::all_of(prefix.begin(), prefix.end(), IsNameChar)) {
        CloseList();
        return false;
    }
    const std::string folded = vbs::FoldName(prefix);
    const auto first = std::lower_bound(m_folded.begin(), m_folded.end(), folded);
    auto last = first;
    while (last != m_folded.end() && last->compare(0, folded.size(), folded) == 0)
        ++last;
    if (first == last) {
        CloseList();
        return false;
    }
    // The same names keep their chosen row; others start at the first.
    const auto from = std::size_t(first - m_folded.begin());
    const auto count = std::size_t(last - first);
    if (from != m_model->First() || int(count) != m_model->rowCount() || CurrentRow() < 0) {
        m_model->SetRange(from, count);
        m_view->setCurrentIndex(m_model->index(0));
    }
    const int rows = std::min(8, int(last - first));
    const int rowHeight = std::max(m_view->sizeHintForRow(0), m_editor.LineHeight());
    std::size_t longest = 12;
    for (auto name = m_names.begin() + (first - m_folded.begin()); name != m_names.begin() + (last - m_folded.begin());
         ++name)
        longest = std::max(longest, name->size());
    longest = std::min<std::size_t>(longest + 2, 48);
    m_view->setFont(m_editor.font());
    m_view->resize(int(longest) * m_editor.CharWidth() + m_view->verticalScrollBar()->sizeHint().width(),
                   rows * rowHeight + 2 * m_view->frameWidth());
    PlaceBelowCaret(m_view);
    return true;
}

void TCodeAssist::PlaceBelowCaret(QWidget *popup) const
{
    // Under the caret's line, from the start of the name.
    const int column = popup == m_view ? m_start.X : m_callName.X;
    QPoint at = m_editor.CaretPixel();
    at.rx() -= (m_editor.CaretX() - column) * m_editor.CharWidth();
    QPoint below = m_editor.viewport()->mapToGlobal(at + QPoint(0, m_editor.LineHeight()));
    // Above the line where the screen ends below it.
    if (const QScreen *screen = m_editor.screen();
        screen && below.y() + popup->height() > screen->availableGeometry().bottom())
        below.ry() = m_editor.viewport()->mapToGlobal(at).y() - popup->height();
    popup->move(below);
}

void TCodeAssist::MoveRow(int delta)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int row = std::clamp(CurrentRow() + delta, 0, rows - 1);
    m_view->setCurrentIndex(m_model->index(row));
    m_view->scrollTo(m_model->index(row));
}

std::string TCodeAssist::CurrentName() const
{
    const int row = CurrentRow();
    return row < 0 ? std::string() : m_names[m_model->First() + std::size_t(row)];
}

std::string TCodeAssist::PrefixTyped() const
{
    const std::string line = m_editor.LineText();
    const int x = std::min(m_editor.CaretX(), int(line.size()) + 1);
    return x > m_start.X ? line.substr(size_t(m_start.X - 1), size_t(x - m_start.X)) : std::string();
}

void TCodeAssist::InsertCurrent()
{
    if (CurrentRow() < 0) {
        CloseList();
        return;
    }
    const std::string name = CurrentName();
    const TPoint caret = m_editor.CaretXY();
    CloseList();
    const TPaintLockGuard lock(m_editor);
    const TzeUndoGroup group(m_editor.Document());
    m_editor.SetBlockBegin(m_start);
    m_editor.SetBlockEnd(caret);
    m_editor.SetSelText(name);
}

bool TCodeAssist::ListKey(int key)
{
    const int page = std::max(1, m_view->height() / std::max(1, m_view->sizeHintForRow(0)) - 1);
    switch (key) {
    case Qt::Key_Up: MoveRow(-1); return true;
    case Qt::Key_Down: MoveRow(1); return true;
    case Qt::Key_PageUp: MoveRow(-page); return true;
    case Qt::Key_PageDown: MoveRow(page); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A name typed out: Return breaks the line as ever, after the name
        // is put in its declared case.
        if (vbs::FoldName(CurrentName()) == vbs::FoldName(PrefixTyped())) {
            if (CurrentName() != PrefixTyped())
                InsertCurrent();
            CloseList();
            return false;
        }
        InsertCurrent();
        return true;
    case Qt::Key_Tab: InsertCurrent(); return true;
    case Qt::Key_Escape: CloseList(); return true;
    default: return false;
    }
}

void TCodeAssist::AfterKey(const QString &text)
{
    if (ListVisible()) {
        Refresh();
    } else if (m_autoOpen && text.size() == 1) {
        // The third letter of a name opens the list.
        const std::optional<std::string> typed = Win1252::FromUnicode(text);
        const std::string line = m_editor.LineText();
        const int x = m_editor.CaretX();
        const int start = NameStart(line, x);
        // Not for a member after '.': the list holds no members of objects.
        const bool member = start > 1 && line[size_t(start - 2)] == '.';
        if (typed && IsNameChar(typed->front()) && x - start == 3 && x <= int(line.size()) + 1 &&
            IsLetter(line[size_t(start - 1)]) && !member && InCode(line, start))
            OpenList();
    }
    if (text == QLatin1String("(") || text == QLatin1String(" "))
        UpdateHint(true);
    else if (HintVisible())
        UpdateHint(false);
}

bool TCodeAssist::HintVisible() const
{
    return m_hint->isVisible();
}

QString TCodeAssist::HintText() const
{
    return m_hint->text();
}

void TCodeAssist::CloseHint()
{
    m_hint->hide();
}

void TCodeAssist::UpdateHint(bool opening)
{
    const TPoint caret = m_editor.CaretXY();
    const std::string line = m_editor.LineText();
    const auto call = vbs::CallAt(line, caret.X - 1);
    if (!call) {
        CloseHint();
        return;
    }
    const TPoint name{call->name.column + 1, caret.Y};
    // Opened by the '(' or blank typed right after the name.
    const bool justAfter = caret.X - 2 == call->name.column + call->name.length;
    if (!HintVisible() && !(opening && justAfter))
        return;
    if (HintVisible() && name != m_callName && !(opening && justAfter)) {
        CloseHint(); // the caret left the call
        return;
    }
    const auto signature =
        SignatureOf(std::string_view(line).substr(size_t(call->name.column), size_t(call->name.length)), m_outline());
    if (!signature) {
        CloseHint();
        return;
    }
    m_callName = name;
    m_hint->setFont(m_editor.font());
    m_hint->setText(HintHtml(*signature, call->argument));
    m_hint->adjustSize();
    PlaceBelowCaret(m_hint);
    m_hint->show();
}

bool TCodeAssist::ShowTipAt(QPoint pos)
{
    const TPoint point = m_editor.CharAtPixel(pos);
    if (point.Y < 1 || point.Y > m_editor.LineCount())
        return false;
    const std::string_view line = m_editor.Lines()[point.Y - 1];
    const auto span = vbs::IdentifierAt(line, point.X - 1);
    if (!span || point.X - 1 >= span->column + span->length)
        return false;
    const auto signature =
        SignatureOf(line.substr(size_t(span->column), size_t(span->length)), m_outline());
    if (!signature)
        return false;
    QToolTip::showText(m_editor.viewport()->mapToGlobal(pos), Win1252::ToUnicode(signature->Text),
                       m_editor.viewport());
    return true;
}

bool TCodeAssist::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport as it was when watched: while the editor is destroyed,
    // its viewport goes first and must not be asked for again.
    if (watched == m_viewport) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel) {
            CloseList();
            CloseHint();
        } else if (event->type() == QEvent::ToolTip) {
            // Else the live check's tip (an error) or none.
            return ShowTipAt(static_cast<QHelpEvent *>(event)->pos());
        }
        return false;
    }
    if (watched != &m_editor)
        return false;
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) {
        CloseList();
        CloseHint();
        return false;
    }
    if (event->type() != QEvent::KeyPress || m_delivering)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
        OpenList();
        return true;
    }
    if (ListVisible() && plain) {
        Refresh(); // the list follows what the keys before this one did
        if (ListVisible() && ListKey(key->key()))
            return true;
    }
    if (HintVisible() && plain && key->key() == Qt::Key_Escape) {
        CloseHint();
        return true;
    }
    // The key goes to the editor now; the list and the hint follow it.
    const QString text = key->text();
    {
        const TFlagRestore delivering(m_delivering, true);
        QCoreApplication::sendEvent(&m_editor, event);
    }
    AfterKey(text);
    return true;
}
