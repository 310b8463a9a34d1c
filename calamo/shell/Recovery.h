#pragma once

#include "ProcessInfo.h"
#include "TextCodec.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace calamo {

class FileSystem;

// What a recovery copy belongs to. The copy itself holds the editor's text exactly (16-bit units as they are),
// so that any text, in any encoding, comes back character for character.
struct RecoveryRecord {
    QString fileName;  // the document's file, or the placeholder of an unnamed one
    Encoding encoding = Encoding::Windows1252;
    QDateTime written;  // UTC
    ProcessStamp writer;
    qint64 copySize = 0;  // bytes of the copy
    QByteArray copyHash;  // BLAKE2b-256 of the copy, hex
    friend bool operator==(const RecoveryRecord&, const RecoveryRecord&) = default;
};

QByteArray formatRecord(const RecoveryRecord& record);
// Empty when the bytes are not a whole record of this format.
std::optional<RecoveryRecord> parseRecord(const QByteArray& bytes);

// The bytes of a copy of `text`; they may lie in `text`'s own memory, so `text` must outlive them.
QByteArray copyBytes(const QString& text);
// Empty when the bytes are not whole 16-bit units.
std::optional<QString> textOfCopy(const QByteArray& bytes);

// The folder of recovery copies: one copy and one record per modified document, named after the writing process
// and the document ("4711-3.copy", "4711-3.record"). Every file is written whole or not at all.
class RecoveryFolder {
public:
    RecoveryFolder(FileSystem& files, QString path) : files_(&files), path_(std::move(path)) {}
    // $XDG_STATE_HOME/calamo/recovery, or ~/.local/state/calamo/recovery.
    static QString defaultPath();
    const QString& path() const { return path_; }

    // Writes the copy of `text` and then its record under `key`; the error text when it could not.
    std::optional<QString> write(const QString& key, const QString& text, RecoveryRecord record) const;
    // Removes the copy and record of `key`, if any.
    void remove(const QString& key) const;

    struct Entry {
        QString key;
        std::optional<RecoveryRecord> record;  // empty when damaged
        QString problem;                       // why the entry cannot be restored; empty when it can
    };
    // Every entry of the folder, in the order of their names.
    std::vector<Entry> entries() const;
    // The text of an entry, after checking it against its record; empty (with `problem` set) when damaged.
    std::optional<QString> readText(const Entry& entry, QString& problem) const;

private:
    QString copyPath(const QString& key) const;
    QString recordPath(const QString& key) const;
    FileSystem* files_;  // copies are made on the writer's thread, so the folder stays copyable
    QString path_;
};

}  // namespace calamo
