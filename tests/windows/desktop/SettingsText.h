#pragma once

#include <string>
#include <vector>

namespace quilldeck::testing {

// One record as the program writes it.
inline std::string Record(const std::string& active, const std::string& description, const std::string& shortcut,
                          const std::string& text = "") {
    std::string record = active + "\r\n" + description + "\r\n" + shortcut + "\r\n[memo]\r\n";
    if (!text.empty()) record += text + "\r\n";
    return record + "[/memo]\r\n\r\n";
}

inline const std::string EmptyRecord = Record("0", "<Not Define>", "None");

// A whole settings file as the program writes it: the records given, the
// rest empty.
inline std::string SettingsOf(std::vector<std::string> records, bool startMinimize = false) {
    records.resize(20, EmptyRecord);
    std::string settings = startMinimize ? "#\r\n" : " \r\n";
    for (const std::string& record : records) settings += record;
    return settings;
}

}  // namespace quilldeck::testing
