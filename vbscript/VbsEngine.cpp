// VbsEngine.cpp: Engine: compiles each text against the names of the texts
// added before it and keeps what a successful text adds.
#include <iterator>
#include <utility>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsErrors.h"
#include "vbscript/VbsParser.h"

namespace vbs {

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
    return true;
}

} // namespace vbs
