#include "RtfReader.h"

#include "TextDecoding.h"

#include <QHash>

#include <algorithm>
#include <cctype>

namespace travaso {

namespace {

// Groups nest at most this deep; deeper ones are read as part of the innermost group kept, so a file of
// nothing but "{" costs no memory per brace.
constexpr std::size_t kMaxGroupDepth = 256;

enum class Destination { Text, FontTable, ColorTable, Skip };

struct GroupState {
    RtfCharFormat format;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;  // fallback characters after each \uN
    bool fontEntry = false;
};

// Destinations whose content is not body text.
bool IsSkippedDestination(const QByteArray& word)
{
    static const QByteArray kSkipped[] = {
        "stylesheet",   "info",       "pict",     "header",    "headerl",
        "headerr",      "headerf",    "footer",   "footerl",   "footerr",
        "footerf",      "footnote",   "object",   "themedata", "colorschememapping",
        "latentstyles", "datastore",  "xmlnstbl", "listtable", "listoverridetable",
        "rsidtbl",      "generator",  "fldinst",  "filetbl",   "revtbl",
        "pgdsctbl",     "nonshppict", "shppict",  "bkmkstart", "bkmkend",
        "template",     "xe",         "tc",       "txe",
    };
    for (const QByteArray& s : kSkipped)
        if (word == s)
            return true;
    return false;
}

class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data) {}

    RtfDocument Run()
    {
        doc_.paragraphs.emplace_back();
        while (pos_ < data_.size()) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                if (stack_.size() >= kMaxGroupDepth) {
                    ++flattenedGroups_;
                    break;
                }
                stack_.push_back(state_);
                state_.fontEntry = false;
                break;
            case '}':
                EndGroup();
                break;
            case '\\':
                ControlWord();
                break;
            case '\r':
            case '\n':
                break;
            default:
                Char(Cp1252Char(static_cast<unsigned char>(c)));
                break;
            }
        }
        if (doc_.paragraphs.size() > 1 && doc_.paragraphs.back().runs.empty())
            doc_.paragraphs.pop_back();
        return doc_;
    }

