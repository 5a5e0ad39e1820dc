// uLiveCheck.cpp: TLiveCheck, the check as one types and the decorations it
// gives the editor.
#include "app/uLiveCheck.h"

#include <algorithm>
#include <utility>

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>

#include "toolkit/Win1252.h"

namespace {

// Makes slot run extra after whatever it ran before. The editor's events have
// one handler each; the check listens behind the window's.
template <class... Args>
void RunAfter(std::function<void(Args...)> &slot, std::function<void(Args...)> extra)
{
    slot = [previous = std::move(slot), extra = std::move(extra)](Args... args) {
        if (previous)
            previous(args...);
        extra(args...);
    };
}

const vbs::Outline &EmptyOutline()
{
    static const vbs::Outline outline;
    return outline;
}

} // namespace

TLiveCheck::TLiveCheck(TzeCustomEdit &editor)
    : QObject(&editor),
      m_editor(editor),
      m_outline(std::shared_ptr<const vbs::Outline>(&EmptyOutline(), [](const vbs::Outline *) {}))
{
    m_worker.setMaxThreadCount(1);
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        // One timer per pause: changes inside it only move its end.
        const qint64 since = m_lastChange.elapsed();
        if (since < kPauseMs)
            m_pause.start(int(kPauseMs - since));
        else
            Start();
    });
    RunAfter(editor.Document().OnModified, std::function<void(const TzeDocChange &)>(
                                               [this](const TzeDocChange &change) { TextChanged(change); }));
    RunAfter(editor.OnProcessCommand,
             std::function<void(TzeEditorCommand &, char &, void *)>([this](TzeEditorCommand &command, char &, void *) {
                 m_undoing = command == ecUndo || command == ecRedo;
             }));
    RunAfter(editor.OnCommandDone, std::function<void(TzeCustomEdit &)>([this](TzeCustomEdit &) {
                 if (std::exchange(m_undoing, false))
                     CheckNow();
                 else
                     Decorate(); // partners of an older text go
             }));
    RunAfter(editor.OnSelectionChange, std::function<void(TzeCustomEdit &)>([this](TzeCustomEdit &) { CaretMoved(); }));
    editor.viewport()->installEventFilter(this);
}

TLiveCheck::~TLiveCheck()
{
    // A check still running posts its result to this object, which drops it
    // with its other pending events.
    m_worker.waitForDone();
}

void TLiveCheck::SetScheduled(bool value)
{
    m_scheduled = value;
    if (!value)
        m_pause.stop();
    else if (!IsCurrent())
        CheckNow();
}

void TLiveCheck::SetShowErrors(bool value)
{
    if (m_showErrors == value)
        return;
    m_showErrors = value;
    Decorate();
    if (OnResult)
        OnResult(*this);
}

void TLiveCheck::SetShowOccurrences(bool value)
{
    if (m_showOccurrences == value)
        return;
    m_showOccurrences = value;
    Decorate();
}

void TLiveCheck::TextChanged(const TzeDocChange &change)
{
    ++m_generation;
    m_lastChange.start();
    if (m_scheduled && !m_pause.isActive())
        m_pause.start(kPauseMs);
    // The error keeps to its line while lines come and go above it.
    const int errorIndex = m_errorLine - 1;
    if (m_errorLine > 0) {
        if (change.Kind == ckCleared || change.Kind == ckTextSet)
            m_errorLine = 0;
        else if (change.Kind == ckLineInserted && change.FirstLine <= errorIndex)
            ++m_errorLine;
        else if (change.Kind == ckLineDeleted && change.FirstLine < errorIndex)
            --m_errorLine;
    }
    if (OnTextChange)
        OnTextChange(change);
}

void TLiveCheck::CheckNow()
{
    m_pause.stop();
    Start();
}

