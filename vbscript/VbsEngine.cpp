// VbsEngine.cpp: Engine: compiles each text against the names of the texts
// added before it and keeps what a successful text adds.
#include <iterator>
#include <unordered_set>
#include <utility>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsErrors.h"
#include "vbscript/VbsParser.h"

namespace vbs {

namespace {

// A procedure defined again is the later definition only: each name stays
// once, with the arguments and kind of its last definition and at its place.
void KeepLastDefinitions(std::vector<Procedure> &procedures)
{
    std::unordered_set<std::string> seen;
    seen.reserve(procedures.size());
    auto kept = procedures.end(); // [kept, end) holds the entries kept so far
    for (auto it = procedures.end(); it != procedures.begin();) {
        --it;
        if (!seen.insert(FoldName(it->name)).second)
            continue;
        if (--kept != it)
            *kept = std::move(*it);
    }
    procedures.erase(procedures.begin(), kept);
}

} // namespace

void Engine::Reset()
{
    m_names.clear();
    m_procedures.clear();
    m_error.reset();
}

bool Engine::AddCode(std::string_view code)
{
    m_error.reset();
    Declarations added;
    try {
        Compile(code, m_names, added);
    } catch (CompileFailure &failure) {
        m_error = std::move(failure.error);
        return false;
    }
    m_names.merge(added.names);
    m_procedures.insert(m_procedures.end(), std::make_move_iterator(added.procedures.begin()),
                        std::make_move_iterator(added.procedures.end()));
    KeepLastDefinitions(m_procedures);
    return true;
}

} // namespace vbs
