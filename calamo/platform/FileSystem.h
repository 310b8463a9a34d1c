#pragma once

// Every file the editor reads or writes goes through one small interface: PosixFileSystem for the program, a
// fake in tests that makes any call fail. Error texts name the file and what failed, in Italian, then the
// system's reason in the user's language.

#include "TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// What a write does with a symbolic link at its path.
enum class LinkPolicy {
    Follow,   // the file the link names is replaced; the link stays (documents, configuration)
    Replace,  // the link itself is replaced by a file (temporary files: never written through a link)
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Reads a whole file of at most `maxBytes` bytes; a larger one is refused, unread, with a message that says
    // so. Only regular files are read: a folder, FIFO, socket or device is an error of our own text, never a hang.
    virtual BytesResult readRegularFile(const QString& path, qsizetype maxBytes) = 0;
    // Reads no more than the first `maxBytes` bytes of a regular file, however long it is.
    virtual BytesResult readRegularFilePrefix(const QString& path, qsizetype maxBytes) = 0;
    // Replaces `path` with `bytes` (documents, configuration, preview and recovery files). The new text goes to a
    // temporary file beside it that then takes the old file's place, keeping its mode, and its owner and group
    // where the user may set them: a failed write leaves the old file whole and returns the error text. A file
    // with several hard links, or in a folder where no temporary file can be made, is written in place instead
    // (its owner, mode and links stay); a write that fails there puts the old bytes back. A file whose mode
    // denies the user writing is refused as the system refuses writing it, and left as it was.
    virtual std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes,
                                                       LinkPolicy links) = 0;
    // Removes a file or a link; a missing one is no error.
    virtual std::optional<QString> removeFile(const QString& path) = 0;
    // Whether anything stands at `path` (a link is followed).
    virtual bool exists(const QString& path) = 0;
    // Makes the folder and any missing parent; the folder itself is then open to the user alone.
    virtual std::optional<QString> makePrivateFolder(const QString& path) = 0;
    // Lets only the user read and write the file. Best effort: a file left more open is no failure.
    virtual void restrictToOwner(const QString& path) = 0;
    // The names of the files (hidden ones too, links to files included) in `folder`, sorted; empty when the
    // folder cannot be listed.
    virtual QStringList listFiles(const QString& folder) = 0;
};

// The file system of the machine the program runs on.
class PosixFileSystem final : public FileSystem {
public:
    BytesResult readRegularFile(const QString& path, qsizetype maxBytes) override;
    BytesResult readRegularFilePrefix(const QString& path, qsizetype maxBytes) override;
    std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes, LinkPolicy links) override;
    std::optional<QString> removeFile(const QString& path) override;
    bool exists(const QString& path) override;
    std::optional<QString> makePrivateFolder(const QString& path) override;
    void restrictToOwner(const QString& path) override;
    QStringList listFiles(const QString& folder) override;
};

// Reads a whole document file (at most kMaxDocumentBytes) and decodes it. Running out of memory on the way is an
// error, not a crash.
ReadResult readDocumentFile(FileSystem& files, const QString& path);

// The error texts, from an errno value.
QString readError(const QString& path, int error);
QString writeError(const QString& path, int error);
QString removeError(const QString& path, int error);
QString folderError(const QString& path, int error);
QString notARegularFile(const QString& path);
QString tooLarge(const QString& path, qint64 size, qsizetype limit);
// "Memoria insufficiente" for `path`, for failures to allocate.
QString outOfMemoryError(const QString& path, bool writing);

}  // namespace calamo
