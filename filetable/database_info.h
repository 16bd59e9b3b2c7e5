// Replies of the database information call.
#pragma once

#include <ibase.h>

#include <cstddef>

namespace tessaldrin::filetable {

// The single item that the program asks for.
inline constexpr char kDialectInfoItem = isc_info_db_sql_dialect;
// Item byte, two bytes of value length, a value of up to four bytes.
inline constexpr std::size_t kDialectReplySize = 16;

// The dialect in a reply to kDialectInfoItem. A reply that does not begin with
// the item, or whose value does not lie inside it, counts as dialect 1.
int SqlDialectFromReply(const char* reply, std::size_t size);

} // namespace tessaldrin::filetable
