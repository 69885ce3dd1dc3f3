#include "ui/textcodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include "filter/codepage.h"
#include "filter/textfile.h"

QString fromWindows1252(std::string_view bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QStringList fromWindows1252(const std::vector<std::string> &lines)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string &line : lines)
        list.append(fromWindows1252(line));
    return list;
}

std::string toWindows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString fillIn(std::string_view format, const QString &text)
{
    return QString::fromStdString(navorel::fillIn(navorel::windows1252ToUtf8(format), text.toStdString()));
}

QString cannotCreateMessage(const QString &path, const std::string &reason)
{
    QString message = fillIn(navorel::kCannotCreateFile, path);
    if (!reason.empty())
        message +=
            QLatin1Char('\n') + QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size()));
    return message;
}
