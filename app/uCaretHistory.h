// uCaretHistory.h: the places the caret jumped from, for Alt+Left and
// Alt+Right. TCaretHistory keeps them and moves them with the lines that are
// inserted and deleted above them.
#ifndef QUENLO_APP_UCARETHISTORY_H
#define QUENLO_APP_UCARETHISTORY_H

#include <deque>
#include <optional>

#include "editor/zeDocument.h"
#include "editor/zeTypes.h"

class TCaretHistory {
public:
    // Places kept in each direction; the oldest goes first.
    static constexpr int kLimit = 20;

    // A jump leaves from: it can be gone back to; what lay forward is dropped.
    void Record(TPoint from);
    // The place to go back (forward) to from current, which becomes the
    // place to go forward (back) to; nothing at the end of the history.
    std::optional<TPoint> Back(TPoint current);
    std::optional<TPoint> Forward(TPoint current);
    int BackCount() const noexcept { return int(m_back.size()); }
    int ForwardCount() const noexcept { return int(m_forward.size()); }
    void Clear() noexcept;
    // A change of the lines: places below an inserted or deleted line move
    // with their text; a new text drops them all.
    void LinesChanged(const TzeDocChange &change);

private:
    static void Push(std::deque<TPoint> &places, TPoint place);
    // Takes the newest place of from; current goes onto to.
    static std::optional<TPoint> Step(std::deque<TPoint> &from, std::deque<TPoint> &to, TPoint current);
    std::deque<TPoint> m_back;    // newest last
    std::deque<TPoint> m_forward; // newest last
};

#endif
