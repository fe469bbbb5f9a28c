#pragma once

#include "core/jobs/JobFormat.h"
#include "core/jobs/JobText.h"
#include "core/settings/ProfileFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

// The "Options" keys of a job kind as tables of members, so that reading and writing walk the same
// list in the file's order.

template <typename Job>
struct IntegerField {
    std::string_view key;
    int Job::*member;
    bool isFlag; // written "1" or "0", read as 1 for any nonzero value
};

template <typename Job>
struct TextField {
    std::string_view key;
    std::string Job::*member;
};

// A missing or empty key reads as 0.
template <typename Job, typename Fields>
void readIntegerFields(const ProfileFile& profile, const Fields& fields, Job& job)
{
    for (const auto& field : fields) {
        int value = profile.readInt(JobFormat::OptionsSection, field.key, 0);
        job.*field.member = field.isFlag ? (value != 0 ? 1 : 0) : value;
    }
}

template <typename Job, typename Fields>
void writeIntegerFields(ProfileFile& profile, const Fields& fields, const Job& job)
{
    for (const auto& field : fields) {
        int value = job.*field.member;
        profile.writeInt(JobFormat::OptionsSection, field.key, field.isFlag ? (value != 0 ? 1 : 0) : value);
    }
}

// A missing key reads as empty; the first value that cannot be kept stops the reading, and its
// problem is returned.
template <typename Job, typename Fields>
std::optional<std::string> readTextFields(const ProfileFile& profile, const Fields& fields, Job& job)
{
    for (const auto& field : fields) {
        std::string value = profile.readString(JobFormat::OptionsSection, field.key, "");
        if (auto problem = valueProblem(field.key, value, JobFormat::MaximumValueLength))
            return problem;
        job.*field.member = std::move(value);
    }
    return std::nullopt;
}

template <typename Job, typename Fields>
std::optional<std::string> writeTextFields(ProfileFile& profile, const Fields& fields, const Job& job)
{
    for (const auto& field : fields) {
        const std::string& value = job.*field.member;
        if (auto problem = valueProblem(field.key, value, JobFormat::MaximumValueLength))
            return problem;
        profile.writeString(JobFormat::OptionsSection, field.key, value);
    }
    return std::nullopt;
}

} // namespace quarvo
