// Feeds arbitrary client bytes through the command-line parser and arbitrary
// client paths through the resolver, checking what they promise.
#include "engine/ClientPath.h"
#include "engine/CommandLine.h"
#include "engine/DataAddress.h"
#include "engine/PathBeneath.h"
#include "engine/ReplyLines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
// A home with a link that leads out and one that stays in, made once.
struct Tree {
    QTemporaryDir dir;
    QString home;
    Tree()
    {
        home = dir.filePath(QStringLiteral("home"));
        QDir().mkpath(home + QStringLiteral("/sub/deeper"));
        QDir().mkpath(dir.filePath(QStringLiteral("real")));
        QFile::link(dir.path(), home + QStringLiteral("/out"));
        QFile::link(home + QStringLiteral("/sub"), home + QStringLiteral("/in"));
    }
};

QString real(const QString& path)
{
    char buffer[PATH_MAX];
    return ::realpath(QFile::encodeName(path).constData(), buffer) ? QFile::decodeName(buffer) : QString();
}

bool inside(const QString& path, const QString& base)
{
    return path == base || path.startsWith(base + QLatin1Char('/'));
}

void checkLines(const uint8_t* data, size_t size)
{
    LineAssembler lines;
    size_t at = 0;
    size_t chunk = size ? data[0] % 7 + 1 : 1;
    while (at < size) {
        const qsizetype used = lines.feed(reinterpret_cast<const char*>(data) + at,
                                          qsizetype(std::min(chunk, size - at)));
        if (used <= 0)
            __builtin_trap();
        at += size_t(used);
        if (auto line = lines.takeLine()) {
            if (line->text.size() > LineAssembler::MaxLine || line->text.contains('\n'))
                __builtin_trap();
            const Command c = parseCommand(line->text);
            if (c.verb != c.verb.toUpper())
                __builtin_trap();
            parsePortArgument(c.argument);
            parseEprtArgument(c.argument);
            replyLines(c.argument, 500);
        }
    }
}

void checkPath(const QString& argument)
{
    static Tree tree;
    const QString client = ClientPath::resolve(QStringLiteral("/sub"), argument);
    if (!client.startsWith(QLatin1Char('/')) || client.contains(QLatin1String("//"))
        || client.contains(QLatin1String("/../")) || client.endsWith(QLatin1String("/.."))
        || client.contains(QLatin1String("/./")) || client.contains(QLatin1Char('\\'))
        || (client.size() > 1 && client.endsWith(QLatin1Char('/'))))
        __builtin_trap();
    const QList<VirtualFolder> folders{{QStringLiteral("v"), QStringLiteral("/sub"), tree.dir.filePath(QStringLiteral("real"))}};
    const PathMap map(tree.home, folders, {});
    const PathMap::Target t = map.map(client);
    if (!t.physical.startsWith(t.base))
        __builtin_trap();
    for (bool missingLeaf : {false, true}) {
        const QString p = Beneath::confinedPath(t, missingLeaf);
        if (p.isEmpty())
            continue;
        const QString r = real(p);
        const QString base = real(t.base);
        if (!r.isEmpty() && !inside(r, base))
            __builtin_trap();
        if (r.isEmpty() && !inside(real(p.left(p.lastIndexOf(QLatin1Char('/')))), base))
            __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkLines(data, size);
    if (size <= 512)
        checkPath(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
