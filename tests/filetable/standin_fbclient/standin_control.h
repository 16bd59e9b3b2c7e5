// Control of the stand-in client library: a small shared library with the
// client API's entry points that plays a server whose RDB$FILES accepts
// updates (no Firebird 3 or later does) and whose calls can be made to fail.
// Tests link it to steer it and pass its path to the data module, which then
// loads this same library.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace standin {

struct Row {
    std::optional<std::string> fileName;
    std::optional<int> sequence;
    std::optional<int> start;
    std::optional<int> length;
    std::optional<int> flags;
    std::optional<int> shadow;
    bool operator==(const Row&) const = default;
};

// Empty table, dialect 3, no failures, empty journal, nothing open.
void Reset();
// The committed content of RDB$FILES, in sequence order.
void SetRows(const std::vector<Row>& rows);
std::vector<Row> Rows();
// The bytes that isc_database_info answers.
void SetInfoReply(const std::vector<unsigned char>& reply);
// The `occurrence`-th call (from 1) of `entryPoint` fails with a status vector
// of these messages, in order.
void FailCall(const std::string& entryPoint, int occurrence,
              const std::vector<std::string>& messages);
// One line per call, in order: the entry point's name and what it was given.
std::vector<std::string> Journal();
// One line per call of the status interpretation: "fb_interpret size=<n>" or
// "isc_interprete".
std::vector<std::string> Interpretations();
// Attachments, service attachments, transactions and statements still open.
int OpenHandles();

} // namespace standin
