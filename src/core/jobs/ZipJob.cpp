#include "core/jobs/ZipJob.h"

#include "core/jobs/JobFields.h"
#include "core/jobs/JobFormat.h"
#include "core/jobs/JobText.h"
#include "core/zip/ZipFormat.h"

#include <array>
#include <unordered_map>

namespace quarvo {

namespace {

using namespace JobFormat;

// The "Options" keys in the order they are written.
constexpr std::array<IntegerField<ZipJob>, 10> IntegerFields{{
    {ZipKey::AddNewerFiles, &ZipJob::addNewerFiles, true},
    {ZipKey::BackupEntireDrive, &ZipJob::backupEntireDrive, true},
    {ZipKey::EditZipComment, &ZipJob::editZipComment, true},
    {ZipKey::IncludeSystemHidden, &ZipJob::includeSystemHidden, true},
    {ZipKey::OldAsLatest, &ZipJob::oldAsLatest, true},
    {ZipKey::RecurseSubdirs, &ZipJob::recurseSubdirs, true},
    {ZipKey::StorePath, &ZipJob::storePath, true},
    {ZipKey::Action, &ZipJob::action, false},
    {ZipKey::CompMethod, &ZipJob::compMethod, false},
    {ZipKey::SpanDisks, &ZipJob::spanDisks, false},
}};

constexpr std::array<TextField<ZipJob>, 7> TextFields{{
    {ZipKey::Date, &ZipJob::date},
    {ZipKey::Password, &ZipJob::password},
    {ZipKey::TempFilePath, &ZipJob::tempFilePath},
    {ZipKey::Directory, &ZipJob::directory},
    {ZipKey::Exclude, &ZipJob::exclude},
    {ZipKey::Include, &ZipJob::include},
    {ZipKey::ZipFile, &ZipJob::zipFile},
}};

constexpr const char* CommentTooLong =
    "The comment is longer than 65,535 bytes, more than a ZIP archive can hold.";

// The comment lines "0", "1", ... up to the first number that is missing. Keys are looked up once,
// so a file of many lines is read in one pass.
Result<std::string> readComment(const ProfileFile& profile)
{
    std::unordered_map<std::string, std::string> lines;
    for (auto& [key, value] : profile.keys(CommentSection))
        lines.emplace(std::move(key), std::move(value));
    std::string comment;
    for (size_t number = 0;; ++number) {
        auto line = lines.find(std::to_string(number));
        if (line == lines.end())
            return comment;
        if (auto problem = valueProblem("Comment line " + line->first, line->second, MaximumCommentLineLength))
            return Error{*problem};
        if (number > 0)
            comment += CommentLineEnd;
        comment += line->second;
        if (comment.size() > zipformat::MaximumCommentLength)
            return Error{CommentTooLong};
    }
}

} // namespace

Result<ZipJob> readZipJob(const ProfileFile& profile)
{
    ZipJob job;
    readIntegerFields(profile, IntegerFields, job);
    if (auto problem = readTextFields(profile, TextFields, job))
        return Error{*problem};
    Result<std::string> comment = readComment(profile);
    if (!comment)
        return comment.error();
    job.comment = std::move(*comment);
    return job;
}

Result<ProfileFile> writeZipJob(const ZipJob& job)
{
    if (job.comment.size() > zipformat::MaximumCommentLength)
        return Error{CommentTooLong};
    ProfileFile profile;
    writeIntegerFields(profile, IntegerFields, job);
    if (auto problem = writeTextFields(profile, TextFields, job))
        return Error{*problem};
    // The comment section is added as text: one line per key, in a single pass however many lines
    // there are.
    std::string text = profile.text() + "\n[" + std::string(CommentSection) + "]\n";
    std::vector<std::string> lines = commentLines(job.comment);
    for (size_t number = 0; number < lines.size(); ++number) {
        const std::string key = std::to_string(number);
        if (auto problem = valueProblem("Comment line " + key, lines[number], MaximumCommentLineLength))
            return Error{*problem};
        text += key + "=" + lines[number] + "\n";
    }
    return ProfileFile::parse(text);
}

} // namespace quarvo
