#pragma once

#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "core/settings/ProfileFile.h"

#include <cstdint>
#include <string>

namespace quarvo {

class AppSettings;
class CompressionEngines;
class OpenItemList;
class UserInterface;

// What a job document works with, all owned by the application.
struct JobServices {
    UserInterface& ui;
    AppSettings& settings;
    CompressionEngines& engines;
    OpenItemList& openItems;
};

// The two exchanges between a job document and its form. The form works on a copy of the values:
// Load puts the document's values into the controls; Store reads the controls back, and the
// document takes them (marking itself modified when any differs).
namespace JobFormHint {
constexpr int Load = UpdateHint::ContentsRebuilt;
constexpr int Store = 1;
} // namespace JobFormHint

// A job file open as a document: a ".cfz" or ".cfu" file the user edits in a form, saves and runs.
// Unlike an archive it is saved as a whole (Save, Save As, and "Save changes to %1?" before it
// closes). Before it is saved, closed or run, its form hands over what the user typed.
class JobDocument : public Document {
  public:
    explicit JobDocument(JobServices services) : m_services(services) {}

    // Reads the job file. False after "Failed to open document." and why (the file cannot be read, or
    // a value is longer than a job may hold); a missing key is no failure.
    bool onOpenDocument(const std::string& path) override;
    bool isSavable() const override { return true; }
    // Writes the whole job file atomically, readable by its owner only when the job holds a password,
    // and puts it first in the recent files.
    Result<Ok> onSaveDocument(const std::string& path) override;
    FileDialogRequest saveAsRequest() const override;
    // Takes the form's values, then asks "Save changes to %1?" when modified: DialogResult::Yes lets
    // the document close, Cancel keeps it (the close-all walk stops there).
    int confirmClose(bool closeAllMode) override;
    // A job opened from inside an archive offers its copy back to that archive when it closes.
    void onCloseDocument() override;

    // The form's values into the document (JobFormHint::Store to every view).
    void takeFormValues() { updateAllViews(nullptr, JobFormHint::Store); }
    // Save and Save As of the job window: the form's values first, then the framework's.
    bool save();
    bool saveAs();
    // Execute: the form's values first, then the job runs. Returns the engine's result or
    // JobResult::Refused (JobRun.h). The file is not saved and the modified flag stays as it is.
    uint16_t execute();

    bool updateParentOnClose() const { return m_updateParentOnClose; }
    // The open-item list clears it before it closes the document itself.
    void setUpdateParentOnClose(bool update) { m_updateParentOnClose = update; }

    JobServices& services() { return m_services; }

  protected:
    virtual Result<Ok> read(const ProfileFile& profile) = 0;
    virtual Result<ProfileFile> write() const = 0;
    virtual bool holdsPassword() const = 0;
    virtual uint16_t run() = 0;

  private:
    JobServices m_services;
    bool m_updateParentOnClose = true;
};

// A job document of one kind: its values and how they are read, written and run.
template <typename Job, Result<Job> (*Read)(const ProfileFile&), Result<ProfileFile> (*Write)(const Job&),
          uint16_t (*Run)(const Job&, UserInterface&, CompressionEngines&, const AppSettings&)>
class TypedJobDocument : public JobDocument {
  public:
    using JobDocument::JobDocument;

    const Job& job() const { return m_job; }
    // The form's values: the document is modified when any differs (texts compared with their
    // case), and takes them all.
    void adopt(const Job& values)
    {
        if (values == m_job)
            return;
        m_job = values;
        setModified(true);
    }

  protected:
    Result<Ok> read(const ProfileFile& profile) override
    {
        Result<Job> job = Read(profile);
        if (!job)
            return job.error();
        m_job = std::move(*job);
        return Ok{};
    }
    Result<ProfileFile> write() const override { return Write(m_job); }
    bool holdsPassword() const override { return !m_job.password.empty(); }
    uint16_t run() override { return Run(m_job, services().ui, services().engines, services().settings); }

  private:
    Job m_job;
};

} // namespace quarvo
