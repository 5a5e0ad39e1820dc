// MSScriptControl_TLB.h: the script engine control.
// TScriptControl drives our VBScript parser with the calls that the syntax
// check and the properties dialog make; it never runs any script code.
#ifndef QUENLO_APP_MSSCRIPTCONTROL_TLB_H
#define QUENLO_APP_MSSCRIPTCONTROL_TLB_H

#include <functional>
#include <memory>
#include <string>

#include "toolkit/Exception.h"

namespace vbs {
class Engine;
}

// An error result of the engine, raised as an exception with its message.
class EOleException : public Exception {
public:
    using Exception::Exception;
};

// The error object: the first error of the last failed AddCode.
struct TScriptError {
    int Number = 0;
    std::string Description; // Windows-1252
    int Line = 0;            // 1-based
    int Column = 0;          // 0-based
    std::string Text;
    std::string Source;
};

// One global procedure.
struct TScriptProcedure {
    std::string Name;
    int NumArgs = 0;
    bool HasReturnValue = false;
};

class TScriptControl {
public:
    TScriptControl();
    ~TScriptControl();
    TScriptControl(const TScriptControl &) = delete;
    TScriptControl &operator=(const TScriptControl &) = delete;

    // Only "VBScript" (any letter case) is supported; AddCode raises for any other.
    const std::string &Language() const noexcept { return m_language; }
    void SetLanguage(const std::string &value) { m_language = value; }

    // Discards code added before and the last error.
    void Reset();
    // Checks the code (Windows-1252 text); raises EOleException with the
    // engine's message when it is rejected, after OnError.
    void AddCode(const std::string &code);
    const TScriptError &Error() const noexcept { return m_error; }
    // The global Sub and Function procedures of the accepted code, in order; a
    // name defined again is listed once, as and where it was defined last.
    int ProceduresCount() const;
    // i runs from 1 to ProceduresCount(); other values raise EOleException.
    TScriptProcedure ProceduresItem(int i) const;

    // Stored as plain values; the engine here has no use for them.
    int State = 0;
    long long SitehWnd = 0;
    int Timeout = 10000;
    bool AllowUI = true;
    bool UseSafeSubset = false;

    std::function<void(TScriptControl &)> OnError;
    std::function<void(TScriptControl &)> OnTimeout;

private:
    std::unique_ptr<vbs::Engine> m_engine;
    std::string m_language = "VBScript";
    TScriptError m_error;
};

#endif
