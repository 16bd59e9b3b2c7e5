// The run log: the one output channel of a run. Steps append whole entries and
// never change or remove one; an entry may hold line feeds and stays one entry.
#pragma once

#include "platform/messages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaldrin {

class RunLog {
public:
    virtual ~RunLog() = default;

    // Appends `entry` as one entry.
    virtual void append(const std::string& entry) = 0;

    // Appends message 21007, "FEHLER: %s\n\n", with `text`. A log that keeps
    // the reasons of refusals apart from their lines overrides both writers.
    virtual void LogError(const std::string& text);
    // Appends message 21009, "FEHLER: %s (%d)\n\n", with `text` and `number`.
    virtual void LogErrorNumber(const std::string& text, std::int32_t number);
    // Appends `message`, which has no placeholders.
    void AppendMessage(const platform::Message<>& message);
    // Appends each of `lines` as an entry of its own, in order.
    void AppendAll(const std::vector<std::string>& lines);
};

// A run log over a list of lines, for the console front end and the tests.
class ListRunLog : public RunLog {
public:
    void append(const std::string& entry) override { Lines.push_back(entry); }

    std::vector<std::string> Lines;
};

} // namespace tessaldrin
