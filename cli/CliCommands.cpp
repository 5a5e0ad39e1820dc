// CliCommands.cpp: info, cat and pack over the script document.
#include "cli/CliCommands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include <QString>

#include "compoundfile/CompoundFile.h"
#include "toolkit/Exception.h"
#include "toolkit/Win1252.h"
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

bool ReadFile(const std::string &path, std::string &data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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

int Info(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.size() != 2)
        throw TUsageError{"info takes one FILE"};
    TScript script;
    if (int status = Load(args[1], script, err))
        return status;
    cfb::CompoundFile file;
    std::string reason;
    file.Load(args[1], reason); // already read once by the load above

    out << "{\n";
    const std::pair<const char *, const std::string *> fields[] = {
        {"name", &script.Name()}, {"menu", &script.Menu()}, {"id", &script.ID()},
        {"hint", &script.Hint()}, {"main", &script.Main()}};
    for (const auto &[key, value] : fields)
        out << "  \"" << key << "\": " << JsonString(Win1252::ToUtf8(*value)) << ",\n";
    out << "  \"lines\": " << script.Lines().Count() << ",\n";
    if (script.Icon().Empty())
        out << "  \"icon\": null,\n";
    else
        out << "  \"icon\": {\"bytes\": " << script.Icon().Bytes().size() << ", \"width\": " << script.Icon().Width()
            << ", \"height\": " << script.Icon().Height() << "},\n";
    out << "  \"extra\": [";
    bool first = true;
    for (const cfb::EntryInfo &entry : file.Root().List()) {
        if (IsScriptStreamName(entry.name))
            continue;
        out << (first ? "\n" : ",\n") << "    {\"name\": " << JsonString(cfb::NameToUtf8(entry.name))
            << ", \"type\": \"" << (entry.isStorage ? "storage" : "stream") << "\"";
        if (!entry.isStorage)
            out << ", \"size\": " << entry.size;
        out << "}";
        first = false;
    }
    out << (first ? "]\n" : "\n  ]\n") << "}\n";
    return csOk;
}

int Cat(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    bool raw = false;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--raw")
            raw = true;
        else
            files.push_back(args[i]);
    }
    if (files.size() != 1)
        throw TUsageError{"cat takes one FILE"};
    TScript script;
    if (int status = Load(files[0], script, err))
        return status;
    const TStringList &lines = script.Lines();
    for (int i = 0; i < lines.Count(); ++i)
        out << (raw ? lines[i] : Win1252::ToUtf8(lines[i])) << '\n';
    return csOk;
}

// The script file's text through the parser; exit 3 for a syntax error.
int Check(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.size() != 2)
        throw TUsageError{"check takes one FILE"};
    TScript script;
    if (int status = Load(args[1], script, err))
        return status;
    vbs::Engine engine;
    if (engine.AddCode(script.Lines().Text())) {
        out << "no errors\n";
        return csOk;
    }
    const vbs::CompileError &e = *engine.Error();
    out << "line " << e.line << ", column " << e.column + 1 << ": error " << e.number << ": "
        << Win1252::ToUtf8(e.description);
    if (!e.note.empty())
        out << " (" << Win1252::ToUtf8(e.note) << ")";
    out << "\n  " << Win1252::ToUtf8(e.text) << "\n";
    return csSyntaxError;
}

int Procedures(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.size() != 2)
        throw TUsageError{"procedures takes one FILE"};
    TScript script;
    if (int status = Load(args[1], script, err))
        return status;
    vbs::Engine engine;
    if (!engine.AddCode(script.Lines().Text())) {
        const vbs::CompileError &e = *engine.Error();
        err << "quenlo-cli: line " << e.line << ": " << Win1252::ToUtf8(e.description) << "\n";
        return csSyntaxError;
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

// Script file bytes: Windows-1252, or converted after a UTF-8 or UTF-16 byte-order mark.
std::optional<std::string> ScriptText(const std::string &bytes, std::string &why)
{
    auto starts = [&](std::string_view bom) { return bytes.compare(0, bom.size(), bom) == 0; };
    QString text;
    if (starts("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.data() + 3, qsizetype(bytes.size() - 3));
    } else if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool little = starts("\xFF\xFE");
        if (bytes.size() % 2 != 0) {
            why = "a UTF-16 file of an odd number of bytes";
            return std::nullopt;
        }
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(bytes[i + (little ? 0 : 1)]);
            const auto hi = static_cast<unsigned char>(bytes[i + (little ? 1 : 0)]);
            text.append(QChar(char16_t(lo | (hi << 8))));
        }
    } else {
        return bytes;
    }
    auto converted = Win1252::FromUnicode(text);
    if (!converted)
        why = "a character that a script cannot hold (Windows-1252)";
    return converted;
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

    std::string bytes;
    if (!ReadFile(options["--script"], bytes)) {
        err << "quenlo-cli: cannot read '" << options["--script"] << "'\n";
        return csBadFile;
    }
    std::string why;
    auto text = ScriptText(bytes, why);
    if (!text) {
        err << "quenlo-cli: '" << options["--script"] << "' has " << why << "\n";
        return csBadFile;
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
           "  info FILE              the script's fields, line count, icon and other entries as JSON\n"
           "  cat [--raw] FILE       the script text, lines ending in LF (UTF-8; --raw: Windows-1252 bytes)\n"
           "  pack OUT --script FILE [--name S] [--menu S] [--id S] [--hint S] [--main S] [--icon FILE.ico]\n"
           "                         create OUT, or update it keeping its other entries and the fields not given\n"
           "  check FILE             syntax check of the script text: \"no errors\" or the first error's\n"
           "                         line, column, number and description\n"
           "  procedures FILE        the global procedures: name, argument count, sub or function\n"
           "exit status: 0 success, 1 a file that cannot be read or written, 2 bad usage,\n"
           "             3 the script has a syntax error (check, procedures)\n";
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
