#include "platform/Registry.h"

#include "core/AppFiles.h"
#include "core/FileNames.h"
#include "core/RegularFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QVariant>
#include <fcntl.h>

namespace Registry {

namespace {

QString rootName(quint32 root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    case HKEY_CURRENT_CONFIG:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    default:
        return {};
    }
}

// QSettings reads the section "[A\B]" and the line "C=..." as the key "A/B/C".
QString settingsKey(const QString& root, const QString& keyPath, const QString& valueName)
{
    QStringList parts{root};
    parts += QString(keyPath).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts.append(valueName);
    return parts.join(QLatin1Char('/'));
}

Value typed(const QVariant& stored)
{
    Value value;
    if (stored.typeId() != QMetaType::QString)
        return value; // a list or a byte array
    const QString text = stored.toString();
    static const QRegularExpression doubleWord(QStringLiteral("^dword:([0-9a-f]{1,8})$"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression binary(QStringLiteral("^hex(\\([0-9a-f]+\\))?:"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = doubleWord.match(text); m.hasMatch()) {
        value.type = ValueType::DoubleWord;
        value.number = m.captured(1).toUInt(nullptr, 16);
    } else if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive) || binary.match(text).hasMatch()) {
        value.type = ValueType::Other;
    } else {
        value.type = ValueType::Text;
        value.text = text;
    }
    return value;
}

} // namespace

QString RegistryFile()
{
    return ResolvePath(AppFiles::RegistryFile());
}

std::optional<Value> QueryValue(quint32 root, const QString& keyPath, const QString& valueName)
{
    const QString rootText = rootName(root);
    if (rootText.isEmpty() || valueName.isEmpty())
        return std::nullopt;
    // QSettings opens the file by its name and would wait on a FIFO there:
    // it is given the name of a descriptor already known to be a regular
    // file, which opens that same file again.
    int err = 0;
    const FileDescriptor file(OpenRegularFile(QFile::encodeName(RegistryFile()), O_RDONLY, 0, err));
    if (!file.isValid())
        return std::nullopt;
    // Only read: nothing is ever set, so QSettings never writes the file back.
    const QSettings settings(QStringLiteral("/proc/self/fd/%1").arg(file.get()), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    const QString wanted = settingsKey(rootText, keyPath, valueName);
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys) {
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return typed(settings.value(key));
    }
    return std::nullopt;
}

} // namespace Registry
