#include "PathText.h"

namespace quilldeck {
namespace {

// Calls visit(position, byte) for every single-byte character.
template <typename Visit>
void ForEachSingleByte(std::string_view text, const CodePage& codePage, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // A lead byte at the very end has no second byte to skip.
        if (codePage.IsLeadByte(byte) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        visit(i, byte);
    }
}

}  // namespace

std::size_t AfterLastSeparator(std::string_view path, std::string_view separators, const CodePage& codePage) {
    std::size_t after = 0;
    ForEachSingleByte(path, codePage, [&](std::size_t i, unsigned char byte) {
        if (separators.find(static_cast<char>(byte)) != std::string_view::npos) after = i + 1;
    });
    return after;
}

std::string FolderOf(std::string_view path, const CodePage& codePage) {
    return std::string(path.substr(0, AfterLastSeparator(path, "\\/:", codePage)));
}

std::string WithAsciiCapitals(std::string_view text, const CodePage& codePage) {
    std::string result(text);
    ForEachSingleByte(text, codePage, [&](std::size_t i, unsigned char byte) {
        if (byte >= 'a' && byte <= 'z') result[i] = static_cast<char>(byte - 'a' + 'A');
    });
    return result;
}

}  // namespace quilldeck
