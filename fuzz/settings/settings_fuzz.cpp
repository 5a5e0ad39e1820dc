// settings_fuzz.cpp: libFuzzer target for the colour settings reader. The
// input is the settings file that holds the key "Software\Tavrix\Quenlo", so
// any value may have any type. LoadFromRegistry must give true, false or
// ERegistryException with one of its messages, and styles within four bits;
// ImportFromRegistry (one attribute and layout per input, chosen by its
// length) must give false and leave the attribute as it was, or true with
// colours from its table; and reading must leave the file byte-identical.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include "highlight/jaVBSSyn.h"
#include "toolkit/Registry.h"

namespace {

const std::string kKey = "Software\\Tavrix\\Quenlo";
const std::string kImportKey = kKey + "\\Import";

QString g_folder;
QString g_path;
unsigned long g_run = 0;

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

bool StartsWith(const std::string &text, const char *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

void Load(TjaVbsSyn &syn)
{
    try {
        syn.LoadFromRegistry(HKEY_CURRENT_USER, kKey);
    } catch (const ERegistryException &error) {
        const std::string message = error.what();
        if (!StartsWith(message, "Invalid data type for '") && !StartsWith(message, "Failed to get data for '"))
            Die("a registry error with an unexpected message");
    }
    for (int i = 0; i < syn.AttrCount(); ++i)
        if (syn.Attribute(i)->IntegerStyle() < 0 || syn.Attribute(i)->IntegerStyle() > 15)
            Die("a style outside its four bits");
}

bool IsImportColor(TColor color, TColor systemDefault)
{
    static const std::vector<TColor> table = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                              0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                              0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return color == systemDefault || std::find(table.begin(), table.end(), color) != table.end();
}

void Import(const std::string &name, bool oldLayout)
{
    TzeHighLightAttributes attribute(name);
    attribute.SetBackground(clTeal);
    attribute.SetForeground(clOlive);
    attribute.SetIntegerStyle(8);
    if (!attribute.ImportFromRegistry(HKEY_CURRENT_USER, kImportKey, name, oldLayout)) {
        if (attribute.Background() != clTeal || attribute.Foreground() != clOlive || attribute.IntegerStyle() != 8)
            Die("a failed import changed the attribute");
        return;
    }
    if (!IsImportColor(attribute.Background(), clWindow) || !IsImportColor(attribute.Foreground(), clWindowText))
        Die("an imported colour that is not in the table");
    if (attribute.IntegerStyle() & fsStrikeOut)
        Die("an import that sets strike-out");
}

} // namespace

// Values of the form @Variant(...) are decoded by the settings library, which
// reserves room for as many list items as the value claims before it reads
// them. An impossible claim must fail as it does with the C library, whose
// malloc returns null, not abort the run: the reader's answer is what counts.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // One folder per process, one settings file in it for every run.
    const QString shm = QStringLiteral("/dev/shm");
    g_folder = (QDir(shm).exists() ? shm : QDir::tempPath()) +
               QStringLiteral("/quenlo-fuzz-settings-%1").arg(QCoreApplication::applicationPid());
    g_path = g_folder + QStringLiteral("/Tavrix/Quenlo.ini");
    if (!QDir().mkpath(g_folder + QStringLiteral("/Tavrix")))
        Die("cannot make the settings folder");
    TRegistry::SetStorageOverride(g_folder);
    std::atexit([] { QDir(g_folder).removeRecursively(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(g_path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
            file.write(content) != content.size())
            Die("cannot write the settings file");
        // The settings library keeps a parsed copy of the file and reads it
        // again only when its size or modification time differ: a time of
        // its own for every run makes each run read its input.
        if (!file.setFileTime(QDateTime::fromSecsSinceEpoch(qint64(++g_run), Qt::UTC),
                              QFileDevice::FileModificationTime))
            Die("cannot set the time of the settings file");
    }

    TjaVbsSyn syn;
    Load(syn);
    const int choice = int(size % std::size_t(2 * syn.AttrCount()));
    Import(syn.Attribute(choice / 2)->Name(), choice % 2 == 0);

    QFile file(g_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || file.read(content.size() + 1) != content)
        Die("reading the settings changed the file");
    return 0;
}