private:
    void EndGroup()
    {
        if (flattenedGroups_ > 0) {
            --flattenedGroups_;
            return;
        }
        if (state_.destination == Destination::FontTable && state_.fontEntry)
            FinishFontName();
        skipFallback_ = 0;
        if (stack_.empty())
            return;  // unbalanced closing brace: ignore it
        state_ = stack_.back();
        stack_.pop_back();
    }

    void FinishFontName()
    {
        QString name = fontName_.trimmed();
        if (name.endsWith(u';'))
            name.chop(1);
        if (!name.isEmpty() && !fonts_.contains(fontNumber_))
            fonts_.insert(fontNumber_, name);
        fontName_.clear();
    }

    void ControlWord()
    {
        if (pos_ >= data_.size())
            return;
        const char c = data_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        QByteArray word;
        while (pos_ < data_.size() && std::isalpha(static_cast<unsigned char>(data_[pos_])))
            word += data_[pos_++];
        std::optional<int> param;
        if (pos_ < data_.size() && (data_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(data_[pos_])))) {
            const bool negative = data_[pos_] == '-';
            if (negative)
                ++pos_;
            long long value = 0;
            while (pos_ < data_.size() && std::isdigit(static_cast<unsigned char>(data_[pos_]))) {
                if (value < 100'000'000)
                    value = value * 10 + (data_[pos_] - '0');
                ++pos_;
            }
            param = int(negative ? -value : value);
        }
        if (pos_ < data_.size() && data_[pos_] == ' ')
            ++pos_;  // the delimiter belongs to the control word
        Apply(word, param);
    }

    void ControlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Char(QChar(c));
            break;
        case '~':
            Char(QChar(0x00A0));
            break;
        case '_':
            Char(QChar(0x2011));
            break;
        case '*':
            state_.destination = Destination::Skip;
            break;
        case '\'': {
            if (pos_ + 2 <= data_.size()) {
                bool ok = false;
                const int byte = data_.mid(pos_, 2).toInt(&ok, 16);
                pos_ += 2;
                if (ok)
                    Char(Cp1252Char(static_cast<unsigned char>(byte)));
            } else {
                pos_ = data_.size();  // cut off in the middle of the escape
            }
            break;
        }
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:  // \- optional hyphen, \| and others: nothing to show
            break;
        }
    }

    void Apply(const QByteArray& w, std::optional<int> param)
    {
        const bool on = !param || *param != 0;
        if (w == "bin") {
            pos_ += std::max(0, param.value_or(0));  // raw bytes of a picture or object
            return;
        }
        if (IsSkippedDestination(w)) {
            state_.destination = Destination::Skip;
            return;
        }
        if (w == "fonttbl") {
            state_.destination = Destination::FontTable;
        } else if (w == "colortbl") {
            state_.destination = Destination::ColorTable;
            colors_.clear();
            colorPending_ = RtfColor{};
            colorHasComponent_ = false;
        } else if (state_.destination == Destination::FontTable && w == "f") {
            FinishFontNameIfAny();
            fontNumber_ = param.value_or(0);
            state_.fontEntry = true;
        } else if (state_.destination == Destination::ColorTable && (w == "red" || w == "green" || w == "blue")) {
            const int v = std::clamp(param.value_or(0), 0, 255);
            (w == "red" ? colorPending_.red : w == "green" ? colorPending_.green : colorPending_.blue) = v;
            colorHasComponent_ = true;
        } else if (w == "deff") {
            defaultFont_ = param.value_or(0);
        } else if (w == "plain") {
            state_.format = RtfCharFormat{};
            state_.format.family = fonts_.value(defaultFont_);
        } else if (w == "b") {
            state_.format.bold = on;
        } else if (w == "i") {
            state_.format.italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulw" || w == "ulth") {
            state_.format.underline = on;
        } else if (w == "ulnone") {
            state_.format.underline = false;
        } else if (w == "f") {
            state_.format.family = fonts_.value(param.value_or(0));
        } else if (w == "fs") {
            state_.format.pointSize = param.value_or(24) / 2.0;
        } else if (w == "cf") {
            const int index = param.value_or(0);
            state_.format.color.reset();
            if (index > 0 && std::size_t(index) < colors_.size())
                state_.format.color = colors_[index];
        } else if (w == "uc") {
            state_.unicodeSkip = std::max(0, param.value_or(1));
        } else if (w == "u") {
            // A signed 16-bit UTF-16 unit; anything beyond that range is no character.
            const int n = param.value_or(0);
            if (n >= -32768 && n <= 0xFFFF)
                Append(QChar(char16_t(n < 0 ? n + 65536 : n)));
            else
                Append(QChar(QChar::ReplacementCharacter));
            skipFallback_ = state_.unicodeSkip;
        } else if (w == "par" || w == "sect" || w == "page") {
            Paragraph();
        } else if (w == "line") {
            Char(QChar(0x2028));
        } else if (w == "tab") {
            Char(QChar(u'\t'));
        } else if (w == "emdash") {
            Char(QChar(0x2014));
        } else if (w == "endash") {
            Char(QChar(0x2013));
        } else if (w == "lquote") {
            Char(QChar(0x2018));
        } else if (w == "rquote") {
            Char(QChar(0x2019));
        } else if (w == "ldblquote") {
            Char(QChar(0x201C));
        } else if (w == "rdblquote") {
            Char(QChar(0x201D));
        } else if (w == "bullet") {
            Char(QChar(0x2022));
        }
    }

    void FinishFontNameIfAny()
    {
        if (!fontName_.isEmpty())
            FinishFontName();
    }

    void Char(QChar c)
    {
        if (skipFallback_ > 0) {
            --skipFallback_;  // stands in for the \uN before it in readers without Unicode
            return;
        }
        Append(c);
    }

    void Append(QChar c)
    {
        switch (state_.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            fontName_ += c;
            if (c == u';')
                FinishFontName();
            return;
        case Destination::ColorTable:
            if (c == u';') {
                colors_.push_back(colorHasComponent_ ? std::optional(colorPending_) : std::nullopt);
                colorPending_ = RtfColor{};
                colorHasComponent_ = false;
            }
            return;
        case Destination::Text:
            break;
        }
        auto& runs = doc_.paragraphs.back().runs;
        if (runs.empty() || !(runs.back().format == state_.format))
            runs.push_back({QString(), state_.format});
        runs.back().text += c;
    }

    void Paragraph()
    {
        skipFallback_ = 0;
        if (state_.destination == Destination::Text)
            doc_.paragraphs.emplace_back();
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
    RtfDocument doc_;
    GroupState state_;
    std::vector<GroupState> stack_;
    std::size_t flattenedGroups_ = 0;  // open groups beyond kMaxGroupDepth
    QHash<int, QString> fonts_;
    int fontNumber_ = 0;
    int defaultFont_ = 0;
    QString fontName_;
    std::vector<std::optional<RtfColor>> colors_;
    RtfColor colorPending_;
    bool colorHasComponent_ = false;
    int skipFallback_ = 0;
};

}  // namespace

QString RtfParagraph::Text() const
{
    QString text;
    for (const RtfRun& run : runs)
        text += run.text;
    return text;
}

QString RtfDocument::PlainText() const
{
    QStringList lines;
    for (const RtfParagraph& p : paragraphs)
        lines << p.Text();
    return lines.join(u'\n');
}

bool LooksLikeRtf(const QByteArray& data)
{
    return data.startsWith("{\\rtf");
}

RtfDocument ReadRtf(const QByteArray& data)
{
    return Reader(data).Run();
}

}  // namespace travaso
