// CliCommands.cpp: the commands of quenlo-cli: info, cat and pack over the
// script document, check and procedures over script files and plain scripts.
#include "cli/CliCommands.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "QuenloVersion.h"
#include "cli/ScriptSource.h"
#include "toolkit/Exception.h"
#include "toolkit/StringList.h"
#include "toolkit/Win1252.h"
#include "storage/ScriptImage.h"
#include "storage/uStorage.h"
#include "vbscript/VbsEngine.h"

namespace {

struct TUsageError {
    std::string message;
};

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

int Load(const std::string &path, TScript &script, std::ostream &err)
{
    try {
        if (script.LoadFromFile(path))
            return csOk;
        err << "quenlo-cli: " << script.LastError() << "\n";
    } catch (const Exception &e) {
        err << "quenlo-cli: '" << path << "': " << e.what() << "\n";
    }
    return csBadFile;
}

int CannotRead(std::ostream &err, const std::string &path, const std::string &reason)
{
    err << "quenlo-cli: cannot read '" << path << "': " << reason << "\n";
    return csBadFile;
}

// The flags and the other arguments of a command; after "--" every argument
// is a file. An unknown flag is bad usage.
struct TArguments {
    std::set<std::string> flags;
    std::vector<std::string> files;
    bool Has(const char *flag) const { return flags.count(flag) != 0; }
};

TArguments SplitArguments(const std::vector<std::string> &args, std::initializer_list<std::string_view> known)
{
    TArguments split;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            split.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (std::find(known.begin(), known.end(), arg) != known.end()) {
            split.flags.insert(arg);
        } else {
            throw TUsageError{args[0] + ": unknown option '" + arg + "'"};
        }
    }
    return split;
}

std::string OneFile(const TArguments &arguments, const std::string &command)
{
    if (arguments.files.size() != 1)
        throw TUsageError{command + " takes one FILE"};
    return arguments.files[0];
}

// What became of one file of check or procedures.
struct TChecked {
    int status = csOk;                      // csOk, csSyntaxError or csBadFile
    TSourceProblem problem;                 // csBadFile: why
    std::optional<vbs::CompileError> error; // csSyntaxError: the first error
};

TChecked CheckFile(TScriptReader &reader, vbs::Engine &engine, const std::string &path)
{
    TChecked checked;
    engine.Reset();
    const auto text = reader.Read(path);
    if (!text) {
        checked.status = csBadFile;
        checked.problem = reader.Problem();
    } else if (!engine.AddCode(*text)) {
        checked.status = csSyntaxError;
        checked.error = engine.Error();
    }
    return checked;
}

// Every file checked, on as many threads as the machine has cores but no
// more than one per 64 files, each with its own reader and engine; results in
// the order of files.
std::vector<TChecked> CheckFiles(const std::vector<std::string> &files)
{
    std::vector<TChecked> results(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        TScriptReader reader;
        vbs::Engine engine;
        for (std::size_t i = next++; i < files.size(); i = next++)
            results[i] = CheckFile(reader, engine, files[i]);
    };
    const std::size_t threads =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), (files.size() + 63) / 64);
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return results;
}

std::string Description(const vbs::CompileError &e)
{
    return Win1252::ToUtf8(e.note.empty() ? e.description : e.description + " (" + e.note + ")");
}

// The compiler form: "FILE:LINE:COLUMN: error[ NUMBER]: DESCRIPTION", then the
// line and a caret under the column (tabs kept, so that it lines up).
void PrintDiagnostic(std::ostream &out, const std::string &file, int line, int column, const std::string &label,
                     const std::string &description, std::string_view lineUtf8)
{
    out << file << ':' << line << ':' << column << ": " << label << ": " << description << '\n';
    // Control characters of the file (C0, DEL, C1) would reach the terminal as commands: one '?' each.
    for (std::size_t i = 0; i < lineUtf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(lineUtf8[i]);
        const bool c1 = c == 0xC2 && i + 1 < lineUtf8.size() && static_cast<unsigned char>(lineUtf8[i + 1]) < 0xA0;
        if ((c < 0x20 && c != '\t') || c == 0x7F || c1) {
            out << '?';
            i += c1 ? 1 : 0;
        } else {
            out << char(c);
        }
    }
    out << '\n';
    int characters = 1;
    for (const char c : lineUtf8) {
        if (characters >= column)
            break;
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
            continue; // a UTF-8 continuation byte: same character
        out << (c == '\t' ? '\t' : ' ');
        ++characters;
    }
    out << std::string(std::size_t(std::max(0, column - characters)), ' ') << "^\n";
}

