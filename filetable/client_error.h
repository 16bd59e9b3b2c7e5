// The one exception type of the client layer.
#pragma once

#include <ibase.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

// One error code of a status vector with the texts given to its message.
struct StatusItem {
    ISC_STATUS code = 0;
    std::vector<std::string> texts;
};

// A failure of the client library or of a call through it. what() is the text
// shown to the user: the interpreted status messages, or the layer's own text
// for failures that come without a status vector (Items() then empty).
class ClientError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    ClientError(const std::string& text, std::vector<StatusItem> items)
        : std::runtime_error(text), items_(std::move(items)) {}

    const std::vector<StatusItem>& Items() const { return items_; }

private:
    std::vector<StatusItem> items_;
};

} // namespace tessaldrin::filetable