void TLiveCheck::Start()
{
    if (m_workerBusy) {
        m_checkAgain = true;
        return;
    }
    auto text = std::make_shared<const std::string>(m_editor.Text());
    const std::uint64_t generation = m_generation;
    if (text->size() <= m_workerThreshold) {
        Take(std::make_shared<const vbs::Outline>(vbs::BuildOutline(*text)), generation);
        return;
    }
    // The worker reads a copy (shared, so that handing it over copies
    // nothing more); the result comes back through the event loop.
    m_workerBusy = true;
    m_worker.start([this, text = std::move(text), generation, hook = OnWorkerCheck] {
        if (hook)
            hook();
        auto outline = std::make_shared<const vbs::Outline>(vbs::BuildOutline(*text));
        QMetaObject::invokeMethod(
            this,
            [this, outline = std::move(outline), generation] {
                m_workerBusy = false;
                Take(outline, generation);
                if (std::exchange(m_checkAgain, false))
                    Start();
            },
            Qt::QueuedConnection);
    });
}

void TLiveCheck::Take(std::shared_ptr<const vbs::Outline> outline, std::uint64_t generation)
{
    if (generation != m_generation) {
        ++m_dropped; // the text changed since; the check of the new text follows
        return;
    }
    m_outline = std::move(outline);
    m_outlineGeneration = generation;
    m_errorLine = m_outline->error ? m_outline->error->error.line : 0;
    Decorate();
    if (OnResult)
        OnResult(*this);
}

const vbs::Outline &TLiveCheck::Current()
{
    if (!IsCurrent()) {
        m_pause.stop();
        Take(std::make_shared<const vbs::Outline>(vbs::BuildOutline(m_editor.Text())), m_generation);
    }
    return *m_outline;
}

QString TLiveCheck::StatusText() const
{
    if (!m_showErrors || !m_outline->error || m_errorLine <= 0)
        return {};
    return QStringLiteral("Line %1: %2").arg(m_errorLine).arg(Win1252::ToUnicode(m_outline->error->error.description));
}

void TLiveCheck::CaretMoved()
{
    Decorate();
}

void TLiveCheck::Decorate()
{
    TzeDecorations d;
    const int count = m_editor.LineCount();
    if (m_showErrors && m_outline->error && m_errorLine > 0 && count > 0) {
        const vbs::CompileError &error = m_outline->error->error;
        TzeTextSpan span{m_errorLine, error.column + 1, std::max(1, m_outline->error->length)};
        if (span.Line > count) // after the last line break: the end of the text
            span = TzeTextSpan{count, int(m_editor.Lines()[count - 1].size()) + 1, 1};
        d.ErrorSpan = span;
        d.ErrorTip = "Line " + std::to_string(m_errorLine) + ", column " + std::to_string(error.column + 1) +
                     ", error " + std::to_string(error.number) + ": " + error.description;
        if (!error.note.empty())
            d.ErrorTip += "\n(" + error.note + ")";
    }
    const TPoint caret = m_editor.CaretXY();
    const std::string_view line = caret.Y <= count ? std::string_view(m_editor.Lines()[caret.Y - 1]) : std::string_view();
    const int column = caret.X - 1;
    if (IsCurrent())
        for (const vbs::BlockKeyword &k : vbs::BlockKeywords(*m_outline, vbs::KeywordAt(*m_outline, caret.Y, column)))
            d.Frames.push_back(TzeTextSpan{k.line, k.column + 1, k.length});
    if (d.Frames.empty())
        if (const auto pair = vbs::MatchParenthesis(line, column))
            d.Frames = {TzeTextSpan{caret.Y, std::min(pair->first, pair->second) + 1, 1},
                        TzeTextSpan{caret.Y, std::max(pair->first, pair->second) + 1, 1}};
    if (m_showOccurrences)
        if (const auto name = vbs::IdentifierAt(line, column)) {
            d.Word = std::string(line.substr(size_t(name->column), size_t(name->length)));
            d.WordAt = TzeTextSpan{caret.Y, name->column + 1, name->length};
        }
    m_editor.SetDecorations(std::move(d));
}

bool TLiveCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || watched != m_editor.viewport())
        return QObject::eventFilter(watched, event);
    auto *help = static_cast<QHelpEvent *>(event);
    const TzeDecorations &d = m_editor.Decorations();
    if (OnErrorDecoration(m_editor.ViewMetrics(), m_editor.CellDecorations(), help->pos()))
        QToolTip::showText(help->globalPos(), Win1252::ToUnicode(d.ErrorTip), m_editor.viewport());
    else
        QToolTip::hideText();
    return true;
}
