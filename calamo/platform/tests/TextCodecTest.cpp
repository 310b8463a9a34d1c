#include "DocumentFile.h"
#include "KeyCodes.h"
#include "TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <Qt>

using namespace calamo;

namespace {

TEST(DocumentEncoding, EveryWindows1252ByteReadsAsOneCharacterAndWritesBack)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    }
    const DecodedText decoded = decodeDocument(all);
    EXPECT_EQ(decoded.encoding, Encoding::Windows1252);
    EXPECT_EQ(decoded.text.size(), all.size());
    EXPECT_EQ(decoded.text[0x80 - 2], QChar(0x20AC));  // the euro sign
    EXPECT_EQ(encodeDocument(decoded.text, decoded.encoding), all);
}

TEST(DocumentEncoding, ValidUtf8ReadsAsUtf8AndKeepsItsMark)
{
    const DecodedText plain = decodeDocument("perch\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(plain.encoding, Encoding::Utf8);
    EXPECT_EQ(plain.text, QString::fromUtf8("perch\xC3\xA9 \xE2\x82\xAC"));

    const DecodedText marked = decodeDocument("\xEF\xBB\xBFx\xC3\xA9");
    EXPECT_EQ(marked.encoding, Encoding::Utf8WithBom);
    EXPECT_EQ(marked.text, QString::fromUtf8("x\xC3\xA9"));
    EXPECT_EQ(encodeDocument(marked.text, marked.encoding), "\xEF\xBB\xBFx\xC3\xA9");

    // Overlong forms and surrogates are not UTF-8: such a file is single-byte text.
    EXPECT_EQ(decodeDocument("\xC0\xAF").encoding, Encoding::Windows1252);
    EXPECT_EQ(decodeDocument("\xED\xA0\x80").encoding, Encoding::Windows1252);
    EXPECT_EQ(decodeDocument("caff\xE8").text, QString::fromUtf8("caff\xC3\xA8"));
    EXPECT_EQ(decodeDocument("ends in \xC3").encoding, Encoding::Windows1252);
}

TEST(DocumentEncoding, LineEndsReadAsOneBreakAndWriteAsCrLf)
{
    const DecodedText decoded = decodeDocument("a\r\nb\rc\nd\r\n");
    EXPECT_EQ(decoded.text, "a\nb\nc\nd\n");
    EXPECT_EQ(encodeDocument(decoded.text, decoded.encoding), "a\r\nb\r\nc\r\nd\r\n");
}

TEST(DocumentEncoding, TextThatWindows1252CannotHoldIsWrittenAsUtf8)
{
    const QString text = QString::fromUtf8("\xCE\xB1\xCE\xB2 \xE2\x82\xAC");
    EXPECT_EQ(encodingFor(text, Encoding::Windows1252), Encoding::Utf8);
    EXPECT_EQ(encodeDocument(text, Encoding::Windows1252), text.toUtf8());
    EXPECT_EQ(encodingFor(QString::fromUtf8("\xE2\x82\xAC"), Encoding::Windows1252), Encoding::Windows1252);
}

TEST(DocumentFile, WritesAtomicallyAndReportsWhatFails)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_EQ(writeDocumentFile(path, QStringLiteral("one\ntwo"), Encoding::Windows1252), std::nullopt);
    const ReadResult read = readDocumentFile(path);
    ASSERT_TRUE(read.document.has_value());
    EXPECT_EQ(read.document->text, "one\ntwo");

    const auto error = writeDocumentFile(dir.filePath(QStringLiteral("missing/page.htm")), QStringLiteral("x"),
                                         Encoding::Windows1252);
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    const ReadResult missing = readDocumentFile(dir.filePath(QStringLiteral("nothing.htm")));
    EXPECT_FALSE(missing.document.has_value());
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST(KeyCodes, QtKeysMapToTheCodesStoredInTheConfiguration)
{
    EXPECT_EQ(virtualKeyFor(Qt::Key_A), 'A');
    EXPECT_EQ(virtualKeyFor(Qt::Key_Z), 'Z');
    EXPECT_EQ(virtualKeyFor(Qt::Key_0), '0');
    EXPECT_EQ(virtualKeyFor(Qt::Key_F1), 0x70);
    EXPECT_EQ(virtualKeyFor(Qt::Key_F9), 'x');  // 120: what a padded entry "N" answers to
    EXPECT_EQ(virtualKeyFor(Qt::Key_F12), 0x7B);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Shift), 0x10);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Control), 0x11);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Alt), 0x12);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Return), 0x0D);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Enter), 0x0D);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Escape), 0x1B);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Space), 0x20);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Left), 0x25);
    EXPECT_EQ(virtualKeyFor(Qt::Key_Down), 0x28);
    // Shifted digits still name their key.
    EXPECT_EQ(virtualKeyFor(Qt::Key_Exclam), '1');
    EXPECT_EQ(virtualKeyFor(Qt::Key_ParenRight), '0');
    EXPECT_EQ(virtualKeyFor(Qt::Key_unknown), 0);
}

}  // namespace
