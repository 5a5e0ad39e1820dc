// uCaretHistory.cpp: TCaretHistory.
#include "app/uCaretHistory.h"

#include <algorithm>
#include <initializer_list>

void TCaretHistory::Push(std::deque<TPoint> &places, TPoint place)
{
    if (!places.empty() && places.back() == place)
        return;
    places.push_back(place);
    if (int(places.size()) > kLimit)
        places.pop_front();
}

void TCaretHistory::Record(TPoint from)
{
    Push(m_back, from);
    m_forward.clear();
}

std::optional<TPoint> TCaretHistory::Step(std::deque<TPoint> &from, std::deque<TPoint> &to, TPoint current)
{
    if (from.empty())
        return std::nullopt;
    const TPoint place = from.back();
    from.pop_back();
    Push(to, current);
    return place;
}

std::optional<TPoint> TCaretHistory::Back(TPoint current) { return Step(m_back, m_forward, current); }
std::optional<TPoint> TCaretHistory::Forward(TPoint current) { return Step(m_forward, m_back, current); }

void TCaretHistory::Clear() noexcept
{
    m_back.clear();
    m_forward.clear();
}

void TCaretHistory::LinesChanged(const TzeDocChange &change)
{
    if (change.Kind == ckCleared || change.Kind == ckTextSet) {
        Clear();
        return;
    }
    const int delta = change.Kind == ckLineInserted ? 1 : change.Kind == ckLineDeleted ? -1 : 0;
    if (delta == 0)
        return;
    // Lines are 0-based in the change, 1-based in the places.
    for (std::deque<TPoint> *places : {&m_back, &m_forward})
        for (TPoint &place : *places)
            if (place.Y - 1 > change.FirstLine || (delta > 0 && place.Y - 1 == change.FirstLine))
                place.Y = std::max(1, place.Y + delta);
}
