#include "filetable/sql_area.h"

#include "filetable/client_error.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace tessaldrin::filetable {
namespace {

// The low bit of sqltype says that the variable has a null indicator.
constexpr short kNullableFlag = 1;
// A null indicator below zero marks a null value.
constexpr short kNullIndicator = -1;
// A VARCHAR value starts with its length as a 16-bit number in host order.
constexpr std::size_t kVaryingLengthWidth = sizeof(ISC_USHORT);
constexpr std::size_t kNameCapacity = sizeof(XSQLVAR{}.sqlname);

short BaseType(const XSQLVAR& var) {
    return static_cast<short>(var.sqltype & ~kNullableFlag);
}

std::size_t StorageSize(const XSQLVAR& var) {
    const auto length = static_cast<std::size_t>(std::max<short>(var.sqllen, 0));
    return BaseType(var) == SQL_VARYING ? length + kVaryingLengthWidth : length;
}

// A number of type T at the start of `storage`, if it holds one.
template <typename T> std::optional<std::int64_t> ReadScalar(const std::vector<char>& storage) {
    if (storage.size() < sizeof(T)) {
        return std::nullopt;
    }
    T value{};
    std::memcpy(&value, storage.data(), sizeof value);
    return value;
}

} // namespace

SqlArea::SqlArea(short count) {
    Reallocate(count);
}

XSQLVAR& SqlArea::Var(int index) {
    return const_cast<XSQLVAR&>(static_cast<const SqlArea*>(this)->Var(index));
}

const XSQLVAR& SqlArea::Var(int index) const {
    if (index < 0 || index >= area_->sqln) {
        throw std::out_of_range("SQL variable " + std::to_string(index) + " not allocated");
    }
    return area_->sqlvar[index];
}

void SqlArea::Reallocate(short count) {
    const short room = std::max<short>(count, 1);
    const std::size_t bytes = XSQLDA_LENGTH(room);
    area_.reset(static_cast<XSQLDA*>(::operator new(bytes)));
    std::memset(area_.get(), 0, bytes);
    area_->version = SQLDA_VERSION1;
    area_->sqln = count;
    area_->sqld = count;
    data_.assign(static_cast<std::size_t>(room), {});
    indicators_.assign(static_cast<std::size_t>(room), 0);
}

void SqlArea::BindDescribed() {
    const short count = std::min(area_->sqld, area_->sqln);
    for (short i = 0; i < count; ++i) {
        XSQLVAR& var = Var(i);
        auto& storage = data_[static_cast<std::size_t>(i)];
        storage.assign(std::max<std::size_t>(StorageSize(var), 1), 0);
        var.sqldata = storage.data();
        var.sqlind = &indicators_[static_cast<std::size_t>(i)];
        var.sqltype = static_cast<short>(var.sqltype | kNullableFlag);
    }
}

void SqlArea::SetText(int index, const std::optional<std::string>& value) {
    XSQLVAR& var = Var(index);
    auto& storage = data_[static_cast<std::size_t>(index)];
    short& indicator = indicators_[static_cast<std::size_t>(index)];
    const std::string text = value.value_or(std::string{});
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<short>::max())) {
        throw ClientError("Der Text ist zu lang für einen SQL-Parameter");
    }
    storage.assign(text.begin(), text.end());
    storage.push_back('\0'); // never an empty buffer, never read by the library
    var.sqltype = SQL_TEXT | kNullableFlag;
    var.sqlscale = 0;
    var.sqlsubtype = 0;
    var.sqllen = static_cast<short>(text.size());
    var.sqldata = storage.data();
    indicator = value ? 0 : kNullIndicator;
    var.sqlind = &indicator;
}

void SqlArea::SetNumber(int index, short sqlType, const std::optional<std::int64_t>& value) {
    XSQLVAR& var = Var(index);
    auto& storage = data_[static_cast<std::size_t>(index)];
    short& indicator = indicators_[static_cast<std::size_t>(index)];
    const std::int64_t number = value.value_or(0);
    if (sqlType == SQL_SHORT) {
        if (number < std::numeric_limits<ISC_SHORT>::min() ||
            number > std::numeric_limits<ISC_SHORT>::max()) {
            throw ClientError("Der Wert " + std::to_string(number) + " passt nicht in SMALLINT");
        }
        const auto narrow = static_cast<ISC_SHORT>(number);
        storage.resize(sizeof narrow);
        std::memcpy(storage.data(), &narrow, sizeof narrow);
    } else if (sqlType == SQL_LONG) {
        if (number < std::numeric_limits<ISC_LONG>::min() ||
            number > std::numeric_limits<ISC_LONG>::max()) {
            throw ClientError("Der Wert " + std::to_string(number) + " passt nicht in INTEGER");
        }
        const auto narrow = static_cast<ISC_LONG>(number);
        storage.resize(sizeof narrow);
        std::memcpy(storage.data(), &narrow, sizeof narrow);
    } else {
        throw ClientError("Nicht unterstützter Parametertyp " + std::to_string(sqlType));
    }
    var.sqltype = static_cast<short>(sqlType | kNullableFlag);
    var.sqlscale = 0;
    var.sqlsubtype = 0;
    var.sqllen = static_cast<short>(storage.size());
    var.sqldata = storage.data();
    indicator = value ? 0 : kNullIndicator;
    var.sqlind = &indicator;
}

std::optional<std::string> SqlArea::Text(int index) const {
    const XSQLVAR& var = Var(index);
    const auto& storage = data_[static_cast<std::size_t>(index)];
    if (var.sqlind != nullptr && *var.sqlind < 0) {
        return std::nullopt;
    }
    if (BaseType(var) == SQL_VARYING) {
        ISC_USHORT length = 0;
        std::memcpy(&length, storage.data(), kVaryingLengthWidth);
        const std::size_t available = storage.size() - kVaryingLengthWidth;
        return std::string(storage.data() + kVaryingLengthWidth,
                           std::min<std::size_t>(length, available));
    }
    if (BaseType(var) == SQL_TEXT) {
        std::string text(storage.data(), std::min(StorageSize(var), storage.size()));
        text.erase(text.find_last_not_of(' ') + 1); // CHAR pads with blanks
        return text;
    }
    throw ClientError("Die Spalte " + Name(index) + " ist kein Text");
}

std::optional<std::int64_t> SqlArea::Number(int index) const {
    const XSQLVAR& var = Var(index);
    const auto& storage = data_[static_cast<std::size_t>(index)];
    if (var.sqlind != nullptr && *var.sqlind < 0) {
        return std::nullopt;
    }
    std::optional<std::int64_t> value;
    if (var.sqlscale == 0) {
        switch (BaseType(var)) {
        case SQL_SHORT:
            value = ReadScalar<ISC_SHORT>(storage);
            break;
        case SQL_LONG:
            value = ReadScalar<ISC_LONG>(storage);
            break;
        case SQL_INT64:
            value = ReadScalar<ISC_INT64>(storage);
            break;
        default:
            break;
        }
    }
    if (value) {
        return value;
    }
    throw ClientError("Die Spalte " + Name(index) + " ist keine ganze Zahl");
}

std::string SqlArea::Name(int index) const {
    const XSQLVAR& var = Var(index);
    const auto length = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<short>(var.sqlname_length, 0)), kNameCapacity);
    return std::string(var.sqlname, length);
}

} // namespace tessaldrin::filetable