// Diagnostics of one file: syntax errors and characters that a script cannot
// hold to diagnostics, files that cannot be read to err.
void ReportText(std::ostream &diagnostics, std::ostream &err, const std::string &path, const TChecked &checked)
{
    if (checked.error) {
        const vbs::CompileError &e = *checked.error;
        PrintDiagnostic(diagnostics, path, e.line, e.column + 1, "error " + std::to_string(e.number),
                        Description(e), Win1252::ToUtf8(e.text));
    } else if (checked.status == csBadFile) {
        const TSourceProblem &p = checked.problem;
        if (p.line > 0)
            PrintDiagnostic(diagnostics, path, p.line, p.column, "error", p.reason, p.lineText);
        else
            CannotRead(err, path, p.reason);
    }
}

// The JSON members of one file's result, without the braces.
std::string JsonResult(const std::string &path, const TChecked &checked)
{
    std::ostringstream json;
    json << "\"file\": " << JsonString(path) << ", \"status\": ";
    if (checked.error) {
        const vbs::CompileError &e = *checked.error;
        json << "\"syntax error\", \"line\": " << e.line << ", \"column\": " << e.column + 1
             << ", \"number\": " << e.number << ", \"description\": " << JsonString(Win1252::ToUtf8(e.description))
             << ", \"note\": " << JsonString(Win1252::ToUtf8(e.note)) << ", \"text\": " << JsonString(Win1252::ToUtf8(e.text));
    } else if (checked.status == csBadFile) {
        const TSourceProblem &p = checked.problem;
        json << "\"unreadable\", \"reason\": " << JsonString(p.reason);
        if (p.line > 0)
            json << ", \"line\": " << p.line << ", \"column\": " << p.column << ", \"text\": " << JsonString(p.lineText);
    } else {
        json << "\"clean\"";
    }
    return json.str();
}

int Info(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const TArguments arguments = SplitArguments(args, {"--json"});
    const std::string path = OneFile(arguments, "info");
    const bool json = arguments.Has("--json");
    // Read only, as cat.
    TScriptReader reader;
    const auto text = reader.Read(path, false);
    if (!text)
        return CannotRead(err, path, reader.Problem().reason);
    const TScriptImage &image = *reader.Image();
    const std::pair<const char *, std::string> fields[] = {
        {"name", image.Field("Name")}, {"menu", image.Field("Menu")}, {"id", image.Field("ID")},
        {"hint", image.Field("Hint")}, {"main", image.Field("Main")}};
    const std::size_t lines = SplitTextLines(*text).size();
    TIcon icon;
    if (const std::vector<std::uint8_t> *bytes = image.IconBytes(); bytes && !bytes->empty()) {
        try {
            icon.LoadFromBytes(*bytes);
        } catch (const Exception &e) {
            return CannotRead(err, path, std::string("its icon: ") + e.what());
        }
    }
    const std::vector<TScriptEntry> extra = image.OtherEntries();

    if (!json) {
        for (const auto &[key, value] : fields)
            out << key << ":" << (value.empty() ? "" : " ") << Win1252::ToUtf8(value) << "\n";
        out << "lines: " << lines << "\n";
        if (icon.Empty())
            out << "icon: none\n";
        else
            out << "icon: " << icon.Width() << "x" << icon.Height() << ", " << icon.Bytes().size() << " bytes\n";
        for (const TScriptEntry &entry : extra) {
            out << "extra: " << entry.Name << " (";
            if (entry.Storage)
                out << "storage)\n";
            else
                out << "stream, " << entry.Size << " bytes)\n";
        }
        return csOk;
    }
    out << "{\n";
    for (const auto &[key, value] : fields)
        out << "  \"" << key << "\": " << JsonString(Win1252::ToUtf8(value)) << ",\n";
    out << "  \"lines\": " << lines << ",\n";
    if (icon.Empty())
        out << "  \"icon\": null,\n";
    else
        out << "  \"icon\": {\"bytes\": " << icon.Bytes().size() << ", \"width\": " << icon.Width()
            << ", \"height\": " << icon.Height() << "},\n";
    out << "  \"extra\": [";
    for (std::size_t i = 0; i < extra.size(); ++i) {
        out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(extra[i].Name)
            << ", \"type\": \"" << (extra[i].Storage ? "storage" : "stream") << "\"";
        if (!extra[i].Storage)
            out << ", \"size\": " << extra[i].Size;
        out << "}";
    }
    out << (extra.empty() ? "]\n" : "\n  ]\n") << "}\n";
    return csOk;
}

