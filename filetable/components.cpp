#include "filetable/components.h"

#include "filetable/client_library.h"

#include <stdexcept>

namespace tessaldrin::filetable {
namespace {

// A parameter block item: the tag, one length byte, the bytes of the value.
void AppendItem(std::vector<unsigned char>& block, unsigned char tag, const std::string& value) {
    constexpr std::size_t kMaxItemLength = 255;
    if (value.size() > kMaxItemLength) {
        throw std::length_error("parameter block item longer than 255 bytes");
    }
    block.push_back(tag);
    block.push_back(static_cast<unsigned char>(value.size()));
    block.insert(block.end(), value.begin(), value.end());
}

// A number item: the tag, length 4, the value least significant byte first,
// the byte order of every number in a parameter block.
void AppendNumber(std::vector<unsigned char>& block, unsigned char tag, std::uint32_t value) {
    constexpr unsigned char kNumberLength = 4;
    block.push_back(tag);
    block.push_back(kNumberLength);
    for (unsigned i = 0; i < kNumberLength; ++i) {
        block.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

} // namespace

DatabaseConnection::DatabaseConnection(const std::string& clientLibrary)
    : library_(std::make_unique<ClientLibrary>(clientLibrary)) {}

DatabaseConnection::~DatabaseConnection() = default;

std::vector<unsigned char> DatabaseConnection::ParameterBlock() const {
    std::vector<unsigned char> block{isc_dpb_version1};
    AppendItem(block, isc_dpb_user_name, UserName);
    AppendItem(block, isc_dpb_password, Password);
    AppendNumber(block, isc_dpb_connect_timeout, ConnectTimeout);
    return block;
}

std::string FileTableRowSet::ModifyText() const {
    std::string text;
    for (std::size_t i = 0; i < ModifySQL.size(); ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += ModifySQL[i];
    }
    return text;
}

std::string ServiceConnection::ConnectionString() const {
    return ServerName + ":service_mgr";
}

std::vector<unsigned char> ServiceConnection::ParameterBlock() const {
    std::vector<unsigned char> block{isc_spb_version, isc_spb_current_version};
    AppendItem(block, isc_spb_user_name, UserName);
    AppendItem(block, isc_spb_password, Password);
    AppendNumber(block, isc_spb_connect_timeout, ConnectTimeout);
    return block;
}

} // namespace tessaldrin::filetable
