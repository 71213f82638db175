#include "moravik/rtf/document.h"

namespace moravik::rtf {

std::string plainText(const Paragraph& paragraph) {
    std::string text;
    for (const Run& run : paragraph.runs) text += run.text;
    return text;
}

}  // namespace moravik::rtf
