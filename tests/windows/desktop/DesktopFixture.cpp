#include "DesktopFixture.h"

namespace quilldeck::testing {
namespace {

class ClipboardSession {
public:
    ClipboardSession() {
        WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5));
    }
    ~ClipboardSession() { ::CloseClipboard(); }
};

}  // namespace

std::optional<std::u16string> ClipboardText() {
    ClipboardSession session;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return std::nullopt;
    const auto* text = static_cast<const char16_t*>(::GlobalLock(data));
    std::u16string result = text != nullptr ? std::u16string(text) : std::u16string();
    ::GlobalUnlock(data);
    return result;
}

void CopyToClipboard(std::u16string_view text) {
    ClipboardSession session;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    auto* units = static_cast<char16_t*>(::GlobalLock(block));
    text.copy(units, text.size());
    units[text.size()] = u'\0';
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_UNICODETEXT, block);
}

std::vector<UINT> ClipboardFormats() {
    ClipboardSession session;
    std::vector<UINT> formats;
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
        formats.push_back(format);
    }
    return formats;
}

SIZE_T ClipboardTextBlockSize() {
    ClipboardSession session;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    return data == nullptr ? 0 : ::GlobalSize(data);
}

ClipboardHolder::ClipboardHolder(int milliseconds) {
    static int serial = 0;
    const std::string eventName =
        "QuilldeckTestClipboardHeld-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    held_ = win::UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    const std::string program = ProgramFolder() + "quilldeck_clipboard_holder.exe";
    process_ = std::make_unique<ChildProcess>(program, std::map<std::string, std::optional<std::string>>{},
                                              std::string{}, eventName + " " + std::to_string(milliseconds));
}

ClipboardHolder::~ClipboardHolder() = default;

bool ClipboardHolder::WaitUntilHeld() { return ::WaitForSingleObject(held_.Get(), 10000) == WAIT_OBJECT_0; }

std::optional<DWORD> ClipboardHolder::WaitForRelease(std::chrono::milliseconds timeout) {
    return process_->WaitForExit(timeout);
}

}  // namespace quilldeck::testing
