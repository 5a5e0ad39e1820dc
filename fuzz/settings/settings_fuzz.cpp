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
#include <QDir>
#include <QFile>

#include "highlight/jaVBSSyn.h"
#include "toolkit/Registry.h"

namespace {

const std::string kKey = "Software\\Tavrix\\Quenlo";
const std::string kImportKey = kKey + "\\Import";

QString g_base;
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

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // One folder per run: the settings library caches files by name and time.
    const QString shm = QStringLiteral("/dev/shm");
    g_base = (QDir(shm).exists() ? shm : QDir::tempPath()) +
             QStringLiteral("/quenlo-fuzz-settings-%1").arg(QCoreApplication::applicationPid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString folder = g_base + QLatin1Char('/') + QString::number(g_run++);
    const QString path = folder + QStringLiteral("/Tavrix/Quenlo.ini");
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!QDir().mkpath(folder + QStringLiteral("/Tavrix")))
        Die("cannot make the settings folder");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            Die("cannot write the settings file");
    }
    TRegistry::SetStorageOverride(folder);

    TjaVbsSyn syn;
    Load(syn);
    const int choice = int(size % std::size_t(2 * syn.AttrCount()));
    Import(syn.Attribute(choice / 2)->Name(), choice % 2 == 0);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != content)
        Die("reading the settings changed the file");
    file.close();
    TRegistry::SetStorageOverride(QString());
    QDir(folder).removeRecursively();
    if (g_run % 4096 == 0)
        QDir(g_base).removeRecursively();
    return 0;
}