int Cat(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const TArguments arguments = SplitArguments(args, {"--raw"});
    const std::string path = OneFile(arguments, "cat");
    const bool raw = arguments.Has("--raw");
    // Read only, without the lock of a load: a git textconv may meet
    // read-only files, and several at once.
    TScriptReader reader;
    const auto text = reader.Read(path, false);
    if (!text)
        return CannotRead(err, path, reader.Problem().reason);
    for (const std::string &line : SplitTextLines(*text))
        out << (raw ? line : Win1252::ToUtf8(line)) << '\n';
    return csOk;
}

// Every file through the parser; it goes on after a bad file. Silent for a
// clean file unless --verbose.
int Check(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const TArguments arguments = SplitArguments(args, {"--json", "--verbose"});
    if (arguments.files.empty())
        throw TUsageError{"check takes one or more FILEs"};
    const bool json = arguments.Has("--json");
    const bool verbose = arguments.Has("--verbose");
    const std::vector<TChecked> results = CheckFiles(arguments.files);
    int status = csOk;
    std::array<int, 4> counts{}; // by status
    if (json)
        out << "[";
    for (std::size_t i = 0; i < arguments.files.size(); ++i) {
        const std::string &path = arguments.files[i];
        const TChecked &checked = results[i];
        status = std::max(status, checked.status);
        ++counts[std::size_t(checked.status)];
        if (json) {
            out << (i == 0 ? "\n" : ",\n") << "  {" << JsonResult(path, checked) << "}";
            if (checked.status == csBadFile)
                CannotRead(err, path, checked.problem.reason);
        } else if (checked.status != csOk) {
            ReportText(out, err, path, checked);
        } else if (verbose) {
            out << path << ": no errors\n";
        }
    }
    if (json)
        out << "\n]\n";
    else if (verbose)
        out << "checked " << arguments.files.size() << (arguments.files.size() == 1 ? " file: " : " files: ")
            << counts[csOk] << " without errors, " << counts[csSyntaxError] << " with a syntax error, "
            << counts[csBadFile] << " not readable\n";
    return status;
}

int Procedures(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const TArguments arguments = SplitArguments(args, {"--json"});
    const std::string path = OneFile(arguments, "procedures");
    TScriptReader reader;
    vbs::Engine engine;
    const TChecked checked = CheckFile(reader, engine, path);
    if (arguments.Has("--json")) {
        out << "{" << JsonResult(path, checked);
        if (checked.status == csOk) {
            out << ", \"procedures\": [";
            const auto &procedures = engine.Procedures();
            for (std::size_t i = 0; i < procedures.size(); ++i)
                out << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(Win1252::ToUtf8(procedures[i].name))
                    << ", \"arguments\": " << procedures[i].numArgs << ", \"kind\": \""
                    << (procedures[i].hasReturnValue ? "function" : "sub") << "\"}";
            out << (procedures.empty() ? "]" : "\n]");
        }
        out << "}\n";
        if (checked.status == csBadFile)
            CannotRead(err, path, checked.problem.reason);
        return checked.status;
    }
    if (checked.status != csOk) {
        ReportText(err, err, path, checked);
        return checked.status;
    }
    for (const vbs::Procedure &p : engine.Procedures())
        out << Win1252::ToUtf8(p.name) << ' ' << p.numArgs << ' ' << (p.hasReturnValue ? "function" : "sub") << '\n';
    return csOk;
}

// A text argument, UTF-8 on the command line, as Windows-1252.
std::string TextArgument(const std::string &option, const std::string &utf8)
{
    auto text = Win1252::FromUtf8(utf8);
    if (!text)
        throw TUsageError{option + ": the text has a character that a script cannot hold"};
    return *text;
}

