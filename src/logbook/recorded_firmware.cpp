// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/recorded_firmware.h"

#include "protocol/replies.h"
#include "recording/recording_table.h"

#include <QBuffer>
#include <QFile>

std::optional<QString> recordedFirmwareRevision(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray head = file.read(firmwareSearchBytes);
    // A row cut by the bound would read as a recording cut off: whole rows only.
    if (head.size() == firmwareSearchBytes)
        head.truncate(head.lastIndexOf('\n') + 1);
    QBuffer bytes(&head);
    bytes.open(QIODevice::ReadOnly);
    RecordingTable table;
    if (!readRecording(bytes, path, table, RowContent::Lines).ok())
        return std::nullopt;
    for (size_t row = 0; row < table.lines.size(); ++row) {
        const std::optional<ReplyRecord> reply = decodeReply(table.lines.at(row));
        if (reply && reply->letter == 'u')
            return reply->text;
    }
    return std::nullopt;
}
