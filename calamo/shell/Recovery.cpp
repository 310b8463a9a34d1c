#include "Recovery.h"

#include "FileSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSysInfo>
#include <QUrl>

#include <array>
#include <utility>

namespace calamo {

namespace {

constexpr const char* kMagic = "calamo-recovery 1";
constexpr const char* kCopySuffix = ".copy";
constexpr const char* kRecordSuffix = ".record";

constexpr std::array<std::pair<Encoding, const char*>, 8> kEncodingNames = {{
    {Encoding::Windows1252, "windows-1252"},
    {Encoding::Latin9, "iso-8859-15"},
    {Encoding::Utf8, "utf-8"},
    {Encoding::Utf8WithBom, "utf-8-bom"},
    {Encoding::Utf16LE, "utf-16le-bom"},
    {Encoding::Utf16BE, "utf-16be-bom"},
    {Encoding::Utf32LE, "utf-32le-bom"},
    {Encoding::Utf32BE, "utf-32be-bom"},
}};

QByteArray hashOf(const QByteArray& bytes)
{
    // A damaged copy is told by this; BLAKE2b is the fastest of the toolkit's hashes without hardware help.
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

}  // namespace

QByteArray formatRecord(const RecoveryRecord& record)
{
    QByteArray encoding;
    for (const auto& [value, name] : kEncodingNames) {
        if (value == record.encoding)
            encoding = name;
    }
    // The file name is percent-encoded: a Linux file name may hold a line break.
    return QByteArray(kMagic) + "\nfile=" + QUrl::toPercentEncoding(record.fileName, "/") + "\nencoding=" + encoding +
           "\ntime=" + record.written.toUTC().toString(Qt::ISODate).toLatin1() +
           "\npid=" + QByteArray::number(record.writer.pid) +
           "\nstart=" + QByteArray::number(record.writer.startTicks) + "\nsize=" + QByteArray::number(record.copySize) +
           "\nblake2b=" + record.copyHash + "\n";
}

std::optional<RecoveryRecord> parseRecord(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() != 9 || lines[0] != kMagic || !lines[8].isEmpty())
        return std::nullopt;
    const auto value = [&](int line, const char* key) -> std::optional<QByteArray> {
        const QByteArray prefix = QByteArray(key) + '=';
        if (!lines[line].startsWith(prefix))
            return std::nullopt;
        return lines[line].mid(prefix.size());
    };
    RecoveryRecord record;
    bool ok = true;
    const auto number = [&](int line, const char* key) {
        const auto text = value(line, key);
        bool parsed = false;
        const qint64 n = text ? text->toLongLong(&parsed) : 0;
        ok = ok && parsed && n >= 0;
        return n;
    };
    const auto file = value(1, "file");
    const auto encoding = value(2, "encoding");
    const auto time = value(3, "time");
    const auto hash = value(7, "blake2b");
    record.writer.pid = number(4, "pid");
    record.writer.startTicks = static_cast<quint64>(number(5, "start"));
    record.copySize = number(6, "size");
    if (!ok || !file || !encoding || !time || !hash || file->isEmpty() || hash->size() != 64)
        return std::nullopt;
    record.fileName = QUrl::fromPercentEncoding(*file);
    record.written = QDateTime::fromString(QString::fromLatin1(*time), Qt::ISODate);
    record.copyHash = *hash;
    bool known = false;
    for (const auto& [enc, name] : kEncodingNames) {
        if (*encoding == name) {
            record.encoding = enc;
            known = true;
        }
    }
    if (!known || !record.written.isValid())
        return std::nullopt;
    return record;
}

QByteArray copyBytes(const QString& text)
{
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

std::optional<QString> textOfCopy(const QByteArray& bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                              (static_cast<unsigned char>(bytes[2 * i + 1]) << 8)));
    }
    return text;
}

QString RecoveryFolder::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/calamo/recovery");
}

QString RecoveryFolder::copyPath(const QString& key) const
{
    return path_ + u'/' + key + QLatin1String(kCopySuffix);
}

QString RecoveryFolder::recordPath(const QString& key) const
{
    return path_ + u'/' + key + QLatin1String(kRecordSuffix);
}

std::optional<QString> RecoveryFolder::write(const QString& key, const QString& text, RecoveryRecord record) const
{
    // Only the user may look into the folder or read the copies.
    if (const auto error = files_->makePrivateFolder(path_))
        return error;
    const QByteArray bytes = copyBytes(text);
    record.copySize = bytes.size();
    record.copyHash = hashOf(bytes);
    for (const auto& [path, content] :
         {std::pair{copyPath(key), bytes}, std::pair{recordPath(key), formatRecord(record)}}) {
        if (const auto error = files_->writeFileAtomically(path, content, LinkPolicy::Replace))
            return error;
        files_->restrictToOwner(path);
    }
    return std::nullopt;
}

void RecoveryFolder::remove(const QString& key) const
{
    // The record first: a copy without its record is never offered.
    (void)files_->removeFile(recordPath(key));
    (void)files_->removeFile(copyPath(key));
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::entries() const
{
    std::vector<Entry> found;
    for (const QString& name : files_->listFiles(path_)) {
        if (!name.endsWith(QLatin1String(kRecordSuffix)))
            continue;
        Entry entry;
        entry.key = name.chopped(static_cast<qsizetype>(std::char_traits<char>::length(kRecordSuffix)));
        const BytesResult read = files_->readRegularFile(recordPath(entry.key), 64 * 1024);
        if (!read.bytes)
            entry.problem = read.error;
        else if (!(entry.record = parseRecord(*read.bytes)))
            entry.problem =
                QStringLiteral("la descrizione della copia \"%1\" è danneggiata").arg(recordPath(entry.key));
        found.push_back(std::move(entry));
    }
    return found;
}

std::optional<QString> RecoveryFolder::readText(const Entry& entry, QString& problem) const
{
    if (!entry.record) {
        problem = entry.problem;
        return std::nullopt;
    }
    const BytesResult read = files_->readRegularFile(copyPath(entry.key), 2 * kMaxDocumentBytes + 2);
    if (!read.bytes) {
        problem = read.error;
        return std::nullopt;
    }
    std::optional<QString> text;
    if (read.bytes->size() == entry.record->copySize && hashOf(*read.bytes) == entry.record->copyHash)
        text = textOfCopy(*read.bytes);
    if (!text)
        problem = QStringLiteral("la copia \"%1\" è danneggiata").arg(copyPath(entry.key));
    return text;
}

}  // namespace calamo
