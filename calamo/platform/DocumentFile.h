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

// The largest document the editor opens: its text document takes ten to twenty times the file's size in memory
// (16-bit text, one block per line, layout, undo), so this keeps an open page near a gigabyte at most.
inline constexpr qsizetype kMaxDocumentBytes = qsizetype(64) << 20;

// Reads a whole file of at most `maxBytes` bytes; a larger one is refused, unread, with a message that says so.
// Only regular files are read: a folder, FIFO, socket or device is an error of our own text, never a hang. Every
// error text names the file and what failed, in Italian, then the system's reason in the user's language.
BytesResult readRegularFile(const QString& path, qsizetype maxBytes = kMaxDocumentBytes);

// Reads no more than the first `maxBytes` bytes of a regular file, however long it is.
BytesResult readRegularFilePrefix(const QString& path, qsizetype maxBytes);

// Reads a whole document file and decodes it. Running out of memory on the way is an error, not a crash.
ReadResult readDocumentFile(const QString& path);

// What a write does with a symbolic link at its path.
enum class LinkPolicy {
    Follow,   // the file the link names is replaced; the link stays (documents, configuration)
    Replace,  // the link itself is replaced by a file (temporary files: never written through a link)
};

// Replaces `path` with `bytes` (documents, configuration and preview files). The new text goes to a temporary
// file beside it that then takes the old file's place, keeping its mode, and its owner and group where the user
// may set them: a failed write leaves the old file whole and returns the error text. A file with several hard
// links, or in a folder where no temporary file can be made, is written in place instead (its owner, mode and
// links stay); a write that fails there puts the old bytes back. A file whose mode denies the user writing is
// refused as the system refuses writing it, and left as it was.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes,
                                           LinkPolicy links = LinkPolicy::Follow);

// "Memoria insufficiente" for `path`, for failures to allocate.
QString outOfMemoryError(const QString& path, bool writing);

}  // namespace calamo
