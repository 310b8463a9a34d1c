#include "FileSystem.h"

#include <cstring>
#include <new>

namespace calamo {

namespace {

// The system's reason, in the language of the user's locale (the toolkit sets the C library's locale from it).
QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

QString readError(const QString& path, int error)
{
    return QStringLiteral("Impossibile leggere il file \"%1\": %2.").arg(path, reason(error));
}

QString writeError(const QString& path, int error)
{
    return QStringLiteral("Impossibile salvare il file \"%1\": %2.").arg(path, reason(error));
}

QString removeError(const QString& path, int error)
{
    return QStringLiteral("Impossibile eliminare il file \"%1\": %2.").arg(path, reason(error));
}

QString folderError(const QString& path, int error)
{
    return QStringLiteral("Impossibile creare la cartella \"%1\": %2.").arg(path, reason(error));
}

QString notARegularFile(const QString& path)
{
    return QStringLiteral("Impossibile usare il file \"%1\": non è un file regolare (è una cartella, una pipe o un "
                          "dispositivo).")
        .arg(path);
}

QString tooLarge(const QString& path, qint64 size, qsizetype limit)
{
    return QStringLiteral("Impossibile aprire il file \"%1\": è troppo grande (%2 MB; l'editor apre file fino a "
                          "%3 MB).")
        .arg(path)
        .arg((size + (1 << 20) - 1) >> 20)
        .arg(limit >> 20);
}

QString outOfMemoryError(const QString& path, bool writing)
{
    return QStringLiteral("Impossibile %1 il file \"%2\": memoria insufficiente.")
        .arg(writing ? QStringLiteral("salvare") : QStringLiteral("aprire"), path);
}

ReadResult readDocumentFile(FileSystem& files, const QString& path)
{
    BytesResult read = files.readRegularFile(path, kMaxDocumentBytes);
    if (!read.bytes)
        return {std::nullopt, read.error};
    try {
        return {decodeDocument(*read.bytes), {}};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, outOfMemoryError(path, false)};
    }
}

}  // namespace calamo
