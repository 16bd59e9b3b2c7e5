// The one exception type of the client layer.
#pragma once

#include <stdexcept>

namespace tessaldrin::filetable {

// A failure of the client library or of a call through it. what() is the text
// shown to the user: the interpreted status messages, or the layer's own text
// for failures that come without a status vector.
class ClientError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessaldrin::filetable
