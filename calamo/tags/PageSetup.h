#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace calamo {

class Prompts;

// The controls of the page setup dialog TSetup, which keep their values from one new document to the next.
struct SetupPanel {
    QString Edit1{};         // title
    QString Edit2{};         // description META
    QString Edit3{};         // keywords META
    bool CheckBox4 = false;  // refresh META: asks the delay and the target
    bool CheckBox2 = true;   // generator META
    bool CheckBox1 = false;  // author META: asks the author
    bool CheckBox3 = false;  // ROBOTS NOINDEX
    bool CheckBox7 = false;  // background sound: asks its URL
    bool CheckBox6 = false;  // four margins, asked one by one
    bool CheckBox5 = false;  // fixed background
};

// What the dialog's buttons chose at this showing; nothing chosen is empty. Colours are 0x00BBGGRR.
struct PageChoices {
    std::optional<QString> image{};  // the background image's local path
    std::optional<std::uint32_t> background{};
    std::optional<std::uint32_t> text{};
    std::optional<std::uint32_t> link{};
    std::optional<std::uint32_t> activeLink{};
    std::optional<std::uint32_t> visitedLink{};
};

// The page skeleton for a new document, one element per line. Asks, in this order and only for the ticked
// boxes, the refresh delay and target, the author, the sound URL and the four margins; a cancelled box gives an
// empty value. Typed values go in unchanged.
QStringList SetupPage(const SetupPanel& panel, const PageChoices& choices, Prompts& prompts);

// Where the caret goes in the page: the start of the middle one of the three empty lines after BODY, as an
// offset into the lines joined by one-character line breaks.
int SetupCaret(const QStringList& page);

// A local file as the page refers to it: a file: URL, so that a browser loads it from a page saved anywhere,
// with blanks, quotes and non-ASCII characters percent-encoded so they neither end the attribute nor depend on
// the page's charset.
QString BackgroundImageUrl(const QString& localPath);

}  // namespace calamo
