// Why a file cannot take part in a run as planned: a value of the plan, with
// the data its line names. Its text is made in one place only, the describer
// (run/describer.h), for the run and the preview alike.
#pragma once

#include "header/file_index.h"
#include "header/page_fault.h"
#include "platform/open_failure.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tessaldrin {

struct Refusal {
    enum class Kind {
        kCannotOpen,        // failure: why the file could not be held
        kChainNotHeld,      // another file of the chain could not be held
        kCaseTwin,          // name: the entry that differs from it only in case
        kCannotRename,      // failure: what the directory refuses
        kNameTaken,         // name: the new name, taken already
        kPathNotSystemText, // the primary path is no text of the system's character set
        kNameTooLong,       // number: the width the name exceeds
        kPageRefused,       // page: why the link editor refuses the page
        kNotThePrimary,     // number: the file sequence its header holds
        kNamesNoFile,       // name: the stored link
        kNotInDirectory,    // name: the stored link; other: the directory
        kLoop,              // name: the file the link leads back to
        kReachedByNoLink,   //
        kOtherForm,         // name: the file itself
        kWrongPlaceInChain, // number: the sequence it holds; place: its place
        kFoundTwice,        // name: the other place that holds its name
    };

    Kind kind = Kind::kCannotOpen;
    header::FileIndex file{}; // the file refused
    std::string name{};
    std::string other{};
    int number{};
    int place{};
    std::optional<platform::OpenFailure> failure{};
    std::optional<header::PageFault> page{};

    bool operator==(const Refusal&) const = default;
};

} // namespace tessaldrin
