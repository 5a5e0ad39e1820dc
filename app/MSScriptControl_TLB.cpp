// MSScriptControl_TLB.cpp: TScriptControl over vbs::Engine.
#include "app/MSScriptControl_TLB.h"

#include "toolkit/AsciiCase.h"
#include "vbscript/VbsEngine.h"

TScriptControl::TScriptControl() : m_engine(std::make_unique<vbs::Engine>()) {}
TScriptControl::~TScriptControl() = default;

void TScriptControl::Reset()
{
    m_engine->Reset();
    m_error = TScriptError{};
}

void TScriptControl::AddCode(const std::string &code)
{
    if (!SameTextIgnoringAsciiCase(m_language, "VBScript"))
        throw EOleException("The script language '" + m_language + "' is not supported");
    if (m_engine->AddCode(code)) {
        m_error = TScriptError{};
        return;
    }
    const vbs::CompileError &e = *m_engine->Error();
    m_error = TScriptError{e.number, e.description, e.line, e.column, e.text, e.source};
    if (OnError)
        OnError(*this);
    throw EOleException(e.source + ": " + e.description + " (line " + std::to_string(e.line) + ")");
}

int TScriptControl::ProceduresCount() const
{
    return int(m_engine->Procedures().size());
}

TScriptProcedure TScriptControl::ProceduresItem(int i) const
{
    const auto &procedures = m_engine->Procedures();
    if (i < 1 || i > int(procedures.size()))
        throw EOleException("Procedure index " + std::to_string(i) + " is out of range");
    const vbs::Procedure &p = procedures[size_t(i - 1)];
    return TScriptProcedure{p.name, p.numArgs, p.hasReturnValue};
}
