// Any bytes as the descriptive text: the rich-text reader and the plain-text decoder must end, and what
// they make is never longer than what they read.

#include "RtfReader.h"
#include "TextDecoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace travaso;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RtfDocument doc = ReadRtf(bytes);
    // Every character the reader makes stands for at least one byte read, every paragraph for a break read.
    qsizetype characters = 0;
    for (const RtfParagraph& paragraph : doc.paragraphs)
        for (const RtfRun& run : paragraph.runs)
            characters += run.text.size();
    if (characters > qsizetype(size) || doc.paragraphs.size() > size + 1)
        std::abort();
    if (DecodeText(bytes).size() > qsizetype(size))
        std::abort();
    (void)LooksLikeRtf(bytes);
    return 0;
}
