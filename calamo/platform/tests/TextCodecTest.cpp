#include "TextCodec.h"
#include "KeyCodes.h"

#include <gtest/gtest.h>

#include <Qt>

#include <random>

using namespace calamo;

namespace {

// The bytes a file is written back as: every line end CR LF.
QByteArray withCrLf(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out.append("\r\n");
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (bytes[i] == '\n') {
            out.append("\r\n");
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

QByteArray roundTrip(const QByteArray& bytes)
{
    const DecodedText decoded = decodeDocument(bytes);
    return encodeDocument(decoded.text, decoded.encoding).bytes;
}

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
    EXPECT_EQ(decoded.text[0xA0 - 2], QChar(0xA0));    // the no-break space stays one
    EXPECT_EQ(encodeDocument(decoded.text, decoded.encoding).bytes, all);
}

TEST(DocumentEncoding, ValidUtf8ReadsAsUtf8AndKeepsItsMarks)
{
    const DecodedText plain = decodeDocument("perch\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(plain.encoding, Encoding::Utf8);
    EXPECT_EQ(plain.text, QString::fromUtf8("perch\xC3\xA9 \xE2\x82\xAC"));

    const DecodedText marked = decodeDocument("\xEF\xBB\xBFx\xC3\xA9");
    EXPECT_EQ(marked.encoding, Encoding::Utf8WithBom);
    EXPECT_EQ(marked.text, QString::fromUtf8("x\xC3\xA9"));
    EXPECT_EQ(encodeDocument(marked.text, marked.encoding).bytes, "\xEF\xBB\xBFx\xC3\xA9");

    // A second mark is a character of the text: it survives the save.
    const QByteArray doubled = "\xEF\xBB\xBF\xEF\xBB\xBF<HTML>";
    EXPECT_EQ(decodeDocument(doubled).text, QString(QChar(0xFEFF)) + "<HTML>");
    EXPECT_EQ(roundTrip(doubled), doubled);

    // Overlong forms and surrogates are not UTF-8: such a file is single-byte text.
    EXPECT_EQ(decodeDocument("\xC0\xAF").encoding, Encoding::Windows1252);
    EXPECT_EQ(decodeDocument("\xED\xA0\x80").encoding, Encoding::Windows1252);
    EXPECT_EQ(decodeDocument("caff\xE8").text, QString::fromUtf8("caff\xC3\xA8"));
    EXPECT_EQ(decodeDocument("ends in \xC3").encoding, Encoding::Windows1252);
}

TEST(DocumentEncoding, LineEndsReadAsOneBreakAndWriteAsCrLf)
{
    const DecodedText decoded = decodeDocument("a\r\nb\rc\nd\r\r\n");
    EXPECT_EQ(decoded.text, "a\nb\nc\nd\n\n");
    EXPECT_EQ(encodeDocument(decoded.text, decoded.encoding).bytes, "a\r\nb\r\nc\r\nd\r\n\r\n");
}

TEST(DocumentEncoding, AnUndeclaredDocumentOutgrowingWindows1252IsWrittenAsUtf8)
{
    const QString text = QString::fromUtf8("\xCE\xB1\xCE\xB2 \xE2\x82\xAC");
    const EncodedText out = encodeDocument(text, Encoding::Windows1252);
    EXPECT_EQ(out.encoding, Encoding::Utf8);
    EXPECT_EQ(out.bytes, text.toUtf8());
    EXPECT_TRUE(out.outgrewEncoding);
    EXPECT_EQ(decodeDocument(out.bytes).text, text) << "the next reading recognises it";

    const EncodedText euro = encodeDocument(QString::fromUtf8("\xE2\x82\xAC"), Encoding::Windows1252);
    EXPECT_EQ(euro.bytes, "\x80");
    EXPECT_FALSE(euro.outgrewEncoding);
}

struct Declaration {
    const char* head;
    std::optional<Encoding> encoding;
};

TEST(DeclaredCharset, FoundInTheFormsBrowsersAccept)
{
    const Declaration rows[] = {
        {"<META charset=\"utf-8\">", Encoding::Utf8},
        {"<meta charset=UTF-8>", Encoding::Utf8},
        {"<meta charset='utf8' />", Encoding::Utf8},
        {"<html><head><meta name=x charset = \" Utf-8 \">", Encoding::Utf8},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">", Encoding::Utf8},
        {"<meta content='text/html; charset=\"UTF-8\"' http-equiv=content-type>", Encoding::Utf8},
        {"<meta http-equiv=\"content-type\" content=\"text/html;charset=windows-1252\">", Encoding::Windows1252},
        {"<meta charset=\"iso-8859-1\">", Encoding::Windows1252},
        {"<meta charset=\"US-ASCII\">", Encoding::Windows1252},
        {"<meta charset=\"ISO-8859-15\">", Encoding::Latin9},
        // Not declarations.
        {"<meta content=\"text/html; charset=utf-8\">", std::nullopt},  // no http-equiv
        {"<!-- <meta charset=utf-8> --><p>", std::nullopt},
        {"<metadata charset=utf-8>", std::nullopt},
        {"<p title=\"<meta charset=utf-8>\">", std::nullopt},
        {"<meta charset=\"shift_jis\">", std::nullopt},
        {"<meta charset=\"koi8-r\"><meta charset=utf-8>", Encoding::Utf8},  // the first one the editor reads
        {"<meta charset=\"utf-8", Encoding::Utf8},                          // cut at the end of the scanned bytes
        {"<meta", std::nullopt},
    };
    for (const Declaration& row : rows)
        EXPECT_EQ(declaredEncoding(QByteArrayView(row.head)), row.encoding) << row.head;

    // Only the first 1024 bytes count.
    const QByteArray late = QByteArray(1020, ' ') + "<meta charset=utf-8>";
    EXPECT_EQ(declaredEncoding(late), std::nullopt);
    EXPECT_EQ(declaredEncoding(QByteArray(1000, ' ') + "<meta charset=utf-8>"), Encoding::Utf8);
}

TEST(DeclaredCharset, DecidesHowAPageIsReadAndWritten)
{
    // A pure-ASCII page declaring UTF-8: a typed è goes out as UTF-8, not as the byte E8.
    const QByteArray ascii = "<META charset=\"utf-8\">\r\n<P>caffe</P>";
    DecodedText page = decodeDocument(ascii);
    EXPECT_EQ(page.encoding, Encoding::Utf8);
    page.text.replace(QStringLiteral("caffe"), QString::fromUtf8("caff\xC3\xA8"));
    EXPECT_EQ(encodeDocument(page.text, page.encoding).bytes, "<META charset=\"utf-8\">\r\n<P>caff\xC3\xA8</P>");

    // A page that declares Windows-1252 is read so even when its bytes happen to be valid UTF-8.
    const DecodedText latin = decodeDocument("<meta charset=windows-1252>\xC3\xA8");
    EXPECT_EQ(latin.encoding, Encoding::Windows1252);
    EXPECT_EQ(latin.text.right(2), QString::fromUtf8("\xC3\x83\xC2\xA8"));

    const DecodedText latin9 = decodeDocument("<meta charset=iso-8859-15>\xA4\xBD\xE8");
    EXPECT_EQ(latin9.text.right(3), QString::fromUtf8("\xE2\x82\xAC\xC5\x93\xC3\xA8"));

    // Declaring a charset in the text decides the next save, whatever the file was read in.
    const QString declaredNow = QString::fromUtf8("<meta charset=\"utf-8\">\n\xC3\xA8");
    EXPECT_EQ(encodeDocument(declaredNow, Encoding::Windows1252).bytes, "<meta charset=\"utf-8\">\r\n\xC3\xA8");
}

TEST(DeclaredCharset, CharactersItCannotHoldBecomeReferencesNeverQuestionMarks)
{
    const QString text = QString::fromUtf8("<meta charset=iso-8859-1>\xCF\x80 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC3\xA8");
    const EncodedText out = encodeDocument(text, Encoding::Windows1252);
    EXPECT_EQ(out.encoding, Encoding::Windows1252);
    EXPECT_EQ(out.bytes, "<meta charset=iso-8859-1>&#960; \x80 &#128512; \xE8");
    EXPECT_TRUE(out.outgrewEncoding);

    // ISO-8859-15 has the euro sign where Latin-1 has the currency sign, which it cannot hold.
    const EncodedText nine =
        encodeDocument(QString::fromUtf8("<meta charset=latin-9>\xE2\x82\xAC\xC2\xA4"), Encoding::Latin9);
    EXPECT_EQ(nine.bytes, "<meta charset=latin-9>\xA4&#164;");
}

TEST(DeclaredCharset, BytesThatAreNotUtf8InAUtf8PageSurviveTheSave)
{
    const QByteArray bytes = "<meta charset=utf-8>caff\xE8 \xC3\xA8 \xF0\x9F\x98 \xED\xA0\x80 \xFF";
    const DecodedText page = decodeDocument(bytes);
    EXPECT_EQ(page.encoding, Encoding::Utf8);
    EXPECT_TRUE(page.text.contains(QString::fromUtf8("\xC3\xA8")));
    EXPECT_EQ(roundTrip(bytes), bytes);
    // Also after the declaration changes to a single-byte charset.
    QString edited = page.text;
    edited.replace(QStringLiteral("utf-8"), QStringLiteral("windows-1252"));
    const QByteArray rewritten = encodeDocument(edited, page.encoding).bytes;
    EXPECT_TRUE(rewritten.contains("caff\xE8 \xE8")) << rewritten.toHex().toStdString();
}

// Property: any file of generated content reads and writes back as the same bytes, line ends apart.
class RoundTrip : public ::testing::Test {
protected:
    std::mt19937 random{20261208};

    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    QByteArray lineBreak()
    {
        static const char* const kBreaks[] = {"\r\n", "\n", "\r"};
        return kBreaks[below(3)];
    }

    // Windows-1252 text: every byte from 0x20 to 0xFF, tabs and line breaks.
    QByteArray singleByteFile()
    {
        QByteArray bytes;
        const int length = below(400);
        for (int i = 0; i < length; ++i) {
            const int pick = below(40);
            if (pick == 0)
                bytes += lineBreak();
            else if (pick == 1)
                bytes += '\t';
            else
                bytes += static_cast<char>(0x20 + below(0xE0));
        }
        return bytes;
    }

    // Valid UTF-8 of random code points from every plane, surrogates excepted.
    QByteArray utf8File()
    {
        QString text;
        const int length = below(200);
        for (int i = 0; i < length; ++i) {
            const int pick = below(30);
            char32_t cp;
            if (pick == 0) {
                text += QString::fromLatin1(lineBreak());
                continue;
            }
            if (pick < 10)
                cp = static_cast<char32_t>(0x20 + below(0x60));
            else if (pick < 15)
                cp = static_cast<char32_t>(0x80 + below(0x780));
            else if (pick < 20)
                cp = static_cast<char32_t>(0x800 + below(0xF800));
            else if (pick < 22)
                cp = pick == 20 ? 0x2028 : 0x2029;
            else
                cp = static_cast<char32_t>(0x10000 + below(0x100000));
            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xA0;
            text += QString::fromUcs4(&cp, 1);
        }
        QByteArray bytes = text.toUtf8();
        if (below(4) == 0)
            bytes.prepend("\xEF\xBB\xBF");
        return bytes;
    }

    QByteArray declaration()
    {
        static const char* const kHeads[] = {"",
                                             "",
                                             "<meta charset=utf-8>",
                                             "<META CHARSET=\"windows-1252\">",
                                             "<meta charset='iso-8859-15'>",
                                             "\xEF\xBB\xBF",
                                             "\xEF\xBB\xBF\xEF\xBB\xBF"};
        return kHeads[below(7)];
    }
};

TEST_F(RoundTrip, Windows1252Files)
{
    for (int i = 0; i < 2000; ++i) {
        const QByteArray bytes = singleByteFile();
        ASSERT_EQ(roundTrip(bytes), withCrLf(bytes)) << i;
    }
}

TEST_F(RoundTrip, Utf8FilesWithAndWithoutMarks)
{
    for (int i = 0; i < 2000; ++i) {
        const QByteArray bytes = utf8File();
        ASSERT_EQ(roundTrip(bytes), withCrLf(bytes)) << i;
    }
}

TEST_F(RoundTrip, AnyBytesUnderAnyDeclaration)
{
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes = declaration();
        const int length = below(300);
        for (int j = 0; j < length; ++j)
            bytes += static_cast<char>(below(256));
        if (below(2) == 0)
            bytes += utf8File();
        ASSERT_EQ(roundTrip(bytes), withCrLf(bytes)) << i << ": " << bytes.toHex().toStdString();
    }
}

// Code units of 2 or 4 bytes in the given order.
QByteArray wideBytes(const std::vector<char32_t>& units, int width, bool bigEndian)
{
    QByteArray out;
    for (char32_t unit : units) {
        for (int i = 0; i < width; ++i)
            out.append(static_cast<char>((unit >> (8 * (bigEndian ? width - 1 - i : i))) & 0xFF));
    }
    return out;
}

TEST_F(RoundTrip, Utf16AndUtf32FilesWithAMarkAreReadAndWrittenInTheirOwnForm)
{
    struct Form {
        Encoding encoding;
        int width;
        bool bigEndian;
    };
    for (const Form form : {Form{Encoding::Utf16LE, 2, false}, Form{Encoding::Utf16BE, 2, true},
                            Form{Encoding::Utf32LE, 4, false}, Form{Encoding::Utf32BE, 4, true}}) {
        for (int i = 0; i < 300; ++i) {
            std::vector<char32_t> units = {0xFEFF};
            const int length = below(200);
            for (int j = 0; j < length; ++j) {
                const int pick = below(12);
                if (pick == 0) {
                    units.insert(units.end(), {u'\r', u'\n'});
                } else if (form.width == 2 && pick == 1) {
                    units.push_back(static_cast<char32_t>(0xD800 + below(0x800)));  // lone surrogates stay
                } else if (form.width == 2 && pick == 2) {
                    units.insert(units.end(), {0xD83D, 0xDE00});
                } else {
                    char32_t cp = static_cast<char32_t>(below(0x3000));
                    if (cp == u'\r' || cp == u'\n' || cp == 0)  // U+0000 first would read as UTF-32's mark
                        cp = u' ';
                    units.push_back(form.width == 4 && pick == 3 ? 0x1F600 : cp);
                }
            }
            const QByteArray bytes = wideBytes(units, form.width, form.bigEndian);
            const DecodedText decoded = decodeDocument(bytes);
            ASSERT_EQ(decoded.encoding, form.encoding) << i;
            ASSERT_EQ(encodeDocument(decoded.text, decoded.encoding).bytes, bytes) << i;
        }
        // A lone line feed goes out as CR LF in the same width, never as single bytes.
        const DecodedText lf = decodeDocument(wideBytes({0xFEFF, u'a', u'\n', u'b'}, form.width, form.bigEndian));
        EXPECT_EQ(lf.text, "a\nb");
        EXPECT_EQ(encodeDocument(lf.text, lf.encoding).bytes,
                  wideBytes({0xFEFF, u'a', u'\r', u'\n', u'b'}, form.width, form.bigEndian));
    }
    // Not whole code units after the mark (or a UTF-32 unit that is no character): the bytes as they are.
    for (const QByteArray& odd : {QByteArray("\xFF\xFE"
                                             "a"),
                                  QByteArray("\xFF\xFE\0\0\xFF\xFF\xFF\xFF", 8)}) {
        const DecodedText decoded = decodeDocument(odd);
        EXPECT_EQ(decoded.encoding, Encoding::Windows1252);
        EXPECT_EQ(encodeDocument(decoded.text, decoded.encoding).bytes, odd);
    }
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

TEST(KeyCodes, TheEditorKeepsOnlyClipboardUndoAndSelectAllOnControlLetters)
{
    std::string kept;
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) {
        if (editorKeepsControlLetter(key, false))
            kept += static_cast<char>(key);
    }
    EXPECT_EQ(kept, "ACVXYZ");
    EXPECT_TRUE(editorKeepsControlLetter(Qt::Key_Z, true));  // redo
    EXPECT_FALSE(editorKeepsControlLetter(Qt::Key_K, false));
    EXPECT_FALSE(editorKeepsControlLetter(Qt::Key_U, false));
}

}  // namespace
