#pragma once

#include "TextCodec.h"

#include <QString>

#include <optional>

namespace calamo {

struct ReadResult {
    std::optional<DecodedText> document;  // empty when the file could not be read
    QString error;                        // the system's text for the failure
};

// Reads a whole document file.
ReadResult readDocumentFile(const QString& path);

// Replaces `path` with `text` atomically: on failure the old file stays whole and the error text is returned.
std::optional<QString> writeDocumentFile(const QString& path, const QString& text, Encoding encoding);

// Writes raw bytes atomically (configuration and preview files).
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace calamo
