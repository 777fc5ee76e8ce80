// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/name_value_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QList<QByteArrayView> linesOf(QByteArrayView rest)
{
    if (rest.startsWith("\xEF\xBB\xBF")) // some editors start UTF-8 text with a mark
        rest = rest.sliced(3);
    QList<QByteArrayView> lines;
    for (qsizetype end; (end = rest.indexOf('\n')) >= 0; rest = rest.sliced(end + 1))
        lines.append(rest.first(end));
    if (!rest.isEmpty())
        lines.append(rest);
    return lines;
}

} // namespace

QString lineError(const QString &fileName, int number, const QString &reason)
{
    return QStringLiteral("%1: line %2: %3").arg(fileName, QString::number(number), reason);
}

NameValueText splitNameValueText(const QByteArray &text, const QString &fileName)
{
    static const QRegularExpression entryLine(
        QStringLiteral("^\\s*([^\\s=#]+)\\s*=\\s*([^#]*?)\\s*(#.*)?$"));

    NameValueText split;
    const QList<QByteArrayView> lines = linesOf(text);
    for (int number = 1; number <= lines.size(); ++number) {
        const auto refuse = [&](const QString &reason) {
            return NameValueText{{}, {}, lineError(fileName, number, reason)};
        };
        QByteArrayView bytes = lines[number - 1];
        if (bytes.endsWith('\r')) // mailed or edited on Windows
            bytes.chop(1);
        if (bytes.contains('\0'))
            return refuse(QStringLiteral("holds a NUL byte; not a text file"));
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                         | QStringDecoder::Flag::ConvertInitialBom);
        const QString line = decoder.decode(bytes);
        if (decoder.hasError())
            return refuse(QStringLiteral("not valid UTF-8 text"));

        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith(u'#')) {
            split.comments.append(trimmed);
            continue;
        }
        const QRegularExpressionMatch match = entryLine.match(line);
        if (!match.hasMatch())
            return refuse(QStringLiteral("expected \"name = value\" or a # comment, found \"%1\"").arg(trimmed));
        split.entries.push_back({number, match.captured(1), match.captured(2)});
    }
    return split;
}

SmallFileRead readSmallFile(const QString &path, qint64 maximumBytes, const QString &kind)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1: cannot read: %2").arg(path, source.errorString())};
    // One byte past the limit tells a large file without reading it all,
    // whatever size the file system claims.
    QByteArray text = source.read(maximumBytes + 1);
    if (source.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("%1: cannot read: %2").arg(path, source.errorString())};
    if (text.size() > maximumBytes)
        return {{}, QStringLiteral("%1: larger than %2 bytes; too large for a %3")
                        .arg(path, QString::number(maximumBytes), kind)};
    return {std::move(text), QString()};
}
