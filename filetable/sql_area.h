// An XSQLDA with the data and null indicator of every variable: the form in
// which dynamic SQL hands rows and parameters across the client API.
#pragma once

#include <ibase.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

class SqlArea {
public:
    explicit SqlArea(short count);

    XSQLDA* get() { return area_.get(); }
    const XSQLDA* get() const { return area_.get(); }
    short Allocated() const { return area_->sqln; }
    // The number of variables that the description filled in.
    short Described() const { return area_->sqld; }
    // Throws std::out_of_range for an index beyond the allocated variables.
    XSQLVAR& Var(int index);
    const XSQLVAR& Var(int index) const;

    // Room for `count` variables; what was described is lost.
    void Reallocate(short count);
    // Gives every described variable storage of its type and a null indicator.
    void BindDescribed();

    // Input variables: a text as SQL_TEXT, a number as SQL_SHORT or SQL_LONG;
    // an empty value is sent as null.
    void SetText(int index, const std::optional<std::string>& value);
    void SetNumber(int index, short sqlType, const std::optional<std::int64_t>& value);

    // Output variables, after a fetch. Throw ClientError when the variable is of
    // a type the program does not read.
    std::optional<std::string> Text(int index) const;
    std::optional<std::int64_t> Number(int index) const;
    std::string Name(int index) const;

private:
    struct FreeArea {
        void operator()(XSQLDA* area) const { ::operator delete(area); }
    };
    std::unique_ptr<XSQLDA, FreeArea> area_;
    std::vector<std::vector<char>> data_;
    std::vector<short> indicators_;
};

} // namespace tessaldrin::filetable
