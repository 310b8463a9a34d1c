#pragma once

#include "TextCodec.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace calamo {

struct ReadResult {
    std::optional<DecodedText> document;  // empty when the file could not be read
    QString error;                        // the system's text for the failure
};

struct BytesResult {
    std::optional<QByteArray> bytes;  // empty when the file could not be read
    QString error;
};

// Reads a whole file. Only regular files are read: a folder, FIFO, socket or device is an error of our own
// text, never a hang.
BytesResult readRegularFile(const QString& path);

// Reads a whole document file and decodes it.
ReadResult readDocumentFile(const QString& path);

// Replaces `path` with `bytes` (documents, configuration and preview files). The new text goes to a temporary
// file beside it that then takes the old file's place, keeping its mode, and its owner and group where the user
// may set them: a failed write leaves the old file whole and returns the error text. A file with several hard
// links, or in a folder where no temporary file can be made, is written in place instead (its owner, mode and
// links stay); a write that fails there puts the old bytes back. A symbolic link is followed to its file.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace calamo