int Pack(const std::vector<std::string> &args, std::ostream &err)
{
    if (args.size() < 2 || args[1].rfind("--", 0) == 0)
        throw TUsageError{"pack needs OUT first"};
    const std::string outPath = args[1];
    std::map<std::string, std::string> options;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        static const std::array<std::string_view, 7> known = {"--script", "--name", "--menu", "--id", "--hint", "--main", "--icon"};
        if (std::find(known.begin(), known.end(), args[i]) == known.end())
            throw TUsageError{"unknown option '" + args[i] + "'"};
        if (i + 1 >= args.size())
            throw TUsageError{args[i] + " needs a value"};
        if (options.count(args[i]))
            throw TUsageError{args[i] + " given twice"};
        options[args[i]] = args[i + 1];
    }
    if (!options.count("--script"))
        throw TUsageError{"pack needs --script FILE"};
    // Check every text before touching any file.
    std::map<std::string, std::string> texts;
    for (const char *key : {"--name", "--menu", "--id", "--hint", "--main"})
        if (options.count(key))
            texts[key] = TextArgument(key, options[key]);

    TScript script;
    std::ifstream probe(outPath, std::ios::binary);
    if (probe.good()) {
        probe.close();
        if (int status = Load(outPath, script, err))
            return status;
    }

    TScriptReader reader;
    const auto text = reader.Read(options["--script"]);
    if (!text) {
        const TSourceProblem &problem = reader.Problem();
        return CannotRead(err, options["--script"],
                          problem.line > 0 ? "line " + std::to_string(problem.line) + ", column " +
                                                 std::to_string(problem.column) + ": " + problem.reason
                                           : problem.reason);
    }
    script.Lines().SetText(*text);

    if (options.count("--icon")) {
        try {
            script.Icon().LoadFromFile(options["--icon"]);
        } catch (const Exception &e) {
            err << "quenlo-cli: '" << options["--icon"] << "': " << e.what() << "\n";
            return csBadFile;
        }
    }
    if (texts.count("--name")) script.SetName(texts["--name"]);
    if (texts.count("--menu")) script.SetMenu(texts["--menu"]);
    if (texts.count("--id")) script.SetID(texts["--id"]);
    if (texts.count("--hint")) script.SetHint(texts["--hint"]);
    if (texts.count("--main")) script.SetMain(texts["--main"]);

    if (!script.SaveToFile(outPath)) {
        err << "quenlo-cli: " << script.LastError() << "\n";
        return csBadFile;
    }
    return csOk;
}

} // namespace

std::string CliUsage()
{
    return "usage: quenlo-cli COMMAND ...\n"
           "  info [--json] FILE     the script file's fields, line count, icon and other entries\n"
           "  cat [--raw] FILE       the script text, lines ending in LF (UTF-8; --raw: Windows-1252 bytes)\n"
           "  pack OUT --script FILE [--name S] [--menu S] [--id S] [--hint S] [--main S] [--icon FILE.ico]\n"
           "                         create OUT, or update it keeping its other entries and the fields not given\n"
           "  check [--verbose] [--json] FILE...\n"
           "                         syntax check of script files (.tvs) and plain scripts (.vbs); for each\n"
           "                         error FILE:LINE:COLUMN: error NUMBER: DESCRIPTION, the line and a caret\n"
           "  procedures [--json] FILE\n"
           "                         the global procedures: name, argument count, sub or function\n"
           "  --version              the version\n"
           "A plain script is Windows-1252, or UTF-8 or UTF-16 with a byte-order mark.\n"
           "exit status: 0 success, 1 a syntax error, 2 bad usage,\n"
           "             3 a file that cannot be read or written (3 outranks 1)\n";
}

int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    try {
        if (args.empty())
            throw TUsageError{"no command given"};
        const std::string &command = args[0];
        if (command == "help" || command == "--help" || command == "-h") {
            out << CliUsage();
            return csOk;
        }
        if (command == "--version") {
            out << "quenlo " << kQuenloVersion << "\n";
            return csOk;
        }
        if (command == "info")
            return Info(args, out, err);
        if (command == "cat")
            return Cat(args, out, err);
        if (command == "check")
            return Check(args, out, err);
        if (command == "procedures")
            return Procedures(args, out, err);
        if (command == "pack")
            return Pack(args, err);
        throw TUsageError{"unknown command '" + command + "'"};
    } catch (const TUsageError &e) {
        err << "quenlo-cli: " << e.message << "\n" << CliUsage();
        return csBadUsage;
    }
}
